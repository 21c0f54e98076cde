#include "archive/quantum.h"

#include "archive/quantum_model.h"

#include <cstdint>
#include <string>
#include <vector>

namespace cv::cab {
namespace {

using quantum::Model;

// Match position slots: offset = base + extra bits + 1. Slot counts per model depend on the
// window (2 * window_bits slots reach exactly the window size), at most 42 for 2^21.
inline constexpr int kPositionSlots = 42;
inline constexpr std::uint32_t kPositionBase[kPositionSlots] = {
    0,      1,      2,      3,      4,       6,       8,       12,      16,     24,     32,
    48,     64,     96,     128,    192,     256,     384,     512,     768,    1024,   1536,
    2048,   3072,   4096,   6144,   8192,    12288,   16384,   24576,   32768,  49152,  65536,
    98304,  131072, 196608, 262144, 393216,  524288,  786432,  1048576, 1572864};
inline constexpr std::uint8_t kPositionExtra[kPositionSlots] = {
    0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9,
    9, 10, 10, 11, 11, 12, 12, 13, 13, 14, 14, 15, 15, 16, 16, 17, 17, 18, 18, 19, 19};

// Length slots of selector 6: length = base + extra bits + 5 (5 to 259).
inline constexpr int kLengthSlots = 27;
inline constexpr std::uint16_t kLengthBase[kLengthSlots] = {
    0,  1,  2,  3,  4,  5,  6,  8,  10,  12,  14,  18,  22, 26,
    30, 38, 46, 54, 62, 78, 94, 110, 126, 158, 190, 222, 254};
inline constexpr std::uint8_t kLengthExtra[kLengthSlots] = {
    0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};

// The code register looks 16 bits ahead of the code it has used, so a frame whose code ends
// flush with its block reads up to two bytes beyond it. Cabinet readers of this method put
// a 0xFF byte after every block (other decoders scan for it to find the next frame), so past
// the end the stream reads as 0xFF and then zeros, exactly as those readers see it. A block
// that needs more than this is truncated.
inline constexpr std::size_t kMaxBytesPastEnd = 3;

/// Bits of one data block, most significant bit of each byte first.
class BitInput {
  public:
    BitInput(const std::uint8_t* data, std::size_t size) : p_(data), end_(data + size) {}

    std::uint32_t bit() {
        if (count_ == 0) {
            buf_ = next_byte();
            count_ = 8;
        }
        --count_;
        return (buf_ >> count_) & 1;
    }

    /// `n` is 0 to 24.
    std::uint32_t bits(int n) {
        while (count_ < n) {
            buf_ = (buf_ << 8) | next_byte();
            count_ += 8;
        }
        count_ -= n;
        return (buf_ >> count_) & ((1u << n) - 1);
    }

    std::size_t bytes_past_end() const { return past_end_; }

  private:
    std::uint32_t next_byte() {
        if (p_ != end_)
            return *p_++;
        return past_end_++ == 0 ? 0xFF : 0;
    }

    const std::uint8_t* p_;
    const std::uint8_t* end_;
    std::uint32_t buf_ = 0;
    int count_ = 0;
    std::size_t past_end_ = 0;
};

class QuantumDecoder final : public BlockDecoder {
  public:
    explicit QuantumDecoder(int window_bits);

    bool decode(const std::uint8_t* in, std::size_t in_size, std::uint8_t* out,
                std::size_t out_size) override;
    const std::string& error() const override { return error_; }

  private:
    bool fail(std::string message);
    bool decode_symbol(Model& model, const char* model_name, BitInput& input, int& symbol);
    bool decode_frame_part(BitInput& input, std::uint8_t* out, std::size_t out_size);

    std::vector<std::uint8_t> window_;
    std::uint32_t window_mask_;
    std::uint32_t window_pos_ = 0;
    std::uint64_t folder_out_ = 0;  // bytes decoded by earlier blocks of the folder
    std::size_t short_block_ = 0;   // size of the last block when it ended inside a frame
    bool failed_ = false;

    // Arithmetic coder registers.
    std::uint32_t high_ = 0xFFFF, low_ = 0, code_ = 0;

