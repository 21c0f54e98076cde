#pragma once
/// Bit input of the LZX decoder.
///
/// LZX packs its bit stream into 16-bit little-endian words and takes the bits of each word
/// from the most significant end. Reading never touches memory outside the given buffer:
/// past its end the reader supplies zero words and counts them, so the decoder can run a
/// symbol to completion and then ask `overrun()` whether it consumed bits that were not
/// there. Callers keep at most 48 unconsumed bits requested at a time.

#include <cstddef>
#include <cstdint>

namespace cv::cab::lzx {

class BitReader {
  public:
    /// Starts reading `size` bytes at `data` from their first bit.
    void reset(const std::uint8_t* data, std::size_t size) {
        next_ = data;
        end_ = data + size;
        buffer_ = 0;
        count_ = 0;
        missing_words_ = 0;
    }

    /// Makes at least `n` (at most 49) bits available for `peek`.
    void need(unsigned n) {
        if (count_ < n)
            refill();
    }

    /// The next `n` bits (1 to 32) without consuming them; `need(n)` must have been called.
    std::uint32_t peek(unsigned n) const { return static_cast<std::uint32_t>(buffer_ >> (64 - n)); }

    /// Consumes `n` bits that are available.
    void skip(unsigned n) {
        buffer_ <<= n;
        count_ -= n;
    }

    /// Reads `n` bits (0 to 32; more than 17 only when nothing is buffered beyond them).
    std::uint32_t read(unsigned n) {
        if (n == 0)
            return 0;
        need(n);
        const std::uint32_t value = peek(n);
        skip(n);
        return value;
    }

    /// True when bits beyond the end of the input were consumed.
    bool overrun() const { return missing_words_ * 16u > count_; }

    /// Moves to the next 16-bit boundary for the raw bytes of an uncompressed block, always
    /// skipping 1 to 16 bits, and returns the address of the next input byte, or nullptr when
    /// the input ended before that boundary.
    const std::uint8_t* align_to_raw_bytes() {
        need(1);
        skip(count_ % 16 == 0 ? 16 : count_ % 16);
        if (overrun())
            return nullptr;
        // The buffer now holds whole words only; unread real words lie just before next_.
        const unsigned real_bits = count_ - missing_words_ * 16u;
        return next_ - real_bits / 8;
    }

  private:
    void refill() {
        // Fast path: three whole words in one go while the input lasts.
        if (end_ - next_ >= 6 && count_ <= 16) {
            const std::uint64_t w0 = next_[0] | (next_[1] << 8);
            const std::uint64_t w1 = next_[2] | (next_[3] << 8);
            const std::uint64_t w2 = next_[4] | (next_[5] << 8);
            buffer_ |= ((w0 << 32) | (w1 << 16) | w2) << (16 - count_);
            count_ += 48;
            next_ += 6;
            return;
        }
        while (count_ <= 48) {
            std::uint64_t word = 0;
            if (end_ - next_ >= 2) {
                word = next_[0] | (next_[1] << 8);
                next_ += 2;
            } else {
                // An odd last byte cannot complete a word of the bit stream; it only ever
                // serves as raw data, so it stays unread here and counts as missing.
                ++missing_words_;
            }
            buffer_ |= word << (48 - count_);
            count_ += 16;
        }
    }

    const std::uint8_t* next_ = nullptr;
    const std::uint8_t* end_ = nullptr;
    std::uint64_t buffer_ = 0; // unconsumed bits, left-aligned
    unsigned count_ = 0;       // number of unconsumed bits in buffer_
    unsigned missing_words_ = 0;
};

} // namespace cv::cab::lzx
