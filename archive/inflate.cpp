#include "archive/inflate.h"

#include "archive/inflate_table.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace cv::cab {

namespace {

using namespace inflate_detail;

constexpr std::size_t kWindow = 32768;
constexpr std::size_t kMaxOut = 32768;
constexpr std::size_t kMaxMatch = 258;
// Match copies move eight bytes at a time and may write up to 15 bytes past the match's end;
// the window keeps this much room after any block's output.
constexpr std::size_t kSlack = 32;
// The fast decode loop runs while this many input bytes remain: each of its steps refills
// the bit buffer at most twice, and a word refill reads eight bytes and keeps at most seven.
constexpr std::size_t kFastInput = 16;

constexpr int kLitBits = 11;  // primary index width for literals/lengths
constexpr int kDistBits = 8;  // and for distances
constexpr int kCodeLenBits = 7;

constexpr std::uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,
                                           15, 17, 19, 23, 27, 31, 35, 43, 51,  59,
                                           67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                           2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::uint16_t kDistBase[30] = {1,    2,    3,    4,    5,    7,     9,     13,
                                         17,   25,   33,   49,   65,   97,    129,   193,
                                         257,  385,  513,  769,  1025, 1537,  2049,  3073,
                                         4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::uint8_t kDistExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                         6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr std::uint8_t kCodeLengthOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                               11, 4,  12, 3, 13, 2, 14, 1, 15};

// What each symbol decodes to, as a table entry without its codeword length. Literal/length
// symbols 286 and 287 and distance symbols 30 and 31 may take part in a code but are invalid.
struct Meanings {
    std::uint32_t lit[288] = {};
    std::uint32_t dist[32] = {};
    std::uint32_t code_len[19] = {};
};

constexpr Meanings make_meanings() {
    Meanings m;
    for (unsigned sym = 0; sym < 256; ++sym)
        m.lit[sym] = make_meaning(sym, 0, kLiteral);
    m.lit[256] = kEndOfBlock;
    for (unsigned i = 0; i < 29; ++i)
        m.lit[257 + i] = make_meaning(kLengthBase[i], kLengthExtra[i], kBase);
    for (unsigned i = 0; i < 30; ++i)
        m.dist[i] = make_meaning(kDistBase[i], kDistExtra[i], kBase);
    for (unsigned sym = 0; sym < 19; ++sym)
        m.code_len[sym] = make_meaning(sym, 0, kBase);
    return m;
}

constexpr Meanings kMeaning = make_meanings();

using LitTable = DecodeTable<kLitBits, 288>;
using DistTable = DecodeTable<kDistBits, 32>;
using CodeLenTable = DecodeTable<kCodeLenBits, 19>;

// Reads the input least significant bit first through a 64-bit buffer. Where eight input
// bytes remain a refill loads one word; nearer the end it goes byte by byte and, past the end,
// feeds zero bytes and counts them, so no decode step reads outside the input. overrun() then
// tells that the decoder used bits the input does not have.
struct BitReader {
    const std::uint8_t* in;
    const std::uint8_t* end;
    std::uint64_t buf = 0; // valid bits at the bottom; above them may sit input not yet counted
    unsigned count = 0;    // valid bits in buf, at most 63
    std::size_t padding = 0;

