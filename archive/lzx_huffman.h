#pragma once
/// Canonical Huffman decoding tables of the LZX decoder.
///
/// A table is built from code lengths (0 = symbol unused, at most 16) and decodes one symbol
/// with one lookup of its first `TableBits` bits, plus a second lookup for longer codes.
/// Only complete prefix codes are accepted, or a code with no symbols at all (`empty()`),
/// so every bit pattern decodes to a symbol and the decoding loop needs no validity check.

#include "archive/lzx_bits.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace cv::cab::lzx {

inline constexpr unsigned kMaxCodeLength = 16;

enum class TableBuild { ok, empty, over_subscribed, incomplete, bad_length };

template <unsigned MaxSymbols, unsigned TableBits>
class HuffmanTable {
    static_assert(TableBits >= 1 && TableBits <= kMaxCodeLength);
    static constexpr unsigned kSubBits = kMaxCodeLength - TableBits;
    static constexpr std::uint32_t kSubFlag = 0x80000000u;
    // In a complete code every second-level table serves at least two symbols.
    static constexpr unsigned kMaxSubTables = MaxSymbols / 2;

  public:
    /// Builds the table for the first `count` (at most MaxSymbols) entries of `lengths`.
    /// On anything but `ok` or `empty` the table must not be used.
    TableBuild build(const std::uint8_t* lengths, unsigned count) {
        empty_ = true;
        if (count > MaxSymbols)
            return TableBuild::bad_length;
        unsigned per_length[kMaxCodeLength + 1] = {};
        for (unsigned s = 0; s < count; ++s) {
            if (lengths[s] > kMaxCodeLength)
                return TableBuild::bad_length;
            ++per_length[lengths[s]];
        }
        if (per_length[0] == count)
            return TableBuild::empty;
        // Kraft sum over 2^16 code space: exactly full for a complete code.
        long space = 1L << kMaxCodeLength;
        for (unsigned len = 1; len <= kMaxCodeLength; ++len) {
            space -= static_cast<long>(per_length[len]) << (kMaxCodeLength - len);
            if (space < 0)
                return TableBuild::over_subscribed;
        }
        if (space != 0)
            return TableBuild::incomplete;

        std::uint32_t next_code[kMaxCodeLength + 2] = {};
        for (unsigned len = 1; len <= kMaxCodeLength; ++len)
            next_code[len + 1] = (next_code[len] + per_length[len]) << 1;

        // Second-level tables are written whole when they are handed out; only the first
        // level needs clearing to mark prefixes that have none yet.
        std::fill_n(entries_.begin(), 1u << TableBits, 0u);
        unsigned sub_tables = 0;
        for (unsigned s = 0; s < count; ++s) {
            const unsigned len = lengths[s];
            if (len == 0)
                continue;
            const std::uint32_t code = next_code[len]++;
            const std::uint32_t entry = (s << 5) | len;
            if (len <= TableBits) {
                const std::uint32_t first = code << (TableBits - len);
                for (std::uint32_t i = 0; i < (1u << (TableBits - len)); ++i)
                    entries_[first + i] = entry;
                continue;
            }
            const std::uint32_t prefix = code >> (len - TableBits);
            if (entries_[prefix] == 0) {
                if (sub_tables == kMaxSubTables)
                    return TableBuild::over_subscribed; // cannot happen for a complete code
                entries_[prefix] = kSubFlag | ((1u << TableBits) + (sub_tables++ << kSubBits));
            }
            const std::uint32_t base = entries_[prefix] & ~kSubFlag;
            const std::uint32_t low = code & ((1u << (len - TableBits)) - 1);
            const std::uint32_t first = base + (low << (kMaxCodeLength - len));
            for (std::uint32_t i = 0; i < (1u << (kMaxCodeLength - len)); ++i)
                entries_[first + i] = entry;
        }
        empty_ = false;
        return TableBuild::ok;
    }

    bool empty() const { return empty_; }

    /// Decodes one symbol; the table must be built and not empty, and the reader must hold
    /// at least 16 bits (`need(16)`).
    unsigned decode(BitReader& bits) const {
        std::uint32_t entry = entries_[bits.peek(TableBits)];
        if (entry & kSubFlag) [[unlikely]]
            entry = entries_[(entry & ~kSubFlag) + (bits.peek(kMaxCodeLength) & ((1u << kSubBits) - 1))];
        bits.skip(entry & 31);
        return entry >> 5;
    }

  private:
    std::array<std::uint32_t, (1u << TableBits) + kMaxSubTables * (1u << kSubBits)> entries_{};
    bool empty_ = true;
};

} // namespace cv::cab::lzx
