#pragma once
/// Deflate decode tables (private to the inflater): one lookup on the next bits of the input
/// gives a whole decoding step, the codeword length, what the symbol means and how many extra
/// bits follow, so the decode loop needs no second table per symbol.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace cv::cab::inflate_detail {

// A table entry is 32 bits:
//   bits 0-5    bits one decoding step consumes: the codeword and, for a length or distance,
//               its extra bits, so the decoder drops both with one shift
//   bits 8-11   length of the codeword (for a subtable link: the subtable index width)
//   bit 12      subtable link: value is where the subtable starts
//   bit 13      literal: value is the byte
//   bit 14      base: value is a match length or distance base (or a code length symbol)
//   bit 15      end of block
//   bits 16-31  value
// A codeword with none of the flags (unused bit patterns, distance codes 30 and 31) is invalid.
// The meanings handed to `build` hold the number of extra bits in bits 8-11 instead; `build`
// adds the codeword length.
inline constexpr std::uint32_t kSubtable = 1u << 12;
inline constexpr std::uint32_t kLiteral = 1u << 13;
inline constexpr std::uint32_t kBase = 1u << 14;
inline constexpr std::uint32_t kEndOfBlock = 1u << 15;
inline constexpr int kMaxCodeLen = 15;

inline constexpr unsigned step_bits(std::uint32_t e) { return e & 0x3F; }
inline constexpr unsigned codeword_bits(std::uint32_t e) { return (e >> 8) & 0xF; }
inline constexpr unsigned subtable_bits(std::uint32_t link) { return (link >> 8) & 0xF; }
inline constexpr unsigned entry_value(std::uint32_t e) { return e >> 16; }

/// A symbol's meaning, before `build` adds its codeword: `extra` bits follow the codeword.
inline constexpr std::uint32_t make_meaning(unsigned value, unsigned extra, std::uint32_t flags) {
    return value << 16 | extra << 8 | flags;
}

/// A canonical Huffman decoding table: a primary table indexed by the next `PrimaryBits` bits
/// and, for longer codewords, subtables indexed by the bits after those. Sized for the worst
/// case (every symbol with a long codeword in its own subtable), so building never allocates.
template <int PrimaryBits, int MaxSymbols> class DecodeTable {
  public:
    static constexpr int kSubBitsMax = kMaxCodeLen > PrimaryBits ? kMaxCodeLen - PrimaryBits : 0;
    static constexpr std::size_t kPrimarySize = std::size_t{1} << PrimaryBits;
    static constexpr std::size_t kCapacity =
        kPrimarySize + static_cast<std::size_t>(MaxSymbols) * (std::size_t{1} << kSubBitsMax);

    /// Builds the table from the code lengths of `count` symbols (at most MaxSymbols); the
    /// entry of symbol s without its codeword length is `meaning[s]`. False for lengths over
    /// 15 or an over-subscribed set; an incomplete set is accepted and its unused bit patterns
    /// decode as invalid.
    bool build(const std::uint8_t* lengths, int count, const std::uint32_t* meaning) {
        if (count < 0 || count > MaxSymbols)
            return false;
        int per_length[kMaxCodeLen + 1] = {};
        for (int i = 0; i < count; ++i) {
            if (lengths[i] > kMaxCodeLen)
                return false;
            ++per_length[lengths[i]];
        }
        per_length[0] = 0;
        int left = 1;
        int longest = 0;
        for (int len = 1; len <= kMaxCodeLen; ++len) {
            left = (left << 1) - per_length[len];
            if (left < 0)
                return false;
            if (per_length[len] != 0)
                longest = len;
        }
        // Symbols sorted by codeword length, then symbol: the canonical code order.
        int start[kMaxCodeLen + 2] = {};
        for (int len = 1; len <= kMaxCodeLen; ++len)
            start[len + 1] = start[len] + per_length[len];
        std::uint16_t sorted[MaxSymbols];
        for (int sym = 0; sym < count; ++sym)
            if (lengths[sym] != 0)
                sorted[start[lengths[sym]]++] = static_cast<std::uint16_t>(sym);
        const int used = start[kMaxCodeLen + 1];

        std::fill(table_.begin(), table_.begin() + kPrimarySize, 0u);
        const int sub_bits = longest > PrimaryBits ? longest - PrimaryBits : 0;
        std::size_t next_sub = kPrimarySize;
        unsigned code = 0; // the canonical code of sorted[i], most significant bit first
        int len = 0;
        for (int i = 0; i < used; ++i) {
            const int sym = sorted[i];
            const int sym_len = lengths[sym];
            code <<= sym_len - len;
            len = sym_len;
            const unsigned rev = reverse(code, len);
            const unsigned extra = (meaning[sym] >> 8) & 0xF;
            const std::uint32_t entry = (meaning[sym] & ~std::uint32_t{0xFFF}) |
                                        static_cast<std::uint32_t>(len) << 8 |
                                        (static_cast<std::uint32_t>(len) + extra);
            if (len <= PrimaryBits) {
                for (std::size_t at = rev; at < kPrimarySize; at += std::size_t{1} << len)
                    table_[at] = entry;
            } else {
                std::uint32_t& link = table_[rev & (kPrimarySize - 1)];
                if (!(link & kSubtable)) {
                    const std::size_t size = std::size_t{1} << sub_bits;
                    if (next_sub + size > kCapacity) // cannot happen: one subtable per symbol at most
                        return false;
                    link = make_meaning(static_cast<unsigned>(next_sub),
                                        static_cast<unsigned>(sub_bits), kSubtable);
                    std::fill(table_.begin() + next_sub, table_.begin() + next_sub + size, 0u);
                    next_sub += size;
                }
                const std::size_t sub = entry_value(link);
                for (std::size_t at = rev >> PrimaryBits; at < (std::size_t{1} << sub_bits);
                     at += std::size_t{1} << (len - PrimaryBits))
                    table_[sub + at] = entry;
            }
            ++code;
        }
        return true;
    }

    /// The entry for the low bits of `bits`, which must hold at least the longest codeword's
    /// worth of valid bits (bits past the input's end read as zero).
    std::uint32_t lookup(std::uint64_t bits) const {
        const std::uint32_t e = primary(bits);
        return e & kSubtable ? secondary(bits, e) : e;
    }
    /// The primary entry alone, possibly a subtable link; with `secondary` this lets a caller
    /// test for the common case (a literal) before the rare one.
    std::uint32_t primary(std::uint64_t bits) const { return table_[bits & (kPrimarySize - 1)]; }
    std::uint32_t secondary(std::uint64_t bits, std::uint32_t link) const {
        return table_[entry_value(link) +
                      ((bits >> PrimaryBits) & ((std::uint32_t{1} << subtable_bits(link)) - 1))];
    }

  private:
    static unsigned reverse(unsigned code, int len) {
        unsigned r = 0;
        for (int i = 0; i < len; ++i, code >>= 1)
            r = (r << 1) | (code & 1);
        return r;
    }
    std::array<std::uint32_t, kCapacity> table_{};
};

} // namespace cv::cab::inflate_detail