    /// Leaves at least 56 valid bits; needs eight input bytes left.
    void refill_word() {
        std::uint64_t w;
        std::memcpy(&w, in, 8);
        buf |= w << count; // bits already above `count` are these same input bits
        in += (63 - count) >> 3;
        count |= 56;
    }
    /// Leaves at least 56 valid bits (some of them padding past the end).
    void refill() {
        if (end - in >= 8) [[likely]] {
            refill_word();
            return;
        }
        while (count < 56) {
            if (in < end)
                buf |= static_cast<std::uint64_t>(*in++) << count;
            else
                ++padding;
            count += 8;
        }
    }
    std::uint32_t peek(unsigned n) const {
        return static_cast<std::uint32_t>(buf & ((std::uint64_t{1} << n) - 1));
    }
    void drop(unsigned n) {
        buf >>= n;
        count -= n;
    }
    bool overrun() const { return count < padding * 8; }
    std::size_t bits_left() const {
        const std::size_t real = count > padding * 8 ? count - padding * 8 : 0;
        return real + static_cast<std::size_t>(end - in) * 8;
    }
};

// Decodes the value of a length or distance entry: its base plus the extra bits after the
// codeword, consuming both with one shift.
inline std::size_t take_base(std::uint64_t& buf, unsigned& count, std::uint32_t e) {
    const unsigned step = step_bits(e);
    const std::size_t value =
        entry_value(e) + static_cast<std::size_t>((buf & ((std::uint64_t{1} << step) - 1)) >> codeword_bits(e));
    buf >>= step;
    count -= step;
    return value;
}
inline std::size_t take_base(BitReader& br, std::uint32_t e) { return take_base(br.buf, br.count, e); }

inline void copy8(std::uint8_t* to, const std::uint8_t* from) {
    std::uint64_t w;
    std::memcpy(&w, from, 8);
    std::memcpy(to, &w, 8);
}

inline void copy16(std::uint8_t* to, const std::uint8_t* from) {
    std::uint8_t w[16];
    std::memcpy(w, from, 16);
    std::memcpy(to, w, 16);
}

// Copies a match of `length` bytes (3 to 258) from `distance` back and returns the end of the
// match. It may write up to 31 bytes past that end (into room that later output overwrites).
inline std::uint8_t* copy_match(std::uint8_t* op, std::size_t distance, std::size_t length) {
    const std::uint8_t* from = op - distance;
    std::uint8_t* const stop = op + length;
    if (distance >= 16) {
        // Sixteen-byte steps never overlap their own source; most matches end within two.
        copy16(op, from);
        copy16(op + 16, from + 16);
        for (op += 32, from += 32; op < stop; op += 16, from += 16)
            copy16(op, from);
    } else if (distance >= 8) {
        copy8(op, from);
        copy8(op + 8, from + 8);
        for (op += 16, from += 16; op < stop; op += 8, from += 8)
            copy8(op, from);
    } else if (distance == 1) {
        std::uint8_t w[16];
        std::memset(w, *from, 16);
        for (; op < stop; op += 16)
            std::memcpy(op, w, 16);
    } else {
        // A short period: each eight-byte step is right for as many bytes as lie between the
        // source and the destination, a multiple of the period. That gap doubles until it
        // holds eight bytes; then steps of the largest multiple of the period up to eight
        // keep the source eight bytes behind or more.
        while (op - from < 8) {
            copy8(op, from);
            op += op - from;
        }
        const std::size_t step = 8 - 8 % distance;
        for (; op < stop; op += step)
            copy8(op, from);
    }
    return stop;
}

} // namespace

struct Inflater::State {
    // Earlier output then this call's output at write_pos. The output slides forward through
    // several blocks' room before the last kWindow bytes are moved back to the front.
    static constexpr std::size_t kSize = kWindow + 4 * kMaxOut + kSlack;
    std::array<std::uint8_t, kSize> window{};
    std::size_t write_pos = kWindow;
    std::size_t history = 0; // valid bytes before write_pos, at most kWindow
    LitTable lit, fixed_lit;
    DistTable dist, fixed_dist;
    CodeLenTable code_len;
};

Inflater::Inflater() : s_(std::make_unique<State>()) {
    std::uint8_t lengths[288];
    std::memset(lengths, 8, 144);
    std::memset(lengths + 144, 9, 112);
    std::memset(lengths + 256, 7, 24);
    std::memset(lengths + 280, 8, 8);
    s_->fixed_lit.build(lengths, 288, kMeaning.lit);
    std::memset(lengths, 5, 32);
    s_->fixed_dist.build(lengths, 32, kMeaning.dist);
}

Inflater::~Inflater() = default;

void Inflater::reset() { s_->history = 0; }

