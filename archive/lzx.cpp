#include "archive/lzx.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace cv::cab {

namespace lzx {

unsigned position_slots(int window_bits) {
    // Two slots per doubling of the window up to 2^19; the two largest windows need fewer
    // slots than that rule gives, as the slots above 2^18 are 2^17 wide each.
    switch (window_bits) {
    case 15: return 30;
    case 16: return 32;
    case 17: return 34;
    case 18: return 36;
    case 19: return 38;
    case 20: return 42;
    case 21: return 50;
    default: return 0;
    }
}

namespace {

// Extra (footer) bits of each position slot: 0,0,0,0,1,1,2,2,... capped at 17.
constexpr std::array<std::uint8_t, kMaxPositionSlots> kExtraBits = [] {
    std::array<std::uint8_t, kMaxPositionSlots> bits{};
    for (unsigned slot = 4; slot < kMaxPositionSlots; ++slot)
        bits[slot] = static_cast<std::uint8_t>(std::min((slot - 2) / 2, 17u));
    return bits;
}();

constexpr std::array<std::uint32_t, kMaxPositionSlots> kPositionBase = [] {
    std::array<std::uint32_t, kMaxPositionSlots> base{};
    for (unsigned slot = 1; slot < kMaxPositionSlots; ++slot)
        base[slot] = base[slot - 1] + (1u << kExtraBits[slot - 1]);
    return base;
}();

static_assert(kPositionBase[49] + (1u << kExtraBits[49]) == (1u << 21),
              "the slots of the largest window cover it exactly");

std::uint32_t load_le32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Call translation stops after the first 2^30 bytes of a stream (32768 frames).
constexpr std::uint64_t kTranslationLimit = 0x40000000;
// The last bytes of a frame are never translated, so an operand never crosses a frame end.
constexpr std::size_t kTranslationTail = 10;

} // namespace
} // namespace lzx

using namespace lzx;

LzxDecoder::LzxDecoder(int window_bits)
    : window_size_(position_slots(window_bits) ? 1u << window_bits : 1u << kMinWindowBits),
      main_symbols_(kLiterals + 8 * std::max(position_slots(window_bits), 30u)),
      window_(window_size_) {
    if (position_slots(window_bits) == 0) {
        failed_ = true;
        error_ = "LZX window of 2^" + std::to_string(window_bits) + " bytes is outside 2^15..2^21";
    }
}

bool LzxDecoder::fail(const std::string& what) {
    failed_ = true;
    error_ = "LZX data block " + std::to_string(blocks_done_ + 1) + " (folder offset " +
             std::to_string(total_out_) + "): " + what;
    return false;
}

bool LzxDecoder::fail_corrupt(const std::string& what) {
    // Past the end the reader yields zeros, which usually decode to nonsense first; the
    // real cause is then the missing input.
    if (bits_.overrun())
        return fail("the compressed data end early (truncated block)");
    return fail(what);
}

bool LzxDecoder::decode(const std::uint8_t* in, std::size_t in_size, std::uint8_t* out,
                        std::size_t out_size) {
    if (failed_)
        return false; // error_ keeps the first reason; the state is no longer usable
    if (out_size == 0 || out_size > kMaxBlockOutput)
        return fail("frame size " + std::to_string(out_size) + " is outside 1..32768");
    if (in == nullptr)
        in_size = 0;
    in_end_ = in + in_size;
    raw_ = in;
    if (pad_byte_pending_) {
        // An odd uncompressed block ended the previous frame without room for its padding
        // byte there; a stream read as one piece finds that byte here.
        if (raw_ == in_end_)
            return fail("the padding byte after an uncompressed block is missing (truncated block)");
        ++raw_;
        pad_byte_pending_ = false;
    }
    // Each frame's bits start on a 16-bit boundary: the encoder pads the end of every frame
    // (up to 15 bits) and every data block holds one frame, so the bits start afresh here.
    bits_.reset(raw_, static_cast<std::size_t>(in_end_ - raw_));

    const std::uint32_t frame_start = window_pos_;
    const std::uint64_t frame_offset = total_out_;
    if (!header_read_ && !read_translation_header())
        return false;

    auto remaining = static_cast<std::uint32_t>(out_size);
    while (remaining > 0) {
        if (block_remaining_ == 0) {
            // Every header consumes input, so a stream of empty blocks ends with the input.
            if (!read_block_header())
                return false;
            continue;
        }
        const std::uint32_t run = std::min(block_remaining_, remaining);
        const bool ok = block_type_ == kUncompressed ? copy_uncompressed(run)
                                                     : decode_compressed(run, run == remaining);
        if (!ok)
            return false;
        block_remaining_ -= run;
        remaining -= run;
        total_out_ += run;
        if (block_type_ == kUncompressed && block_remaining_ == 0)
            end_uncompressed_block();
    }
    if (bits_.overrun())
        return fail("the compressed data end early (truncated block)");

    copy_frame_out(frame_start, out, out_size);
    undo_call_translation(out, out_size, frame_offset);
    ++blocks_done_;
    return true;
}

