#include "archive/inflate.h"

#include <array>
#include <cstring>
#include <vector>

namespace cv::cab {

namespace {

constexpr std::size_t kWindow = 32768;
constexpr std::size_t kMaxOut = 32768;
// Matches are copied eight bytes at a time and may overshoot their end by up to 7 bytes.
constexpr std::size_t kSlack = 16;

constexpr int kLitBits = 10;  // primary table index width for literals/lengths
constexpr int kDistBits = 8;  // and for distances
constexpr int kMaxCodeLen = 15;

// A table entry: the symbol, or for a long code the start of its subtable; `len` is the
// code length to consume (0 marks a bit pattern that no code uses).
struct Entry {
    std::uint16_t value;
    std::uint8_t len;
    std::uint8_t sub; // 1: value is a subtable offset
};

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

// A canonical Huffman decoding table with one level of subtables for codes longer than the
// primary index. Sized for the worst case, so building never allocates.
template <int PrimaryBits, int MaxSymbols> class HuffmanTable {
  public:
    static constexpr int kSubBits = kMaxCodeLen - PrimaryBits;
    static constexpr std::size_t kSize = (std::size_t{1} << PrimaryBits) +
                                         (std::size_t{1} << PrimaryBits) * (1u << kSubBits);

    /// Builds the table from code lengths; false for an over-subscribed set of lengths.
    /// Incomplete sets are accepted; unused patterns decode as invalid.
    bool build(const std::uint8_t* lengths, int count) {
        int bl_count[kMaxCodeLen + 1] = {};
        for (int i = 0; i < count; ++i)
            ++bl_count[lengths[i]];
        bl_count[0] = 0;
        int left = 1;
        for (int len = 1; len <= kMaxCodeLen; ++len) {
            left = (left << 1) - bl_count[len];
            if (left < 0)
                return false;
        }
        int next_code[kMaxCodeLen + 2] = {};
        int code = 0;
        for (int len = 1; len <= kMaxCodeLen; ++len) {
            code = (code + bl_count[len - 1]) << 1;
            next_code[len] = code;
        }
        std::memset(table_.data(), 0, sizeof(Entry) << PrimaryBits);
        std::size_t next_sub = std::size_t{1} << PrimaryBits;
        constexpr std::size_t kPrimaryMask = (std::size_t{1} << PrimaryBits) - 1;
        for (int sym = 0; sym < count; ++sym) {
            const int len = lengths[sym];
            if (len == 0)
                continue;
            const unsigned rev = reverse(static_cast<unsigned>(next_code[len]++), len);
            if (len <= PrimaryBits) {
                for (std::size_t i = rev; i < (std::size_t{1} << PrimaryBits); i += std::size_t{1} << len)
                    table_[i] = Entry{static_cast<std::uint16_t>(sym), static_cast<std::uint8_t>(len), 0};
                continue;
            }
            Entry& head = table_[rev & kPrimaryMask];
            if (!head.sub) {
                head = Entry{static_cast<std::uint16_t>(next_sub), 1, 1};
                std::memset(&table_[next_sub], 0, sizeof(Entry) << kSubBits);
                next_sub += std::size_t{1} << kSubBits;
            }
            const unsigned high = rev >> PrimaryBits;
            const int high_len = len - PrimaryBits;
            for (std::size_t i = high; i < (std::size_t{1} << kSubBits); i += std::size_t{1} << high_len)
                table_[head.value + i] =
                    Entry{static_cast<std::uint16_t>(sym), static_cast<std::uint8_t>(len), 0};
        }
        return true;
    }

    /// Looks up the entry for the low bits of `bits` (at least kMaxCodeLen valid bits).
    const Entry& lookup(std::uint64_t bits) const {
        const Entry& e = table_[bits & ((std::uint64_t{1} << PrimaryBits) - 1)];
        if (!e.sub) [[likely]]
            return e;
        return table_[e.value + ((bits >> PrimaryBits) & ((1u << kSubBits) - 1))];
    }

  private:
    static unsigned reverse(unsigned code, int len) {
        unsigned r = 0;
        for (int i = 0; i < len; ++i, code >>= 1)
            r = (r << 1) | (code & 1);
        return r;
    }
    std::array<Entry, kSize> table_;
};

} // namespace

struct Inflater::State {
    // Earlier output then this call's output at write_pos. The output slides forward through
    // several blocks' room before the last kWindow bytes are moved back to the front.
    static constexpr std::size_t kSize = kWindow + 4 * kMaxOut + kSlack;
    std::array<std::uint8_t, kSize> window{};
    std::size_t write_pos = kWindow;
    std::size_t history = 0; // valid bytes before write_pos, at most kWindow
    HuffmanTable<kLitBits, 288> lit, fixed_lit;
    HuffmanTable<kDistBits, 32> dist, fixed_dist;
    HuffmanTable<7, 19> code_len;

