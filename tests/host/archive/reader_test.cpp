// The reader on cabinets made by the writer and then damaged on purpose: continuation
// checks, checksums, block bounds, missing parts, files out of order.

#include "archive/cab_writer.h"
#include "tests/host/archive/archive_test_support.h"
#include "tests/host/archive/sample_blocks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>

namespace cv::test {
namespace {

using cab::Status;
namespace fs = std::filesystem;

Bytes random_bytes(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    Bytes b(n);
    for (auto& c : b)
        c = static_cast<std::uint8_t>(rng());
    return b;
}

cab::WriterEntry entry(std::string name, Bytes bytes) {
    cab::WriterEntry e;
    e.stored_name = std::move(name);
    e.bytes = std::move(bytes);
    return e;
}

// Writes `entries` and loads the cabinets into memory under their file names.
std::vector<Bytes> write_set(const std::vector<cab::WriterEntry>& entries,
                             const cab::WriterOptions& options) {
    const auto dir = make_temp_folder("reader");
    std::vector<std::string> paths;
    const auto r = cab::write_cabinets(entries, dir.string(), options, &paths);
    EXPECT_TRUE(r.ok()) << r.message;
    std::vector<Bytes> cabs;
    for (const auto& p : paths)
        cabs.push_back(read_whole_file(p));
    fs::remove_all(dir);
    return cabs;
}

cab::MemoryIo io_of(const std::vector<Bytes>& cabs) {
    cab::MemoryIo io;
    for (std::size_t i = 0; i < cabs.size(); ++i)
        io.add("file" + std::to_string(i + 1) + ".cab", cabs[i]);
    return io;
}

void put16(Bytes& b, std::size_t at, unsigned v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
std::uint32_t get32(const Bytes& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
// Offset of the first data block of the first folder (header without reserve or strings).
std::size_t first_block(const Bytes& cab) { return get32(cab, 36); }

class SpanningSet : public ::testing::Test {
  protected:
    void SetUp() override {
        entries_ = {entry("a.bin", random_bytes(150000, 1)), entry("b.txt", Bytes(5000, 'b')),
                    entry("c.bin", random_bytes(120000, 2))};
        cab::WriterOptions options;
        options.compression = cab::Compression::none;
        options.max_cabinet_size = 100000;
        options.set_id = 77;
        cabs_ = write_set(entries_, options);
    }
    std::vector<cab::WriterEntry> entries_;
    std::vector<Bytes> cabs_;
};

TEST_F(SpanningSet, ExtractsAcrossCabinetsWithOneCopyPerFile) {
    ASSERT_EQ(cabs_.size(), 3u);
    auto io = io_of(cabs_);
    MemoryHandler h;
    const auto r = cab::extract(io, "file1.cab", h);
    ASSERT_TRUE(r.ok()) << r.message;
    for (const auto& e : entries_)
        EXPECT_EQ(h.files[e.stored_name], e.bytes) << e.stored_name;
    EXPECT_EQ(std::count(h.events.begin(), h.events.end(), "copy a.bin"), 1);
    EXPECT_EQ(std::count(h.events.begin(), h.events.end(), "copy c.bin"), 1);
    // a.bin goes on in file2.cab, c.bin in file3.cab: there they are partial files.
    EXPECT_EQ(std::count(h.events.begin(), h.events.end(), "partial a.bin"), 1);
    EXPECT_EQ(std::count(h.events.begin(), h.events.end(), "partial c.bin"), 1);
    EXPECT_EQ(h.events.front(), "info file1.cab");
}

TEST_F(SpanningSet, ContinuationMustMatchSetIndexAndReserves) {
    struct Damage {
        const char* what;
        std::size_t at;
        unsigned value;
    };
    for (const Damage d : {Damage{"set identifier", 32, 78}, Damage{"index in the set", 34, 2}}) {
        auto cabs = cabs_;
        put16(cabs[1], d.at, d.value);
        auto io = io_of(cabs);
        MemoryHandler h;
        const auto r = cab::extract(io, "file1.cab", h);
        EXPECT_EQ(r.status, Status::corrupt) << d.what;
        EXPECT_NE(r.message.find(d.what), std::string::npos) << r.message;
    }
    // A reserve area in the second cabinet only.
    std::vector<cab::WriterEntry> entries = entries_;
    cab::WriterOptions reserved;
    reserved.compression = cab::Compression::none;
    reserved.max_cabinet_size = 100000;
    reserved.set_id = 77;
    reserved.data_reserve = 4;
    auto other = write_set(entries, reserved);
    auto mixed = cabs_;
    mixed[1] = other[1];
    auto io = io_of(mixed);
    MemoryHandler h;
    const auto r = cab::extract(io, "file1.cab", h);
    EXPECT_EQ(r.status, Status::corrupt);
    EXPECT_NE(r.message.find("reserve sizes"), std::string::npos) << r.message;
}

TEST_F(SpanningSet, MissingCabinetIsAskedForAgain) {
    cab::MemoryIo io;
    io.add("file1.cab", cabs_[0]);
    io.add("file3.cab", cabs_[2]);
    MemoryHandler h;
    int asked = 0;
    h.on_missing = [&](const cab::MissingCabinet& m) {
        EXPECT_EQ(m.cabinet_name, "file2.cab");
        EXPECT_EQ(m.disk_name, "Disk2");
        if (++asked == 2)
            io.add("file2.cab", cabs_[1]); // the disk is in now
        return true;
    };
    const auto r = cab::extract(io, "file1.cab", h);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(h.files["c.bin"], entries_[2].bytes);

    cab::MemoryIo short_io;
    short_io.add("file1.cab", cabs_[0]);
    MemoryHandler gives_up;
    const auto missing = cab::extract(short_io, "file1.cab", gives_up);
    EXPECT_EQ(missing.status, Status::missing_cabinet);
    EXPECT_NE(missing.message.find("Disk2"), std::string::npos) << missing.message;
}

TEST_F(SpanningSet, StartingInTheMiddleSkipsTheContinuedFolder) {
    auto io = io_of(cabs_);
    MemoryHandler h;
    const auto r = cab::extract(io, "file2.cab", h);
    ASSERT_TRUE(r.ok()) << r.message;
    // a.bin began in file1.cab; the files after it start a folder of their own.
    EXPECT_EQ(h.files.count("a.bin"), 0u);
    EXPECT_EQ(std::count(h.events.begin(), h.events.end(), "partial a.bin"), 1);
    EXPECT_EQ(h.files["b.txt"], entries_[1].bytes);
    EXPECT_EQ(h.files["c.bin"], entries_[2].bytes);
}

class OneCabinet : public ::testing::Test {
  protected:
    Bytes make(cab::Compression c) {
        cab::WriterOptions options;
        options.compression = c;
        return write_set({entry("x", random_bytes(40000, 3)), entry("y", Bytes(300, 'y'))},
                         options)[0];
    }
    cab::Result run(const Bytes& cab, MemoryHandler& h) {
        cab::MemoryIo io;
        io.add("t.cab", cab);
        return cab::extract(io, "t.cab", h);
    }
};

TEST_F(OneCabinet, ChecksumMismatchIsCorruptAndZeroIsNotChecked) {
    Bytes cab = make(cab::Compression::none);
    const std::size_t data = first_block(cab) + 8;
    cab[data + 5] ^= 1;
    MemoryHandler h;
    auto r = run(cab, h);
    EXPECT_EQ(r.status, Status::corrupt);
    EXPECT_NE(r.message.find("checksum"), std::string::npos) << r.message;
    for (int i = 0; i < 4; ++i)
        cab[first_block(cab) + i] = 0;
    MemoryHandler unchecked;
    r = run(cab, unchecked);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(unchecked.files["x"].at(5), random_bytes(40000, 3)[5] ^ 1);
}

TEST_F(OneCabinet, BlockBoundsAndMszipMarkerAreChecked) {
    const Bytes good = make(cab::Compression::mszip);
    const std::size_t block = first_block(good);
    Bytes big = good;
    put16(big, block + 6, 40000);
    for (int i = 0; i < 4; ++i)
        big[block + i] = 0;
    MemoryHandler h1;
    auto r = run(big, h1);
    EXPECT_EQ(r.status, Status::corrupt);
    EXPECT_NE(r.message.find("at most 32768"), std::string::npos) << r.message;

    Bytes no_ck = good;
    no_ck[block + 8] = 'X';
    for (int i = 0; i < 4; ++i)
        no_ck[block + i] = 0;
    MemoryHandler h2;
    r = run(no_ck, h2);
    EXPECT_EQ(r.status, Status::corrupt);
    EXPECT_NE(r.message.find("\"CK\""), std::string::npos) << r.message;

    Bytes cut(good.begin(), good.end() - 10);
    MemoryHandler h3;
    r = run(cut, h3);
    EXPECT_EQ(r.status, Status::corrupt);
    EXPECT_NE(r.message.find("truncated"), std::string::npos) << r.message;
}

TEST_F(OneCabinet, FilesListedOutOfOrderAreDecodedAgainFromTheStart) {
    for (auto c : {cab::Compression::none, cab::Compression::mszip}) {
        Bytes cab = make(c);
        // Both records are 16 bytes plus a one-letter name: swap them.
        const std::size_t files = get32(cab, 16);
        std::swap_ranges(cab.begin() + files, cab.begin() + files + 18, cab.begin() + files + 18);
        MemoryHandler h;
        const auto r = run(cab, h);
        ASSERT_TRUE(r.ok()) << r.message;
        EXPECT_EQ(h.files["x"], random_bytes(40000, 3));
        EXPECT_EQ(h.files["y"], Bytes(300, 'y'));
        EXPECT_EQ(h.events[2], "copy y");
    }
}

TEST(ReaderNames, NextCabinetOutsideTheFolderIsRefused) {
    const auto dir = make_temp_folder("names");
    fs::create_directories(dir / "sub");
    cab::WriterOptions options;
    options.compression = cab::Compression::none;
    options.max_cabinet_size = 70000;
    options.cabinet_name = [](unsigned n) {
        return n == 1 ? std::string("file1.cab") : "sub/file" + std::to_string(n) + ".cab";
    };
    std::vector<std::string> paths;
    ASSERT_TRUE(cab::write_cabinets({entry("big", random_bytes(100000, 4))}, dir.string(),
                                    options, &paths)
                    .ok());
    cab::FileIo io;
    MemoryHandler h;
    const auto r = cab::extract(io, paths[0], h);
    EXPECT_EQ(r.status, Status::corrupt);
    EXPECT_NE(r.message.find("not a plain file name"), std::string::npos) << r.message;
    fs::remove_all(dir);
}

// The set names its parts "Part-N.CAB" while the disk has "part-N.cab": found as Windows
// would find them, by the reader, by a retry after the next-cabinet prompt, and by `cvcab l`.
TEST(ReaderNames, NextCabinetIsFoundWithoutRegardToCase) {
    const auto dir = make_temp_folder("case");
    cab::WriterOptions options;
    options.compression = cab::Compression::none;
    options.max_cabinet_size = 70000;
    options.cabinet_name = [](unsigned n) {
        return n == 1 ? std::string("file1.cab") : "Part-" + std::to_string(n) + ".CAB";
    };
    const Bytes big = random_bytes(150000, 5), small(5000, 's');
    std::vector<std::string> paths;
    const auto written =
        cab::write_cabinets({entry("big", big), entry("small", small)}, dir.string(), options, &paths);
    ASSERT_TRUE(written.ok()) << written.message;
    ASSERT_GE(paths.size(), 3u);
    for (std::size_t n = 2; n <= paths.size(); ++n)
        fs::rename(dir / ("Part-" + std::to_string(n) + ".CAB"),
                   dir / ("part-" + std::to_string(n) + ".cab"));

    cab::FileIo io;
    MemoryHandler h;
    auto r = cab::extract(io, paths[0], h);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(h.files["big"], big);
    EXPECT_EQ(h.files["small"], small);
    EXPECT_EQ(h.events[0], "info " + paths[0]);
    EXPECT_NE(std::find(h.events.begin(), h.events.end(), "info " + (dir / "part-2.cab").string()),
              h.events.end());

    // The last part arrives, in lower case, only after the prompt.
    const auto last = "part-" + std::to_string(paths.size()) + ".cab";
    fs::rename(dir / last, dir / "away");
    MemoryHandler prompted;
    int prompts = 0;
    prompted.on_missing = [&](const cab::MissingCabinet& m) {
        EXPECT_EQ(m.cabinet_name, "Part-" + std::to_string(paths.size()) + ".CAB");
        fs::rename(dir / "away", dir / last);
        return ++prompts == 1;
    };
    r = cab::extract(io, paths[0], prompted);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(prompts, 1);
    EXPECT_EQ(prompted.files["small"], small);

    const std::string listing = (dir / "listing").string();
    const std::string cmd = std::string(CVCAB_EXE) + " l '" + paths[0] + "' >'" + listing + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    const Bytes text = read_whole_file(listing);
    EXPECT_NE(std::string(text.begin(), text.end()).find(last), std::string::npos);
    fs::remove_all(dir);
}

} // namespace
} // namespace cv::test
