// Inflate held against zlib's deflate as the control: every strategy and level, history
// across calls, and damaged streams that must fail without reading or writing out of bounds.

#include "archive/inflate.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace cv::cab {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Raw deflate of `data`, primed with `dict` (the previous block), as MSZIP writers do.
Bytes deflate_raw(const Bytes& data, const Bytes& dict, int level, int strategy) {
    z_stream z{};
    EXPECT_EQ(deflateInit2(&z, level, Z_DEFLATED, -15, 8, strategy), Z_OK);
    if (!dict.empty())
        deflateSetDictionary(&z, dict.data(), static_cast<uInt>(dict.size()));
    Bytes out(deflateBound(&z, data.size()) + 16);
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    out.resize(out.size() - z.avail_out);
    deflateEnd(&z);
    return out;
}

// Text-like data with long repeats, so matches reach far back, then a random tail.
Bytes sample(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    const char* words[] = {"setup ", "cabinet ", "folder ", "\r\n", "install ", "0123456789"};
    Bytes b;
    while (b.size() < n * 3 / 4) {
        const char* w = words[rng() % 6];
        b.insert(b.end(), w, w + std::strlen(w));
    }
    while (b.size() < n)
        b.push_back(static_cast<std::uint8_t>(rng()));
    b.resize(n);
    return b;
}

TEST(Inflate, MatchesZlibForEveryStrategyWithHistoryAcrossBlocks) {
    for (int strategy : {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED}) {
        for (int level : {0, 1, 6, 9}) {
            SCOPED_TRACE(testing::Message() << "strategy " << strategy << " level " << level);
            Inflater inflater;
            const Bytes data = sample(5 * 32768 + 1234, 7u + level);
            Bytes previous;
            for (std::size_t at = 0; at < data.size(); at += 32768) {
                const Bytes block(data.begin() + at,
                                  data.begin() + std::min(data.size(), at + 32768));
                const Bytes packed = deflate_raw(block, previous, level, strategy);
                Bytes out(block.size());
                ASSERT_TRUE(inflater.inflate(packed.data(), packed.size(), out.data(), out.size()))
                    << inflater.error() << " at " << at;
                ASSERT_EQ(out, block) << "at " << at;
                previous = block;
            }
        }
    }
}

// Data that drives the decoder's special cases: byte values drawn from a steep distribution
// (codewords up to 15 bits, past the primary table), runs with every short period (overlapping
// match copies), and block sizes that put a match or literal run right at the block's end.
Bytes skewed_runs(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::geometric_distribution<int> steep(0.35);
    Bytes b;
    while (b.size() < n) {
        if (rng() % 3 == 0) {
            const std::size_t period = 1 + rng() % 17;
            const std::size_t run = 3 + rng() % 300;
            for (std::size_t i = 0; i < period && b.size() < n; ++i)
                b.push_back(static_cast<std::uint8_t>(rng()));
            for (std::size_t i = 0; i < run && b.size() < n; ++i)
                b.push_back(b[b.size() - period]);
        } else {
            for (int i = 0; i < 40 && b.size() < n; ++i)
                b.push_back(static_cast<std::uint8_t>(std::min(steep(rng), 255)));
        }
    }
    return b;
}

TEST(Inflate, LongCodewordsShortPeriodsAndBlockEnds) {
    for (int level : {1, 6, 9}) {
        for (std::size_t block_size : {std::size_t{1}, std::size_t{17}, std::size_t{259},
                                       std::size_t{4099}, std::size_t{32768}}) {
            SCOPED_TRACE(testing::Message() << "level " << level << " block " << block_size);
            const Bytes data = skewed_runs(3 * 32768 + 77, 11u + level);
            Inflater inflater;
            Bytes previous;
            for (std::size_t at = 0; at < data.size(); at += block_size) {
                const Bytes block(data.begin() + at,
                                  data.begin() + std::min(data.size(), at + block_size));
                const Bytes packed = deflate_raw(block, previous, level, Z_DEFAULT_STRATEGY);
                // Exact-size copies, so AddressSanitizer sees a read past the input.
                auto in = std::make_unique<std::uint8_t[]>(packed.size());
                std::copy(packed.begin(), packed.end(), in.get());
                Bytes out(block.size());
                ASSERT_TRUE(inflater.inflate(in.get(), packed.size(), out.data(), out.size()))
                    << inflater.error() << " at " << at;
                ASSERT_EQ(out, block) << "at " << at;
                previous = block;
                if (block_size == 1 && at > 2000)
                    break; // one-byte blocks: a few thousand are enough
            }
        }
    }
}

