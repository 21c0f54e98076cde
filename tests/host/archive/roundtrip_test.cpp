// Products packed by the writer come back byte for byte through our reader and through
// cabextract: hundreds of files from 0 bytes to 5 MB, both compressions, one cabinet or a
// set of two to five.

#include "archive/cab_writer.h"
#include "tests/host/archive/archive_test_support.h"
#include "tests/host/archive/sample_blocks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace cv::test {
namespace {

namespace fs = std::filesystem;

Bytes text_like(std::size_t n, std::mt19937& rng) {
    static const char* words[] = {"Corvane ", "setup ",  "cabinet ", "folder ", "\r\n",
                                  "[Files]",  "A0=",     "install ", "DISK1 ",  "%s\\"};
    Bytes b;
    b.reserve(n + 16);
    while (b.size() < n) {
        const char* w = words[rng() % 10];
        b.insert(b.end(), w, w + std::strlen(w));
        if (rng() % 8 == 0)
            b.push_back(static_cast<std::uint8_t>('a' + rng() % 26));
    }
    b.resize(n);
    return b;
}

Bytes random_bytes(std::size_t n, std::mt19937& rng) {
    Bytes b(n);
    for (auto& c : b)
        c = static_cast<std::uint8_t>(rng());
    return b;
}

// 300 files: empty ones, small and medium ones of text or noise, and a few large ones.
std::vector<cab::WriterEntry> make_product() {
    std::mt19937 rng(2024);
    std::vector<cab::WriterEntry> entries;
    for (int i = 0; i < 300; ++i) {
        cab::WriterEntry e;
        e.stored_name = (i % 7 == 0 ? "app\\data\\" : "") + std::string("file") +
                        std::to_string(i) + (i % 2 ? ".txt" : ".bin");
        std::size_t size;
        if (i % 6 == 0)
            size = 0;
        else if (i % 4 == 0)
            size = 5000 + rng() % 95000;
        else
            size = 1 + rng() % 5000;
        if (i == 10)
            size = 5 * 1024 * 1024;
        if (i == 150)
            size = 2 * 1024 * 1024 + 17;
        e.bytes = (i % 3 == 0 || i == 150) ? random_bytes(size, rng) : text_like(size, rng);
        e.date = static_cast<std::uint16_t>(((2024 - 1980) << 9) | (5 << 5) | (i % 28 + 1));
        e.time = static_cast<std::uint16_t>((12 << 11) | (i % 60) << 5);
        e.attributes = 0x20;
        entries.push_back(std::move(e));
    }
    return entries;
}

std::map<std::string, Bytes> by_name(const std::vector<cab::WriterEntry>& entries) {
    std::map<std::string, Bytes> m;
    for (const auto& e : entries) {
        std::string n = e.stored_name;
        std::replace(n.begin(), n.end(), '\\', '/');
        m[n] = e.bytes;
    }
    return m;
}

std::uint64_t total_size(const std::vector<std::string>& paths) {
    std::uint64_t n = 0;
    for (const auto& p : paths)
        n += fs::file_size(p);
    return n;
}

void check_round_trip(const std::vector<cab::WriterEntry>& entries, cab::WriterOptions options,
                      int parts, std::size_t min_cabs, std::size_t max_cabs) {
    const auto dir = make_temp_folder("roundtrip");
    std::vector<std::string> paths;
    if (parts > 1) {
        // Size the cabinets from the size of the whole product in one.
        auto r = cab::write_cabinets(entries, dir.string(), options, &paths);
        ASSERT_TRUE(r.ok()) << r.message;
        options.max_cabinet_size = total_size(paths) / parts + 4096;
        for (const auto& p : paths)
            fs::remove(p);
    }
    const auto r = cab::write_cabinets(entries, dir.string(), options, &paths);
    ASSERT_TRUE(r.ok()) << r.message;
    ASSERT_GE(paths.size(), min_cabs);
    ASSERT_LE(paths.size(), max_cabs);
    for (const auto& p : paths) {
        if (options.max_cabinet_size) {
            EXPECT_LE(fs::file_size(p), options.max_cabinet_size) << p;
        }
    }

    const auto want = by_name(entries);
    MemoryHandler ours;
    const auto read = extract_file_set(paths.front(), ours);
    ASSERT_TRUE(read.ok()) << read.message;
    EXPECT_EQ(ours.files.size(), want.size());
    EXPECT_TRUE(ours.files == want) << "our reader gives other bytes";

    if (have_cabextract()) {
        std::map<std::string, Bytes> theirs;
        EXPECT_TRUE(cabextract(paths.front(), dir / "ref", theirs));
        EXPECT_EQ(theirs.size(), want.size());
        EXPECT_TRUE(theirs == want) << "cabextract gives other bytes";
    }
    fs::remove_all(dir);
}

class RoundTrip : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { product_ = new std::vector<cab::WriterEntry>(make_product()); }
    static void TearDownTestSuite() { delete product_; }
    static std::vector<cab::WriterEntry>* product_;
};
std::vector<cab::WriterEntry>* RoundTrip::product_ = nullptr;

TEST_F(RoundTrip, MszipSpanningFourOrFiveCabinets) {
    cab::WriterOptions options;
    options.level = 1;
    options.set_id = 4242;
    check_round_trip(*product_, options, 4, 4, 5);
}

TEST_F(RoundTrip, UncompressedSpanningTwoOrThreeCabinets) {
    const std::vector<cab::WriterEntry> part(product_->begin() + 100, product_->end());
    cab::WriterOptions options;
    options.compression = cab::Compression::none;
    check_round_trip(part, options, 2, 2, 3);
}

TEST_F(RoundTrip, OneMszipCabinetWithAllReserves) {
    const std::vector<cab::WriterEntry> part(product_->begin() + 11, product_->begin() + 200);
    cab::WriterOptions options;
    options.header_reserve = 20;
    options.folder_reserve = 5;
    options.data_reserve = 7;
    check_round_trip(part, options, 1, 1, 1);
}

TEST_F(RoundTrip, EmptyFilesOnly) {
    std::vector<cab::WriterEntry> empties(3);
    for (std::size_t i = 0; i < empties.size(); ++i)
        empties[i].stored_name = "empty" + std::to_string(i);
    check_round_trip(empties, {}, 1, 1, 1);
}

TEST(Writer, RefusesWhatACabinetCannotHold) {
    const auto dir = make_temp_folder("writer");
    std::vector<cab::WriterEntry> entries(1);
    entries[0].stored_name = std::string(256, 'n');
    EXPECT_EQ(cab::write_cabinets(entries, dir.string(), {}).status, cab::Status::aborted);
    entries[0].stored_name = "x";
    entries[0].source_path = (dir / "missing.bin").string();
    const auto missing = cab::write_cabinets(entries, dir.string(), {});
    EXPECT_NE(missing.message.find("missing.bin"), std::string::npos) << missing.message;
    entries[0].source_path.clear();
    cab::WriterOptions tiny;
    tiny.max_cabinet_size = 1000;
    EXPECT_NE(cab::write_cabinets(entries, dir.string(), tiny).message.find("too small"),
              std::string::npos);
    EXPECT_FALSE(cab::write_cabinets({}, dir.string(), {}).ok());
    fs::remove_all(dir);
}

} // namespace
} // namespace cv::test
