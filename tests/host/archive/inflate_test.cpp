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