// A fixed-Huffman deflate writer for streams whose every match is chosen by the test, so
// that each match copy case (periods shorter than a word, word and double-word steps, runs of
// one byte) meets every length near its step boundaries, both well inside the block and in
// its last 258 bytes.
class FixedHuffmanWriter {
  public:
    FixedHuffmanWriter() {
        put(1, 1); // the final block
        put(1, 2); // with the fixed codes
    }
    void literal(std::uint8_t v) {
        if (v < 144)
            code(0x30 + v, 8);
        else
            code(0x190 + v - 144, 9);
    }
    void match(unsigned distance, unsigned length) {
        static const unsigned length_base[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                                 31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
        static const unsigned dist_base[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,
                                               33,  49,  65,  97,  129, 193,  257,  385,  513,  769,
                                               1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
        unsigned i = 28;
        while (length_base[i] > length)
            --i;
        const unsigned symbol = 257 + i;
        if (symbol < 280)
            code(symbol - 256, 7);
        else
            code(0xC0 + symbol - 280, 8);
        put(length - length_base[i], length_extra(i));
        unsigned j = 29;
        while (dist_base[j] > distance)
            --j;
        code(j, 5);
        put(distance - dist_base[j], j < 4 ? 0 : j / 2 - 1);
    }
    Bytes finish() {
        code(0, 7); // end of block
        if (count_ > 0)
            out_.push_back(static_cast<std::uint8_t>(bits_));
        return out_;
    }

  private:
    static unsigned length_extra(unsigned i) { return i < 8 || i == 28 ? 0 : (i - 4) / 4; }
    void put(std::uint32_t value, unsigned n) {
        bits_ |= static_cast<std::uint64_t>(value) << count_;
        count_ += n;
        for (; count_ >= 8; count_ -= 8, bits_ >>= 8)
            out_.push_back(static_cast<std::uint8_t>(bits_));
    }
    void code(std::uint32_t value, unsigned n) { // Huffman codes go most significant bit first
        std::uint32_t reversed = 0;
        for (unsigned k = 0; k < n; ++k)
            reversed |= ((value >> k) & 1) << (n - 1 - k);
        put(reversed, n);
    }
    Bytes out_;
    std::uint64_t bits_ = 0;
    unsigned count_ = 0;
};

TEST(Inflate, EveryShortDistanceWithLengthsAroundTheCopySteps) {
    std::vector<unsigned> lengths;
    for (unsigned l = 3; l <= 70; ++l)
        lengths.push_back(l);
    for (unsigned l = 250; l <= 258; ++l)
        lengths.push_back(l);
    std::mt19937 rng(5);
    for (unsigned distance = 1; distance <= 40; ++distance) {
        SCOPED_TRACE(testing::Message() << "distance " << distance);
        FixedHuffmanWriter writer;
        Bytes expected;
        auto literal = [&](std::uint8_t v) {
            writer.literal(v);
            expected.push_back(v);
        };
        auto match = [&](unsigned length) {
            writer.match(distance, length);
            for (unsigned k = 0; k < length; ++k)
                expected.push_back(expected[expected.size() - distance]);
        };
        for (unsigned k = 0; k < distance + 3; ++k)
            literal(static_cast<std::uint8_t>(rng()));
        for (unsigned length : lengths) {
            match(length);
            literal(static_cast<std::uint8_t>(rng())); // a new byte, so each match copies fresh data
        }
        // The same matches again in the block's last 258 bytes, where every bound is checked.
        for (unsigned length : {3u, 7u, 8u, 9u, 15u, 16u, 17u, 31u, 32u, 33u, 120u})
            match(length);
        const Bytes packed = writer.finish();
        auto in = std::make_unique<std::uint8_t[]>(packed.size());
        std::copy(packed.begin(), packed.end(), in.get());
        Bytes out(expected.size());
        Inflater inflater;
        ASSERT_TRUE(inflater.inflate(in.get(), packed.size(), out.data(), out.size())) << inflater.error();
        ASSERT_EQ(out, expected);
    }
}

TEST(Inflate, WrongSizesAndForeignHistoryFail) {
    const Bytes block = sample(20000, 1);
    const Bytes packed = deflate_raw(block, {}, 6, Z_DEFAULT_STRATEGY);
    Inflater inflater;
    Bytes out(32768);
    EXPECT_FALSE(inflater.inflate(packed.data(), packed.size(), out.data(), block.size() - 1));
    EXPECT_NE(inflater.error().find("more than"), std::string::npos) << inflater.error();
    inflater.reset();
    EXPECT_FALSE(inflater.inflate(packed.data(), packed.size(), out.data(), block.size() + 1));
    EXPECT_NE(inflater.error().find("should hold"), std::string::npos) << inflater.error();

    // A block primed with a dictionary refers to history a fresh inflater does not have.
    const Bytes next = deflate_raw(block, block, 6, Z_DEFAULT_STRATEGY);
    Inflater fresh;
    EXPECT_FALSE(fresh.inflate(next.data(), next.size(), out.data(), block.size()));
    EXPECT_NE(fresh.error().find("history"), std::string::npos) << fresh.error();
}

TEST(Inflate, DamagedStreamsFailInsideTheirBuffers) {
    const Bytes block = sample(32768, 2);
    const Bytes packed = deflate_raw(block, {}, 6, Z_DEFAULT_STRATEGY);
    std::mt19937 rng(99);
    int failures = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        // Exact-size heap copies, so AddressSanitizer sees any access past them.
        Bytes damaged = packed;
        if (trial % 3 == 0)
            damaged.resize(rng() % damaged.size());
        for (int flips = 1 + trial % 4; flips > 0 && !damaged.empty(); --flips)
            damaged[rng() % damaged.size()] ^= static_cast<std::uint8_t>(1u << (rng() % 8));
        auto in = std::make_unique<std::uint8_t[]>(damaged.size() + 1);
        std::copy(damaged.begin(), damaged.end(), in.get());
        auto out = std::make_unique<std::uint8_t[]>(block.size());
        Inflater inflater;
        if (!inflater.inflate(in.get(), damaged.size(), out.get(), block.size())) {
            ++failures;
            EXPECT_FALSE(inflater.error().empty());
        }
    }
    EXPECT_GT(failures, 1500);
}

} // namespace
} // namespace cv::cab
