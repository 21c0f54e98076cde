// CDoubleBuffering: the chunk contract across half and buffer boundaries, and its checks.

#include "crypto/double_buffering.h"
#include "tests/host/crypto/test_support.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

namespace cv::test {
namespace {

std::istringstream StreamOf(const Bytes& data) {
    return std::istringstream(std::string(data.begin(), data.end()));
}

// Reads the whole stream in chunks of `chunk` and checks every length the contract allows.
void ExpectChunks(std::size_t total, int size, int chunk) {
    const Bytes data = Pattern(total, static_cast<unsigned>(size + chunk));
    auto stream = StreamOf(data);
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(size));
    CDoubleBuffering reader(stream, buffer.data(), size, chunk);
    Bytes joined;
    std::vector<std::uint8_t> out(static_cast<std::size_t>(chunk));
    const std::string what = "total " + std::to_string(total) + " buffer " + std::to_string(size) +
                             " chunk " + std::to_string(chunk);
    for (;;) {
        const int n = reader.GetData(out.data());
        const std::size_t left = total - joined.size();
        const std::size_t expected = left < static_cast<std::size_t>(chunk) ? left : chunk;
        ASSERT_EQ(static_cast<std::size_t>(n), expected) << what << " at " << joined.size();
        if (n < chunk) {
            joined.insert(joined.end(), out.begin(), out.begin() + n);
            break;
        }
        joined.insert(joined.end(), out.begin(), out.end());
    }
    EXPECT_EQ(joined, data) << what;
    EXPECT_EQ(reader.GetData(out.data()), 0) << what << ": after the end";
    EXPECT_EQ(reader.GetData(out.data(), 1), 0) << what << ": after the end";
}

TEST(DoubleBuffering, ChunksCoverTheStreamExactly) {
    // The file reader's own geometry, with sizes around every half and chunk boundary.
    for (std::size_t total :
         {0u, 1u, 383u, 384u, 385u, 511u, 512u, 513u, 768u, 1023u, 1024u, 1025u, 1536u, 4000u}) {
        ExpectChunks(total, 1024, 384);
    }
    // Chunks equal to a half, and chunks that do not divide the buffer.
    for (std::size_t total = 0; total < 70; ++total) {
        ExpectChunks(total, 16, 8);
        ExpectChunks(total, 16, 3);
        ExpectChunks(total, 10, 1);
    }
}

TEST(DoubleBuffering, MixedChunkLengths) {
    const Bytes data = Pattern(100);
    auto stream = StreamOf(data);
    std::uint8_t buffer[20];
    CDoubleBuffering reader(stream, buffer, 20, 4);
    Bytes joined;
    std::uint8_t out[10];
    // 98 bytes in pieces of every size, then a request for 10 that finds the last 2.
    int lengths[] = {10, 1, -1, 7, 10, 3, 9, -1, 10, 10, 10, 10, 10, 10};
    std::vector<int> got;
    for (int length : lengths) {
        int n = reader.GetData(out, length);
        got.push_back(n);
        joined.insert(joined.end(), out, out + n);
    }
    EXPECT_EQ(got, (std::vector<int>{10, 1, 4, 7, 10, 3, 9, 4, 10, 10, 10, 10, 10, 2}));
    EXPECT_EQ(joined, data);
}

TEST(DoubleBuffering, ConstructionChecksInOrder) {
    std::uint8_t buffer[16];
    std::istringstream good("data");
    std::istringstream failed("data");
    failed.setstate(std::ios::failbit);
    auto message = [](auto make) {
        try {
            make();
        } catch (const std::runtime_error& e) {
            return std::string(e.what());
        }
        return std::string("no exception");
    };
    const std::string odd = "CDoubleBuffering: m_iSize should be Even Number!";
    const std::string bad = "CDoubleBuffering: Referenced File not Opened or in Bad State!";
    const std::string illegal = "CDoubleBuffering: Illegal Construction Data!";
    EXPECT_EQ(message([&] { CDoubleBuffering(failed, buffer, 15, 0); }), odd);
    EXPECT_EQ(message([&] { CDoubleBuffering(failed, buffer, 16, 0); }), bad);
    EXPECT_EQ(message([&] { CDoubleBuffering(good, buffer, 16, 0); }), illegal);
    EXPECT_EQ(message([&] { CDoubleBuffering(good, buffer, 16, 9); }), illegal);
    EXPECT_EQ(message([&] { CDoubleBuffering(good, buffer, -4, 1); }), illegal);
    std::ifstream missing("/nonexistent/cv/double-buffering");
    EXPECT_EQ(message([&] { CDoubleBuffering(missing, buffer, 16, 8); }), bad);
}

TEST(DoubleBuffering, GetDataRefusesLengthsOutsideAHalf) {
    std::uint8_t buffer[16];
    std::uint8_t out[16];
    std::istringstream stream("0123456789");
    CDoubleBuffering reader(stream, buffer, 16, 4);
    for (int length : {9, 0, -2}) {
        try {
            reader.GetData(out, length);
            FAIL() << "length " << length << " accepted";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "CDoubleBuffering::GetData(): Illegal iDataLen!");
        }
    }
    EXPECT_EQ(reader.GetData(out, 8), 8); // the refused calls consumed nothing
}

} // namespace
} // namespace cv::test