bool LzxDecoder::read_translation_header() {
    // The stream opens with one bit: set when x86 call translation was applied, followed by
    // the 32-bit translation size, high half first. Read once per folder.
    if (bits_.read(1)) {
        const std::uint32_t high = bits_.read(16);
        const std::uint32_t low = bits_.read(16);
        translation_on_ = true;
        translation_size_ = static_cast<std::int32_t>((high << 16) | low);
    }
    if (bits_.overrun())
        return fail("the compressed data end inside the stream header (truncated block)");
    header_read_ = true;
    return true;
}

bool LzxDecoder::read_block_header() {
    const unsigned type = bits_.read(3);
    const std::uint32_t high = bits_.read(16);
    const std::uint32_t low = bits_.read(8);
    if (bits_.overrun())
        return fail("the compressed data end inside a block header (truncated block)");
    const std::uint32_t length = (high << 8) | low;

    switch (type) {
    case kAligned:
        for (std::uint8_t& len : aligned_lengths_)
            len = static_cast<std::uint8_t>(bits_.read(3));
        // An empty aligned tree is accepted here and refused when an offset needs it.
        if (!build_table("aligned offset", aligned_table_, aligned_lengths_, kAlignedSymbols))
            return false;
        [[fallthrough]];
    case kVerbatim:
        if (!read_tree("main", main_lengths_, 0, kLiterals) ||
            !read_tree("main", main_lengths_, kLiterals, main_symbols_) ||
            !build_table("main", main_table_, main_lengths_, main_symbols_))
            return false;
        if (main_table_.empty())
            return fail_corrupt("the main tree has no codes");
        // The length tree may be empty when the block has no match longer than 8 bytes.
        if (!read_tree("length", length_lengths_, 0, kLengthSymbols) ||
            !build_table("length", length_table_, length_lengths_, kLengthSymbols))
            return false;
        break;
    case kUncompressed: {
        // Quirk: the bits before the raw bytes are padded to a 16-bit boundary, and when the
        // header already ends on one a whole padding word follows (1 to 16 bits, never 0).
        const std::uint8_t* p = bits_.align_to_raw_bytes();
        if (p == nullptr || in_end_ - p < 12)
            return fail("the compressed data end inside an uncompressed block header (truncated block)");
        for (unsigned k = 0; k < 3; ++k)
            repeat_[k] = load_le32(p + 4 * k);
        raw_ = p + 12;
        break;
    }
    default:
        return fail_corrupt("block type " + std::to_string(type) + " is invalid (expected 1 to 3)");
    }
    block_type_ = type;
    block_length_ = length;
    block_remaining_ = length;
    if (type == kUncompressed && length == 0)
        end_uncompressed_block();
    return true;
}

template <typename Table>
bool LzxDecoder::build_table(const char* name, Table& table, const std::uint8_t* lengths,
                             unsigned count) {
    switch (table.build(lengths, count)) {
    case TableBuild::ok:
    case TableBuild::empty:
        return true;
    case TableBuild::over_subscribed:
        return fail_corrupt(std::string("the ") + name + " tree is over-subscribed");
    case TableBuild::incomplete:
        return fail_corrupt(std::string("the ") + name + " tree is incomplete");
    case TableBuild::bad_length:
        break;
    }
    return fail_corrupt(std::string("the ") + name + " tree has a code longer than 16 bits");
}