    Model selector_;         // 0-3 literal of model 0-3, 4 match of 3, 5 of 4, 6 longer
    Model literal_[4];       // bytes 0x00-0x3F, 0x40-0x7F, 0x80-0xBF, 0xC0-0xFF
    Model position3_;        // position slot of 3-byte matches
    Model position4_;        // position slot of 4-byte matches
    Model position_long_;    // position slot of longer matches
    Model length_long_;      // length slot of longer matches

    std::string error_;
    std::string first_error_;
};

QuantumDecoder::QuantumDecoder(int window_bits)
    : window_(std::size_t{1} << window_bits),
      window_mask_((std::uint32_t{1} << window_bits) - 1) {
    const int slots = 2 * window_bits; // 20 to 42
    selector_.reset(0, 7);
    for (int i = 0; i < 4; ++i)
        literal_[i].reset(i * 64, 64);
    position3_.reset(0, slots < 24 ? slots : 24);
    position4_.reset(0, slots < 36 ? slots : 36);
    position_long_.reset(0, slots);
    length_long_.reset(0, kLengthSlots);
}

bool QuantumDecoder::fail(std::string message) {
    failed_ = true;
    error_ = message;
    first_error_ = std::move(message);
    return false;
}

bool QuantumDecoder::decode_symbol(Model& model, const char* model_name, BitInput& input,
                                   int& symbol) {
    // The decoded interval always contains the code register, and scaling keeps every
    // frequency at least 1 and the total at most 3800 while the range is above 0x4000, so
    // each symbol's share of the range is non-empty. Checked anyway: a broken invariant would
    // otherwise mean a wrong division and a renormalisation that never ends.
    if (code_ < low_ || code_ > high_)
        return fail(std::string("Quantum arithmetic decoder lost its interval in the ") +
                    model_name + " model");
    const std::uint32_t range = high_ - low_ + 1;
    const std::uint32_t total = model.total();
    const std::uint32_t target = ((code_ - low_ + 1) * total - 1) / range;
    const int i = model.find(target);
    symbol = model.symbol(i);
    high_ = low_ + (model.cumfreq(i) * range) / total - 1;
    low_ = low_ + (model.cumfreq(i + 1) * range) / total;
    if (!model.update(i))
        return fail(std::string("Quantum ") + model_name +
                    " model frequencies left their range (total " +
                    std::to_string(model.total()) + ")");

    // Renormalise: shift out every leading bit on which low and high agree, and handle the
    // near-underflow case (low 01..., high 10...) by dropping the second bit. Each round
    // doubles high - low (plus one) until the first bits differ, so this ends within 16
    // rounds; the registers stay 16 bits wide.
    for (;;) {
        if ((low_ ^ high_) & 0x8000) {
            if ((low_ & 0x4000) && !(high_ & 0x4000)) {
                code_ ^= 0x4000;
                low_ &= 0x3FFF;
                high_ |= 0x4000;
            } else {
                break;
            }
        }
        low_ = (low_ << 1) & 0xFFFF;
        high_ = ((high_ << 1) | 1) & 0xFFFF;
        code_ = ((code_ << 1) | input.bit()) & 0xFFFF;
    }
    return true;
}

bool QuantumDecoder::decode_frame_part(BitInput& input, std::uint8_t* out,
                                       std::size_t out_size) {
    const std::uint32_t window_size = window_mask_ + 1;
    std::size_t n = 0;
    while (n < out_size) {
        // Checked once per symbol: a symbol reads at most 16 coder bits and 19 extra bits.
        if (input.bytes_past_end() > kMaxBytesPastEnd)
            return fail("Quantum data block is truncated: its data ran out after " +
                        std::to_string(n) + " of " + std::to_string(out_size) + " bytes");
        int selector = 0;
        if (!decode_symbol(selector_, "selector", input, selector))
            return false;
        if (selector < 4) {
            int byte = 0;
            if (!decode_symbol(literal_[selector], "literal", input, byte))
                return false;
            window_[window_pos_] = static_cast<std::uint8_t>(byte);
            window_pos_ = (window_pos_ + 1) & window_mask_;
            out[n++] = static_cast<std::uint8_t>(byte);
            continue;
        }

        std::uint32_t length = 0;
        int slot = 0;
        if (selector == 4) {
            length = 3;
            if (!decode_symbol(position3_, "3-byte match position", input, slot))
                return false;
        } else if (selector == 5) {
            length = 4;
            if (!decode_symbol(position4_, "4-byte match position", input, slot))
                return false;
        } else {
            int length_slot = 0;
            if (!decode_symbol(length_long_, "match length", input, length_slot))
                return false;
            if (length_slot >= kLengthSlots)
                return fail("Quantum match length slot " + std::to_string(length_slot) +
                            " out of range");
            length = kLengthBase[length_slot] + input.bits(kLengthExtra[length_slot]) + 5;
            if (!decode_symbol(position_long_, "match position", input, slot))
                return false;
        }
        if (slot >= kPositionSlots)
            return fail("Quantum match position slot " + std::to_string(slot) + " out of range");
        const std::uint32_t offset = kPositionBase[slot] + input.bits(kPositionExtra[slot]) + 1;

        const std::uint64_t available = folder_out_ + n;
        if (offset > available || offset > window_size)
            return fail("Quantum match reaches " + std::to_string(offset) +
                        " bytes back, but only " +
                        std::to_string(available < window_size ? available : window_size) +
                        " bytes of history exist (output byte " + std::to_string(n) + ")");
        // A match never crosses the end of its frame. In a folder's last block, which
        // ends inside its frame, encoders may let the final match run on past the data
        // (other readers decode it and keep what the block holds), so it is copied into
        // the window whole, around the window's end if need be, and cut at the block's end.
        if (length > kQuantumFrameSize - n)
            return fail("Quantum match of " + std::to_string(length) +
                        " bytes runs past the end of the frame (" +
                        std::to_string(kQuantumFrameSize - n) + " bytes left)");
        std::uint32_t from = (window_pos_ - offset) & window_mask_;
        for (std::uint32_t k = 0; k < length; ++k) {
            const std::uint8_t b = window_[from];
            window_[window_pos_] = b;
            if (n < out_size)
                out[n++] = b;
            from = (from + 1) & window_mask_;
            window_pos_ = (window_pos_ + 1) & window_mask_;
        }
    }
    if (input.bytes_past_end() > kMaxBytesPastEnd)
        return fail("Quantum data block is truncated: its last symbols read past its end");
    return true;
}

bool QuantumDecoder::decode(const std::uint8_t* in, std::size_t in_size, std::uint8_t* out,
                            std::size_t out_size) {
    // Window and models are in an unknown state after a failure, so the folder ends there.
    if (failed_) {
        error_ = "Quantum folder cannot be decoded further after an earlier error (" +
                 first_error_ + ")";
        return false;
    }
    error_.clear();
    if (out == nullptr || out_size == 0 || out_size > kMaxBlockOutput)
        return fail("Quantum data block must yield 1 to 32768 bytes, not " +
                    std::to_string(out_size));
    if (in == nullptr && in_size != 0)
        return fail("Quantum data block has no data");
    // Frames follow the folder's output in steps of 32768 bytes, whatever the blocks. Real
    // cabinets fill every block but the last with one whole frame, so a frame always starts
    // at a block start. A block after a short one would continue that frame's code across a
    // block boundary (and, in other readers, across the 0xFF they insert there), which no
    // encoder writes; it is refused rather than guessed at.
    if (short_block_ != 0)
        return fail("Quantum data block follows a block of " + std::to_string(short_block_) +
                    " bytes that ended inside a frame; only a folder's last block may be"
                    " shorter than 32768 bytes");

    // Every frame restarts the coder: full interval, and the first 16 bits as the code. The
    // models and the window run on from the previous frame.
    BitInput input(in, in_size);
    high_ = 0xFFFF;
    low_ = 0;
    code_ = input.bits(16);
    if (!decode_frame_part(input, out, out_size))
        return false;
    // A full frame's code ends with the encoder's flush, padding to a byte boundary and up to
    // four more zero bytes in real cabinets. Other readers re-align to a byte and skip bytes
    // up to the 0xFF they insert after each block, which goes wrong should the padding hold
    // 0xFF. Here the next frame simply starts at the start of the next block, so the rest of
    // this one is not read at all.
    folder_out_ += out_size;
    if (out_size < kQuantumFrameSize)
        short_block_ = out_size;
    return true;
}

} // namespace

std::unique_ptr<BlockDecoder> make_quantum_decoder(int window_bits) {
    if (window_bits < kQuantumMinWindowBits || window_bits > kQuantumMaxWindowBits)
        return nullptr;
    return std::make_unique<QuantumDecoder>(window_bits);
}

} // namespace cv::cab