bool Inflater::inflate(const std::uint8_t* in, std::size_t in_size, std::uint8_t* out,
                       std::size_t out_size) {
    State& s = *s_;
    error_.clear();
    auto failed = [&](std::string why) {
        error_ = std::move(why);
        return false;
    };
    if (out_size > kMaxOut)
        return failed("block output of " + std::to_string(out_size) + " bytes exceeds 32768");

    BitReader br{in, in + in_size};
    std::uint8_t* const base = s.window.data() + s.write_pos; // first byte of this call's output
    std::uint8_t* op = base;
    std::uint8_t* const end = base + out_size;
    const std::size_t history = s.history;
    const std::uint8_t* const earliest = base - history; // the oldest byte a match may copy
    // The fast decode loop runs while op <= fast_out_limit, so that any symbol fits the
    // output, and br.in < fast_in_limit, so that its word refills stay inside the input.
    std::uint8_t* const fast_out_limit = out_size >= kMaxMatch ? end - kMaxMatch : base - 1;
    const std::uint8_t* const fast_in_limit = in_size >= kFastInput ? in + in_size - kFastInput + 1 : in;

    bool final_block = false;
    while (!final_block) {
        br.refill();
        if (br.overrun())
            return failed("deflate data end before the final block at output byte " +
                          std::to_string(op - base));
        // After a non-final block, a stream that has produced the whole block and has only
        // padding bits left is accepted: some writers end MSZIP blocks with a flush instead
        // of a final block.
        if (op == end && op != base && br.bits_left() < 8)
            break;
        final_block = br.peek(1);
        const unsigned type = (br.buf >> 1) & 3;
        br.drop(3);
        if (type == 0) {
            // Stored block: drop to a byte boundary, give back the whole bytes still buffered.
            br.drop(br.count & 7);
            const std::size_t buffered = br.count / 8;
            if (buffered < br.padding)
                return failed("stored block header runs past the end of the data");
            br.in -= buffered - br.padding;
            br.padding = 0;
            br.buf = 0;
            br.count = 0;
            const std::size_t pos = static_cast<std::size_t>(br.in - in);
            if (in_size - pos < 4)
                return failed("stored block header runs past the end of the data");
            const std::size_t len = in[pos] | in[pos + 1] << 8;
            const std::size_t nlen = in[pos + 2] | in[pos + 3] << 8;
            if ((len ^ 0xFFFF) != nlen)
                return failed("stored block length " + std::to_string(len) +
                              " does not match its complement " + std::to_string(nlen));
            if (len > in_size - pos - 4)
                return failed("stored block of " + std::to_string(len) +
                              " bytes runs past the end of the data");
            if (len > static_cast<std::size_t>(end - op))
                return failed("stored block of " + std::to_string(len) +
                              " bytes overflows the block output of " + std::to_string(out_size));
            std::memcpy(op, in + pos + 4, len);
            op += len;
            br.in = in + pos + 4 + len;
            continue;
        }
        if (type == 3)
            return failed("deflate block type 3 is reserved");

        const LitTable* lit = &s.fixed_lit;
        const DistTable* dist = &s.fixed_dist;
        if (type == 2) {
            br.refill();
            const int hlit = static_cast<int>(br.peek(5)) + 257;
            br.drop(5);
            const int hdist = static_cast<int>(br.peek(5)) + 1;
            br.drop(5);
            const int hclen = static_cast<int>(br.peek(4)) + 4;
            br.drop(4);
            if (hlit > 286 || hdist > 30)
                return failed("dynamic block declares " + std::to_string(hlit) +
                              " literal/length and " + std::to_string(hdist) +
                              " distance codes; at most 286 and 30 exist");
            std::uint8_t cl_lengths[19] = {};
            for (int i = 0; i < hclen; ++i) {
                br.refill();
                cl_lengths[kCodeLengthOrder[i]] = static_cast<std::uint8_t>(br.peek(3));
                br.drop(3);
            }
            if (!s.code_len.build(cl_lengths, 19, kMeaning.code_len))
                return failed("code length code is over-subscribed");
            std::uint8_t lengths[286 + 30];
            const int total = hlit + hdist;
            for (int i = 0; i < total;) {
                br.refill();
                if (br.overrun())
                    return failed("code lengths run past the end of the data");
                const std::uint32_t e = s.code_len.lookup(br.buf);
                if (!(e & kBase))
                    return failed("invalid code length code");
                br.drop(step_bits(e));
                const unsigned sym = entry_value(e);
                if (sym < 16) {
                    lengths[i++] = static_cast<std::uint8_t>(sym);
                    continue;
                }
                int repeat;
                std::uint8_t value = 0;
                if (sym == 16) {
                    if (i == 0)
                        return failed("code length repeat with no previous length");
                    value = lengths[i - 1];
                    repeat = 3 + static_cast<int>(br.peek(2));
                    br.drop(2);
                } else if (sym == 17) {
                    repeat = 3 + static_cast<int>(br.peek(3));
                    br.drop(3);
                } else {
                    repeat = 11 + static_cast<int>(br.peek(7));
                    br.drop(7);
                }
                if (repeat > total - i)
                    return failed("code length repeat runs past the " + std::to_string(total) +
                                  " declared codes");
                std::memset(lengths + i, value, static_cast<std::size_t>(repeat));
                i += repeat;
            }
            if (lengths[256] == 0)
                return failed("dynamic block has no end-of-block code");
            if (!s.lit.build(lengths, hlit, kMeaning.lit))
                return failed("literal/length code is over-subscribed");
            if (!s.dist.build(lengths + hlit, hdist, kMeaning.dist))
                return failed("distance code is over-subscribed");
            lit = &s.lit;
            dist = &s.dist;
        }

        // Huffman-coded data.
        for (;;) {
            if (br.in < fast_in_limit && op <= fast_out_limit) [[likely]] {
                // Fast loop: the input has words to spare and any symbol fits the output, so
                // only the codes and the match distance need checking. The bit buffer lives in
                // locals here, and each step looks up the next entry before copying its match.
                // A word refill leaves 56 bits: three literal codewords (45 bits), or a length
                // codeword with its extra bits (20) and a distance with its extra bits (28).
                // Each pass refills at most twice after testing the input limit, reading at
                // most 15 bytes past where the test was made; the limit leaves 16.
                std::uint64_t buf = br.buf;
                unsigned count = br.count;
                const std::uint8_t* ip = br.in;
                auto refill = [&] {
                    std::uint64_t w;
                    std::memcpy(&w, ip, 8);
                    buf |= w << count; // bits already above `count` are these same input bits
                    ip += (63 - count) >> 3;
                    count |= 56;
                };
                auto literal = [&](std::uint32_t entry) {
                    buf >>= step_bits(entry);
                    count -= step_bits(entry);
                    *op++ = static_cast<std::uint8_t>(entry_value(entry));
                };
                bool block_end = false;
                const char* fault = nullptr;
                std::size_t bad_distance = 0;
                refill();
                std::uint32_t e = lit->primary(buf);
                while (ip < fast_in_limit && op <= fast_out_limit) {
                    if (e & kLiteral) {
                        literal(e);
                        e = lit->primary(buf);
                        if (e & kLiteral) {
                            literal(e);
                            e = lit->primary(buf);
                            if (e & kLiteral) {
                                literal(e);
                                refill();
                                e = lit->primary(buf);
                                continue;
                            }
                        }
                        // `e` was looked up from 26 or more valid bits; a refill keeps them.
                        refill();
                    }
                    if (e & kSubtable) [[unlikely]] {
                        e = lit->secondary(buf, e);
                        if (e & kLiteral) {
                            literal(e);
                            refill();
                            e = lit->primary(buf);
                            continue;
                        }
                    }
                    if (!(e & kBase)) [[unlikely]] {
                        if (!(e & kEndOfBlock)) {
                            fault = "invalid literal/length code";
                            break;
                        }
                        buf >>= step_bits(e);
                        count -= step_bits(e);
                        block_end = true;
                        break;
                    }
                    const std::size_t length = take_base(buf, count, e);
                    const std::uint32_t d = dist->lookup(buf);
                    if (!(d & kBase)) [[unlikely]] {
                        fault = "invalid distance code";
                        break;
                    }
                    const std::size_t distance = take_base(buf, count, d);
                    if (distance > static_cast<std::size_t>(op - earliest)) [[unlikely]] {
                        bad_distance = distance;
                        break;
                    }
                    refill();
                    e = lit->primary(buf);
                    op = copy_match(op, distance, length);
                }
                br.buf = buf;
                br.count = count;
                br.in = ip;
                if (fault)
                    return failed(fault);
                if (bad_distance != 0)
                    return failed("match distance " + std::to_string(bad_distance) +
                                  " reaches before the " + std::to_string(op - earliest) +
                                  " bytes of history");
                if (block_end)
                    break;
                continue;
            }

            // Careful step near the end of the input or the output: one symbol, every bound
            // checked.
            br.refill();
            if (br.overrun()) [[unlikely]]
                return failed("deflate data end inside a block at output byte " +
                              std::to_string(op - base));
            const std::uint32_t e = lit->lookup(br.buf);
            if (e & kLiteral) {
                if (op == end)
                    return failed("deflate data yield more than the block's " +
                                  std::to_string(out_size) + " bytes");
                br.drop(step_bits(e));
                *op++ = static_cast<std::uint8_t>(entry_value(e));
                continue;
            }
            if (!(e & kBase)) {
                if (!(e & kEndOfBlock))
                    return failed("invalid literal/length code");
                br.drop(step_bits(e));
                break;
            }
            const std::size_t length = take_base(br, e);
            const std::uint32_t d = dist->lookup(br.buf); // 36 or more valid bits left
            if (!(d & kBase))
                return failed("invalid distance code");
            const std::size_t distance = take_base(br, d);
            if (br.overrun())
                return failed("deflate data end inside a match at output byte " +
                              std::to_string(op - base));
            if (distance > static_cast<std::size_t>(op - earliest))
                return failed("match distance " + std::to_string(distance) + " reaches before the " +
                              std::to_string(op - earliest) + " bytes of history");
            if (length > static_cast<std::size_t>(end - op))
                return failed("match of " + std::to_string(length) + " bytes overflows the block's " +
                              std::to_string(out_size) + " bytes");
            op = copy_match(op, distance, length);
        }
    }
    if (br.overrun())
        return failed("deflate data end inside the final block");
    const std::size_t produced = static_cast<std::size_t>(op - base);
    if (produced != out_size)
        return failed("deflate data yield " + std::to_string(produced) +
                      " bytes when the block should hold " + std::to_string(out_size));
    std::memcpy(out, base, out_size);
    s.write_pos += out_size;
    s.history = std::min(kWindow, history + out_size);
    if (s.write_pos + kMaxOut + kSlack > State::kSize) {
        std::memmove(s.window.data(), s.window.data() + s.write_pos - kWindow, kWindow);
        s.write_pos = kWindow;
    }
    return true;
}

} // namespace cv::cab