bool LzxDecoder::read_tree(const char* name, std::uint8_t* lengths, unsigned first,
                           unsigned last) {
    // Code lengths are sent as changes to the previous block's lengths, coded with a
    // 20-symbol pretree: 0-16 change one length (new = (old - code) mod 17), 17 and 18 are
    // runs of zeros, 19 a short run of one changed length.
    std::uint8_t pretree_lengths[kPretreeSymbols];
    for (std::uint8_t& len : pretree_lengths)
        len = static_cast<std::uint8_t>(bits_.read(4));
    if (!build_table("pretree", pretree_, pretree_lengths, kPretreeSymbols))
        return false;
    if (pretree_.empty())
        return fail_corrupt(std::string("the pretree of the ") + name + " tree has no codes");

    unsigned x = first;
    while (x < last) {
        bits_.need(16);
        const unsigned code = pretree_.decode(bits_);
        if (code <= 16) {
            lengths[x] = static_cast<std::uint8_t>((lengths[x] + 17 - code) % 17);
            ++x;
            continue;
        }
        unsigned run = 0;
        std::uint8_t value = 0;
        if (code == 17) {
            run = 4 + bits_.read(4);
        } else if (code == 18) {
            run = 20 + bits_.read(5);
        } else {
            run = 4 + bits_.read(1);
            bits_.need(16);
            const unsigned change = pretree_.decode(bits_);
            if (change > 16)
                return fail_corrupt(std::string("the ") + name + " tree repeats a run code");
            value = static_cast<std::uint8_t>((lengths[x] + 17 - change) % 17);
        }
        // Quirk: a run may reach past the end of its part (the decoder libmspack-based tools
        // use accepts this); the excess lands in the next lengths, which for the first part
        // of the main tree are the base of the second part, and otherwise in slack.
        static_assert(20 + 31 < kRunSlack, "longest run fits the slack");
        std::fill_n(lengths + x, run, value);
        x += run;
    }
    if (bits_.overrun())
        return fail("the compressed data end inside the " + std::string(name) + " tree (truncated block)");
    return true;
}

bool LzxDecoder::decode_compressed(std::uint32_t run, bool run_ends_frame) {
    std::uint8_t* const window = window_.data();
    const std::uint32_t mask = window_size_ - 1;
    const bool aligned = block_type_ == kAligned;
    // Locals for the hot loop; written back before returning.
    BitReader bits = bits_;
    std::uint32_t pos = window_pos_;
    std::uint32_t r0 = repeat_[0], r1 = repeat_[1], r2 = repeat_[2];
    std::uint32_t left = run;
    const char* problem = nullptr;
    bool bad_offset = false;

    while (left > 0) {
        bits.need(16);
        unsigned symbol = main_table_.decode(bits);
        if (symbol < kLiterals) {
            window[pos] = static_cast<std::uint8_t>(symbol);
            pos = (pos + 1) & mask;
            --left;
            continue;
        }
        symbol -= kLiterals;
        std::uint32_t length = symbol & 7;
        const unsigned slot = symbol >> 3;
        if (length == 7) {
            if (length_table_.empty()) {
                problem = "a match needs the length tree, which is empty";
                break;
            }
            bits.need(16);
            length += length_table_.decode(bits);
        }
        length += kMinMatch;

        std::uint32_t offset;
        if (slot == 0) {
            offset = r0;
        } else if (slot == 1) {
            offset = r1;
            r1 = r0;
            r0 = offset;
        } else if (slot == 2) {
            offset = r2;
            r2 = r0;
            r0 = offset;
        } else {
            const unsigned extra = kExtraBits[slot];
            offset = kPositionBase[slot] - 2;
            if (aligned && extra >= 3) {
                // The low 3 bits come from the aligned offset tree, the rest verbatim.
                offset += bits.read(extra - 3) << 3;
                if (aligned_table_.empty()) {
                    problem = "an offset needs the aligned offset tree, which is empty";
                    break;
                }
                bits.need(16);
                offset += aligned_table_.decode(bits);
            } else {
                offset += bits.read(extra);
            }
            r2 = r1;
            r1 = r0;
            r0 = offset;
        }

        // A match never continues past its block or past the frame.
        if (length > left) {
            problem = run_ends_frame ? "a match runs past the end of the frame"
                                     : "a match runs past the end of its block";
            break;
        }
        const std::uint64_t history = total_out_ + (run - left);
        if (offset == 0 || offset > history || offset > window_size_) {
            problem = "a match reaches before the start of the data";
            bad_offset = true;
            break;
        }

        std::uint32_t src = (pos - offset) & mask;
        if (pos + length <= window_size_ && src + length <= window_size_) {
            std::uint8_t* d = window + pos;
            const std::uint8_t* s = window + src;
            if (src > pos || offset >= length) {
                // No overlap, or the source wrapped around and lies ahead of the
                // destination, where a forward copy reads each byte before overwriting it.
                std::memmove(d, s, length);
            } else if (offset == 1) {
                std::memset(d, *s, length);
            } else {
                for (std::uint32_t i = 0; i < length; ++i)
                    d[i] = s[i];
            }
            pos = (pos + length) & mask;
        } else {
            for (std::uint32_t i = 0; i < length; ++i) {
                window[pos] = window[src];
                pos = (pos + 1) & mask;
                src = (src + 1) & mask;
            }
        }
        left -= length;
    }

    bits_ = bits;
    window_pos_ = pos;
    repeat_[0] = r0;
    repeat_[1] = r1;
    repeat_[2] = r2;
    if (problem == nullptr)
        return true;
    std::string what = problem;
    if (bad_offset)
        what += " (distance " + std::to_string(r0) + ", " + std::to_string(total_out_ + (run - left)) +
                " bytes decoded)";
    return fail_corrupt(what);
}