    // Bit reader over the current input. Past the end it feeds zero bytes and counts them,
    // so a decode loop never reads outside the input; overrun() then reports the damage.
    const std::uint8_t* in = nullptr;
    std::size_t in_size = 0, pos = 0, padding = 0;
    std::uint64_t bitbuf = 0;
    int bitcount = 0;

    void refill() {
        if (pos + 8 <= in_size) [[likely]] {
            std::uint64_t w;
            std::memcpy(&w, in + pos, 8);
            bitbuf |= w << bitcount;
            pos += (63 - bitcount) >> 3;
            bitcount |= 56;
            return;
        }
        while (bitcount <= 48) {
            if (pos < in_size)
                bitbuf |= static_cast<std::uint64_t>(in[pos++]) << bitcount;
            else
                ++padding;
            bitcount += 8;
        }
    }
    std::uint32_t bits(int n) { return static_cast<std::uint32_t>(bitbuf & ((std::uint64_t{1} << n) - 1)); }
    void drop(int n) {
        bitbuf >>= n;
        bitcount -= n;
    }
    // Bits consumed beyond the real input (zero bytes fed at the end and actually used).
    bool overrun() const {
        const std::size_t buffered_padding = padding;
        return static_cast<std::size_t>(bitcount) < buffered_padding * 8;
    }
    std::size_t bits_left() const {
        // Real input bits still unread: those in the buffer that are not padding, plus the rest.
        const std::size_t buffered_real = bitcount > static_cast<int>(padding * 8)
                                              ? bitcount - padding * 8
                                              : 0;
        return buffered_real + (in_size - pos) * 8;
    }
};

Inflater::Inflater() : s_(std::make_unique<State>()) {
    std::uint8_t lengths[288];
    std::memset(lengths, 8, 144);
    std::memset(lengths + 144, 9, 112);
    std::memset(lengths + 256, 7, 24);
    std::memset(lengths + 280, 8, 8);
    s_->fixed_lit.build(lengths, 288);
    std::memset(lengths, 5, 32);
    s_->fixed_dist.build(lengths, 32);
}

Inflater::~Inflater() = default;

void Inflater::reset() { s_->history = 0; }

bool Inflater::inflate(const std::uint8_t* in, std::size_t in_size, std::uint8_t* out,
                       std::size_t out_size) {
    State& s = *s_;
    error_.clear();
    s.in = in;
    s.in_size = in_size;
    s.pos = 0;
    s.padding = 0;
    s.bitbuf = 0;
    s.bitcount = 0;
    auto failed = [&](std::string why) {
        error_ = std::move(why);
        return false;
    };
    if (out_size > kMaxOut)
        return failed("block output of " + std::to_string(out_size) + " bytes exceeds 32768");

    std::uint8_t* const base = s.window.data() + s.write_pos; // first byte of this call's output
    std::uint8_t* op = base;
    std::uint8_t* const end = base + out_size;
    const std::size_t history = s.history;

    bool final_block = false;
    while (!final_block) {
        s.refill();
        if (s.overrun())
            return failed("deflate data end before the final block at output byte " +
                          std::to_string(op - base));
        // After a non-final block, a stream that has produced the whole block and has only
        // padding bits left is accepted: some writers end MSZIP blocks with a flush instead
        // of a final block.
        if (op == end && op != base && s.bits_left() < 8)
            break;
        final_block = s.bits(1);
        const int type = static_cast<int>((s.bitbuf >> 1) & 3);
        s.drop(3);
        if (type == 0) {
            // Stored block: drop to a byte boundary, give back the whole bytes still buffered.
            s.drop(s.bitcount & 7);
            const std::size_t buffered = static_cast<std::size_t>(s.bitcount) / 8;
            if (buffered > s.pos + s.padding)
                return failed("deflate bit reader out of step");
            const std::size_t real_buffered = buffered > s.padding ? buffered - s.padding : 0;
            if (buffered < s.padding)
                return failed("stored block header runs past the end of the data");
            s.pos -= real_buffered;
            s.padding = 0;
            s.bitbuf = 0;
            s.bitcount = 0;
            if (in_size - s.pos < 4)
                return failed("stored block header runs past the end of the data");
            const std::size_t len = in[s.pos] | in[s.pos + 1] << 8;
            const std::size_t nlen = in[s.pos + 2] | in[s.pos + 3] << 8;
            s.pos += 4;
            if ((len ^ 0xFFFF) != nlen)
                return failed("stored block length " + std::to_string(len) +
                              " does not match its complement " + std::to_string(nlen));
            if (len > in_size - s.pos)
                return failed("stored block of " + std::to_string(len) +
                              " bytes runs past the end of the data");
            if (len > static_cast<std::size_t>(end - op))
                return failed("stored block of " + std::to_string(len) +
                              " bytes overflows the block output of " + std::to_string(out_size));
            std::memcpy(op, in + s.pos, len);
            op += len;
            s.pos += len;
            continue;
        }
        if (type == 3)
            return failed("deflate block type 3 is reserved");

        const auto* lit = &s.fixed_lit;
        const auto* dist = &s.fixed_dist;
        if (type == 2) {
            s.refill();
            const int hlit = static_cast<int>(s.bits(5)) + 257;
            s.drop(5);
            const int hdist = static_cast<int>(s.bits(5)) + 1;
            s.drop(5);
            const int hclen = static_cast<int>(s.bits(4)) + 4;
            s.drop(4);
            if (hlit > 286 || hdist > 30)
                return failed("dynamic block declares " + std::to_string(hlit) +
                              " literal/length and " + std::to_string(hdist) +
                              " distance codes; at most 286 and 30 exist");
            std::uint8_t cl_lengths[19] = {};
            for (int i = 0; i < hclen; ++i) {
                s.refill();
                cl_lengths[kCodeLengthOrder[i]] = static_cast<std::uint8_t>(s.bits(3));
                s.drop(3);
            }
            if (!s.code_len.build(cl_lengths, 19))
                return failed("code length code is over-subscribed");
            std::uint8_t lengths[286 + 30];
            const int total = hlit + hdist;
            for (int i = 0; i < total;) {
                s.refill();
                if (s.overrun())
                    return failed("code lengths run past the end of the data");
                const Entry& e = s.code_len.lookup(s.bitbuf);
                if (e.len == 0)
                    return failed("invalid code length code");
                s.drop(e.len);
                const int sym = e.value;
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
                    repeat = 3 + static_cast<int>(s.bits(2));
                    s.drop(2);
                } else if (sym == 17) {
                    repeat = 3 + static_cast<int>(s.bits(3));
                    s.drop(3);
                } else {
                    repeat = 11 + static_cast<int>(s.bits(7));
                    s.drop(7);
                }
                if (repeat > total - i)
                    return failed("code length repeat runs past the " + std::to_string(total) +
                                  " declared codes");
                std::memset(lengths + i, value, static_cast<std::size_t>(repeat));
                i += repeat;
            }
            if (lengths[256] == 0)
                return failed("dynamic block has no end-of-block code");
            if (!s.lit.build(lengths, hlit))
                return failed("literal/length code is over-subscribed");
            if (!s.dist.build(lengths + hlit, hdist))
                return failed("distance code is over-subscribed");
            lit = &s.lit;
            dist = &s.dist;
        }

        // Huffman-coded data. One refill yields at least 56 bits, enough for a length code,
        // its extra bits, a distance code and its extra bits (15 + 5 + 15 + 13).
        for (;;) {
            s.refill();
            if (s.overrun()) [[unlikely]]
                return failed("deflate data end inside a block at output byte " +
                              std::to_string(op - base));
            const Entry* e = &lit->lookup(s.bitbuf);
            if (e->len != 0 && e->value < 256) {
                // Literals run in threes per refill: 49 bits cover three 15-bit codes, and
                // each lookup sees at least 15 valid bits.
                for (int n = 0;; ++n) {
                    if (op == end) [[unlikely]]
                        return failed("deflate data yield more than the block's " +
                                      std::to_string(out_size) + " bytes");
                    s.drop(e->len);
                    *op++ = static_cast<std::uint8_t>(e->value);
                    if (n == 2)
                        break;
                    e = &lit->lookup(s.bitbuf);
                    if (e->len == 0 || e->value >= 256)
                        break;
                }
                continue;
            }
            if (e->len == 0) [[unlikely]]
                return failed("invalid literal/length code");
            s.drop(e->len);
            const unsigned sym = e->value;
            if (sym == 256)
                break;
            if (sym > 285) [[unlikely]]
                return failed("invalid length symbol " + std::to_string(sym));
            const unsigned li = sym - 257;
            const std::size_t length = kLengthBase[li] + s.bits(kLengthExtra[li]);
            s.drop(kLengthExtra[li]);
            const Entry& d = dist->lookup(s.bitbuf);
            if (d.len == 0 || d.value > 29) [[unlikely]]
                return failed("invalid distance code");
            s.drop(d.len);
            const std::size_t distance = kDistBase[d.value] + s.bits(kDistExtra[d.value]);
            s.drop(kDistExtra[d.value]);
            const std::size_t produced = static_cast<std::size_t>(op - base);
            if (distance > produced + history) [[unlikely]]
                return failed("match distance " + std::to_string(distance) + " reaches before the " +
                              std::to_string(produced + history) + " bytes of history");
            if (length > static_cast<std::size_t>(end - op)) [[unlikely]]
                return failed("match of " + std::to_string(length) + " bytes overflows the block's " +
                              std::to_string(out_size) + " bytes");
            const std::uint8_t* from = op - distance;
            std::uint8_t* const stop = op + length;
            if (distance >= 8) {
                // Non-overlapping eight-byte steps; the last may write up to 7 bytes past the
                // match into the slack, which later output overwrites.
                while (op < stop) {
                    std::memcpy(op, from, 8);
                    op += 8;
                    from += 8;
                }
            } else {
                while (op < stop)
                    *op++ = *from++;
            }
            op = stop;
        }
    }
    if (s.overrun())
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
