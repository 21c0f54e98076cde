#include "archive/quantum.h"

#include "tests/host/archive/archive_test_support.h"
#include "tests/host/archive/quantum_test_encoder.h"
#include "tests/host/archive/sample_blocks.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>

namespace {

using cv::cab::make_quantum_decoder;
namespace fs = std::filesystem;

const std::string kCabs = std::string(CV_SHARED_DIR) + "/testdata/cabs/";

struct Decoded {
    bool ok = false;
    std::vector<std::uint8_t> bytes;
    std::string error;
};

Decoded decode_blocks(int window_bits, const std::vector<cv::test::SampleBlock>& blocks) {
    Decoded d;
    auto dec = make_quantum_decoder(window_bits);
    if (!dec) {
        d.error = "no decoder";
        return d;
    }
    for (const auto& b : blocks) {
        std::vector<std::uint8_t> out(b.uncompressed);
        if (!dec->decode(b.payload.data(), b.payload.size(), out.data(), out.size())) {
            d.error = dec->error();
            return d;
        }
        d.bytes.insert(d.bytes.end(), out.begin(), out.end());
    }
    d.ok = true;
    return d;
}

std::vector<cv::test::SampleBlock> as_blocks(const std::vector<std::vector<std::uint8_t>>& payloads,
                                             std::size_t total) {
    std::vector<cv::test::SampleBlock> blocks;
    for (std::size_t i = 0; i < payloads.size(); ++i)
        blocks.push_back({payloads[i], std::min<std::size_t>(32768, total - i * 32768)});
    return blocks;
}

class TempDir {
  public:
    TempDir() {
        path_ = fs::temp_directory_path() /
                ("quantum_test_" + std::to_string(std::random_device{}()));
        fs::create_directories(path_);
    }
    ~TempDir() { fs::remove_all(path_); }
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

// What cabextract, the independent reader, extracts as `name` from `cab`.
std::vector<std::uint8_t> cabextract(const fs::path& cab, const std::string& name,
                                     const TempDir& dir) {
    const fs::path out = dir.path() / "x";
    const std::string cmd =
        "cabextract -q -d '" + out.string() + "' '" + cab.string() + "' >/dev/null 2>&1";
    if (std::system(cmd.c_str()) != 0)
        return {};
    return cv::test::read_whole_file((out / name).string());
}

// Text with repeats near and far, runs, and (with `noise`) stretches of random bytes:
// exercises every selector, short and long matches, model scaling and re-sorting, and the
// window wrapping.
std::vector<std::uint8_t> mixed_data(std::size_t size, unsigned seed, bool noise = true) {
    static const char* words[] = {"cabinet ", "folder ", "quantum ", "frame ", "window ",
                                  "setup ",   "the ",    "of ",      "\r\n",    "data "};
    std::mt19937 rng(seed);
    std::vector<std::uint8_t> d;
    while (d.size() < size) {
        const unsigned kind = rng() % 10;
        if (kind < 6) {
            const char* w = words[rng() % 10];
            d.insert(d.end(), w, w + std::strlen(w));
        } else if (kind < 7) {
            d.insert(d.end(), 20 + rng() % 300, static_cast<std::uint8_t>(rng()));
        } else if (kind < 9 && noise) {
            for (unsigned n = 10 + rng() % 200; n > 0; --n)
                d.push_back(static_cast<std::uint8_t>(rng()));
        } else if (d.size() > 300) {
            const std::size_t from = rng() % (d.size() - 260);
            for (std::size_t n = 0, len = 3 + rng() % 256; n < len; ++n)
                d.push_back(d[from + n]);
        }
    }
    d.resize(size);
    return d;
}

TEST(QuantumDecoder, AcceptsOnlyWindowsOf10To21Bits) {
    for (int bits : {-1, 0, 9, 22, 31})
        EXPECT_EQ(make_quantum_decoder(bits), nullptr) << bits;
    for (int bits = 10; bits <= 21; ++bits)
        EXPECT_NE(make_quantum_decoder(bits), nullptr) << bits;
}

TEST(QuantumDecoder, SampleCabinetMatchesCabextract) {
    const std::string path = kCabs + "mszip_lzx_qtm.cab";
    const auto cab = cv::test::read_sample_cabinet(path);
    int folder = -1;
    for (std::size_t i = 0; i < cab.folders.size(); ++i)
        if (cab.folders[i].type == 2)
            folder = static_cast<int>(i);
    ASSERT_GE(folder, 0);
    const auto& f = cab.folders[folder];
    const Decoded d = decode_blocks(f.window_bits, f.blocks);
    ASSERT_TRUE(d.ok) << d.error;

    TempDir dir;
    int files = 0;
    for (const auto& file : cab.files) {
        if (file.folder != folder)
            continue;
        ++files;
        ASSERT_LE(std::size_t{file.offset} + file.size, d.bytes.size());
        const std::vector<std::uint8_t> ours(d.bytes.begin() + file.offset,
                                             d.bytes.begin() + file.offset + file.size);
        const auto theirs = cabextract(path, file.name, dir);
        ASSERT_FALSE(theirs.empty()) << "cabextract gave nothing for " << file.name;
        EXPECT_EQ(ours, theirs) << file.name;
    }
    EXPECT_EQ(files, 1);
}

// Cabinets from the test encoder, read by cabextract and by our decoder: both must give the
// input back, for the smallest, a middle and the largest window.
TEST(QuantumDecoder, GeneratedCabinetsMatchCabextract) {
    TempDir dir;
    for (int bits : {10, 15, 21}) {
        const auto data = mixed_data(200000 + bits * 1000, static_cast<unsigned>(bits));
        const fs::path cab = dir.path() / ("w" + std::to_string(bits) + ".cab");
        {
            const auto bytes = cv::test::write_quantum_cabinet(data, bits, "data.bin");
            std::ofstream(cab, std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<std::streamsize>(bytes.size()));
        }
        const auto theirs = cabextract(cab, "data.bin", dir);
        ASSERT_EQ(theirs, data) << "cabextract disagrees with the test encoder, window " << bits;

        const auto sample = cv::test::read_sample_cabinet(cab.string());
        ASSERT_EQ(sample.folders.size(), 1u);
        const auto start = std::chrono::steady_clock::now();
        const Decoded d = decode_blocks(bits, sample.folders[0].blocks);
        const double ms = std::chrono::duration<double, std::milli>(
                              std::chrono::steady_clock::now() - start)
                              .count();
        ASSERT_TRUE(d.ok) << "window " << bits << ": " << d.error;
        EXPECT_EQ(d.bytes, data) << "window " << bits;
        std::cout << "window 2^" << bits << ": " << data.size() << " bytes in " << ms
                  << " ms (" << data.size() / 1048.576 / ms << " MB/s)\n";
    }
}

TEST(QuantumDecoder, MatchAtWindowDistanceAndAcrossBlocks) {
    // A 1 KB window: a match exactly one window back is the oldest byte still held; a
    // match in the second block reaches into the first.
    cv::test::QuantumTestWriter w(10);
    std::vector<std::uint8_t> expect;
    for (int i = 0; i < 32768 - 10; ++i) {
        w.literal(static_cast<std::uint8_t>(i * 7 + i / 256));
        expect.push_back(static_cast<std::uint8_t>(i * 7 + i / 256));
    }
    w.match(10, 1024);
    for (int i = 0; i < 10; ++i)
        expect.push_back(expect[expect.size() - 1024]);
    const auto first = w.end_frame(4);
    w.match(5, 1000);
    for (int i = 0; i < 5; ++i)
        expect.push_back(expect[expect.size() - 1000]);
    const auto second = w.end_frame();

    const Decoded d = decode_blocks(10, as_blocks({first, second}, expect.size()));
    ASSERT_TRUE(d.ok) << d.error;
    EXPECT_EQ(d.bytes, expect);
}

TEST(QuantumDecoder, RefusesBadMatches) {
    std::vector<std::uint8_t> out(32768);
    {
        cv::test::QuantumTestWriter w(15);
        w.match(3, 1); // nothing decoded yet
        const auto block = w.end_frame();
        auto dec = make_quantum_decoder(15);
        EXPECT_FALSE(dec->decode(block.data(), block.size(), out.data(), 3));
        EXPECT_NE(dec->error().find("reaches 1 bytes back, but only 0"), std::string::npos)
            << dec->error();
    }
    // A match may not cross the end of its frame, whether the block is full or a last
    // block cut short (cabextract refuses the first as well).
    for (const std::size_t block_size : {std::size_t{32768}, std::size_t{32767}}) {
        cv::test::QuantumTestWriter w(15);
        for (int i = 0; i < 32760; ++i)
            w.literal(static_cast<std::uint8_t>(i));
        w.match(20, 2); // 32780 bytes in a frame of 32768
        const auto block = w.end_frame();
        auto dec = make_quantum_decoder(15);
        EXPECT_FALSE(dec->decode(block.data(), block.size(), out.data(), block_size));
        EXPECT_NE(dec->error().find("runs past the end of the frame (8 bytes left)"),
                  std::string::npos)
            << dec->error();
        // The folder is unusable after an error, and says why.
        for (int again = 0; again < 2; ++again) {
            EXPECT_FALSE(dec->decode(block.data(), block.size(), out.data(), block_size));
            EXPECT_EQ(dec->error(), "Quantum folder cannot be decoded further after an earlier"
                                    " error (Quantum match of 20 bytes runs past the end of the"
                                    " frame (8 bytes left))");
        }
    }
}

// A folder's last block may end inside its final match; the block keeps what it holds. With
// a window smaller than the frame, that match also runs over the window's end.
TEST(QuantumDecoder, LastBlockMayEndInsideItsFinalMatch) {
    cv::test::QuantumTestWriter w(10);
    std::vector<std::uint8_t> expect;
    for (int i = 0; i < 32768; ++i)
        expect.push_back(static_cast<std::uint8_t>(i * 7 + i / 256));
    for (const auto b : expect)
        w.literal(b);
    const auto first = w.end_frame(4);
    for (int i = 0; i < 1020; ++i) {
        expect.push_back(static_cast<std::uint8_t>(i * 5 + 1));
        w.literal(expect.back());
    }
    w.match(100, 1000); // from window position 1020 on: wraps at 1024, cut at 1050
    for (int i = 0; i < 30; ++i)
        expect.push_back(expect[expect.size() - 1000]);
    const auto last = w.end_frame();

    const Decoded d = decode_blocks(10, as_blocks({first, last}, expect.size()));
    ASSERT_TRUE(d.ok) << d.error;
    EXPECT_EQ(d.bytes, expect);

    TempDir dir;
    const fs::path cab = dir.path() / "cut.cab";
    const auto bytes = cv::test::write_one_folder_cabinet({first, last}, 2u | 10u << 8,
                                                          expect.size(), "data.bin");
    std::ofstream(cab, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    EXPECT_EQ(cabextract(cab, "data.bin", dir), expect);
}

// Folders of small windows whose last frame codes more than the folder holds, cut at many
// points (inside long matches, some across the window's end): our decoder gives the data up
// to the cut. cabextract agrees, except that it gives up where the final match wraps the
// window only after the data's end (it cannot flush there); it never gives other data.
TEST(QuantumDecoder, FoldersEndingInsideTheirLastFrameMatchCabextract) {
    TempDir dir;
    int compared = 0, cabextract_gave_up = 0;
    for (int bits : {10, 11, 12}) {
        const auto data = mixed_data(2 * 32768 + 3000, static_cast<unsigned>(bits), false);
        for (std::size_t kept = 2 * 32768 + 1; kept <= data.size(); kept += 89) {
            const std::vector<std::uint8_t> expect(data.begin(), data.begin() + kept);
            const fs::path cab = dir.path() / "early.cab";
            const auto bytes =
                cv::test::write_quantum_cabinet_ending_early(data, kept, bits, "data.bin");
            std::ofstream(cab, std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<std::streamsize>(bytes.size()));
            const auto sample = cv::test::read_sample_cabinet(cab.string());
            const Decoded d = decode_blocks(bits, sample.folders.at(0).blocks);
            ASSERT_TRUE(d.ok) << "window " << bits << ", cut at " << kept << ": " << d.error;
            ASSERT_EQ(d.bytes, expect) << "window " << bits << ", cut at " << kept;
            fs::remove_all(dir.path() / "x");
            const auto theirs = cabextract(cab, "data.bin", dir);
            if (theirs.empty()) {
                ++cabextract_gave_up;
                continue;
            }
            ++compared;
            ASSERT_EQ(theirs, expect) << "cabextract, window " << bits << ", cut at " << kept;
        }
    }
    std::cout << compared << " cuts compared with cabextract, " << cabextract_gave_up
              << " where it gave up\n";
    EXPECT_GT(compared, 90);
}

// The final match wraps the window after the data's end: the block is complete before the
// wrap, so nothing needs flushing (cabextract refuses this one).
TEST(QuantumDecoder, FinalMatchMayWrapTheWindowAfterTheData) {
    cv::test::QuantumTestWriter w(10);
    std::vector<std::uint8_t> expect;
    for (int i = 0; i < 1000; ++i) {
        expect.push_back(static_cast<std::uint8_t>(i * 5 + 1));
        w.literal(expect.back());
    }
    w.match(100, 900); // window positions 1000 to 1099, cut at 1010
    for (int i = 0; i < 10; ++i)
        expect.push_back(expect[expect.size() - 900]);
    const Decoded d = decode_blocks(10, as_blocks({w.end_frame()}, expect.size()));
    ASSERT_TRUE(d.ok) << d.error;
    EXPECT_EQ(d.bytes, expect);
}

TEST(QuantumDecoder, RefusesBlockAfterShortBlock) {
    const auto data = mixed_data(1000, 7);
    const auto blocks = cv::test::quantum_encode(data, 16);
    ASSERT_EQ(blocks.size(), 1u);
    auto dec = make_quantum_decoder(16);
    std::vector<std::uint8_t> out(1000);
    ASSERT_TRUE(dec->decode(blocks[0].data(), blocks[0].size(), out.data(), out.size()))
        << dec->error();
    EXPECT_EQ(out, data);
    EXPECT_FALSE(dec->decode(blocks[0].data(), blocks[0].size(), out.data(), out.size()));
    EXPECT_NE(dec->error().find("ended inside a frame"), std::string::npos) << dec->error();
}

TEST(QuantumDecoder, RefusesBadBlockSizes) {
    auto dec = make_quantum_decoder(15);
    std::vector<std::uint8_t> in(16), out(32769);
    EXPECT_FALSE(dec->decode(in.data(), in.size(), out.data(), 0));
    EXPECT_FALSE(make_quantum_decoder(15)->decode(in.data(), in.size(), out.data(), 32769));
    EXPECT_FALSE(make_quantum_decoder(15)->decode(nullptr, 5, out.data(), 10));
}

// Every cut of a full frame that loses coded bytes (not just the flush padding and trailer)
// fails with a message; none reads outside the block (the sanitizers watch that).
TEST(QuantumDecoder, EveryTruncationFailsCleanly) {
    const auto data = mixed_data(32768, 3, false); // compressible, so the block stays small
    const auto block = cv::test::quantum_encode(data, 15, 2).at(0);
    std::vector<std::uint8_t> out(32768);
    for (std::size_t len = 0; len + 5 < block.size(); ++len) {
        // A copy of exactly `len` bytes, so any read past it is caught.
        const std::vector<std::uint8_t> cut(block.begin(), block.begin() + len);
        auto dec = make_quantum_decoder(15);
        ASSERT_FALSE(dec->decode(cut.data(), cut.size(), out.data(), out.size())) << len;
        ASSERT_NE(dec->error().find("Quantum"), std::string::npos) << dec->error();
    }
    auto dec = make_quantum_decoder(15);
    ASSERT_TRUE(dec->decode(block.data(), block.size(), out.data(), out.size())) << dec->error();
    EXPECT_EQ(out, data);
}

TEST(QuantumDecoder, RandomInputNeverCrashesOrHangs) {
    std::mt19937 rng(12345);
    const auto start = std::chrono::steady_clock::now();
    int failures = 0, runs = 0;
    for (int bits : {10, 13, 17, 21}) {
        auto dec = make_quantum_decoder(bits); // one folder: state carries on until an error
        for (int i = 0; i < 150; ++i, ++runs) {
            std::vector<std::uint8_t> in(rng() % 4000), out(1 + rng() % 32768);
            for (auto& b : in)
                b = static_cast<std::uint8_t>(rng());
            if (i % 10 == 0)
                dec = make_quantum_decoder(bits);
            if (!dec->decode(in.data(), in.size(), out.data(), i % 2 ? 32768 : out.size())) {
                ++failures;
                EXPECT_FALSE(dec->error().empty());
            }
        }
    }
    EXPECT_GT(failures, runs / 2);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
}

TEST(QuantumDecoder, KnownHostileCabinetsFailFast) {
    for (const char* name :
         {"cve-2014-9556-qtm-infinite-loop.cab", "cve-2018-18584-qtm-max-size-block.cab"}) {
        const auto cab = cv::test::read_sample_cabinet(kCabs + name);
        ASSERT_EQ(cab.folders.size(), 1u) << name;
        const auto& f = cab.folders[0];
        ASSERT_EQ(f.type, 2) << name;
        const auto start = std::chrono::steady_clock::now();
        const Decoded d = decode_blocks(f.window_bits, f.blocks);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << name;
        EXPECT_FALSE(d.ok) << name;
        EXPECT_NE(d.error.find("Quantum"), std::string::npos) << name << ": " << d.error;
        std::cout << name << ": " << d.error << "\n";
    }
}

} // namespace