bool LzxDecoder::copy_uncompressed(std::uint32_t run) {
    const auto available = static_cast<std::size_t>(in_end_ - raw_);
    if (available < run)
        return fail("an uncompressed block needs " + std::to_string(run) + " more bytes in this data block, " +
                    std::to_string(available) + " are left (truncated block)");
    const std::uint32_t first = std::min(run, window_size_ - window_pos_);
    std::memcpy(window_.data() + window_pos_, raw_, first);
    std::memcpy(window_.data(), raw_ + first, run - first);
    window_pos_ = (window_pos_ + run) & (window_size_ - 1);
    raw_ += run;
    return true;
}

void LzxDecoder::end_uncompressed_block() {
    // An uncompressed block of odd length is followed by one padding byte so the bit stream
    // goes on at a 16-bit boundary. When the block ends the data block exactly, the padding
    // byte, if any, opens the next data block.
    if (block_length_ & 1) {
        if (raw_ < in_end_)
            ++raw_;
        else
            pad_byte_pending_ = true;
    }
    bits_.reset(raw_, static_cast<std::size_t>(in_end_ - raw_));
}

void LzxDecoder::copy_frame_out(std::uint32_t frame_start, std::uint8_t* out,
                                std::size_t size) const {
    const std::size_t first = std::min<std::size_t>(size, window_size_ - frame_start);
    std::memcpy(out, window_.data() + frame_start, first);
    std::memcpy(out + first, window_.data(), size - first);
}

void LzxDecoder::undo_call_translation(std::uint8_t* out, std::size_t size,
                                       std::uint64_t frame_offset) const {
    // The encoder turned the relative target of each E8 (x86 CALL) byte into an absolute
    // one; undo it on the output only. The window keeps the translated bytes, as later
    // matches refer to them.
    if (!translation_on_ || size <= kTranslationTail || frame_offset >= kTranslationLimit)
        return;
    const std::int64_t translation_size = translation_size_;
    std::uint8_t* p = out;
    std::uint8_t* const limit = out + size - kTranslationTail;
    while (p < limit) {
        p = static_cast<std::uint8_t*>(std::memchr(p, 0xE8, static_cast<std::size_t>(limit - p)));
        if (p == nullptr)
            break;
        const std::int64_t position = static_cast<std::int64_t>(frame_offset) + (p - out);
        const std::int64_t value = static_cast<std::int32_t>(load_le32(p + 1));
        if (value >= -position && value < translation_size) {
            const std::int64_t target = value >= 0 ? value - position : value + translation_size;
            const auto bytes = static_cast<std::uint32_t>(target);
            p[1] = static_cast<std::uint8_t>(bytes);
            p[2] = static_cast<std::uint8_t>(bytes >> 8);
            p[3] = static_cast<std::uint8_t>(bytes >> 16);
            p[4] = static_cast<std::uint8_t>(bytes >> 24);
        }
        p += 5;
    }
}

std::unique_ptr<BlockDecoder> make_lzx_decoder(int window_bits) {
    if (position_slots(window_bits) == 0)
        return nullptr;
    return std::make_unique<LzxDecoder>(window_bits);
}

} // namespace cv::cab
