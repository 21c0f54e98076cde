// cvcab's extraction into a folder: stored folder parts are dropped and nothing is written
// outside the destination.

#include "archive/cab_writer.h"
#include "tests/host/archive/archive_test_support.h"
#include "tests/host/archive/sample_blocks.h"
#include "tools/cvcab/extract_to_folder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

namespace cv::test {
namespace {

namespace fs = std::filesystem;

TEST(CvcabFolder, StoredFolderPartsAreDroppedAndNothingEscapes) {
    EXPECT_EQ(cvcab::bare_file_name("a\\b\\c.txt"), "c.txt");
    EXPECT_EQ(cvcab::bare_file_name("..\\..\\evil.txt"), "evil.txt");
    EXPECT_EQ(cvcab::bare_file_name("../x/.."), "");
    EXPECT_EQ(cvcab::bare_file_name("dir\\"), "");

    const auto root = make_temp_folder("cvcab");
    const auto out = root / "out" / "deep";
    fs::create_directories(out);
    std::vector<cab::WriterEntry> entries(3);
    entries[0].stored_name = "sub\\inner.txt";
    entries[0].bytes = {'1'};
    entries[1].stored_name = "..\\..\\evil.txt";
    entries[1].bytes = {'2'};
    entries[2].stored_name = "/abs/evil2.txt";
    entries[2].bytes = {'3'};
    cab::WriterOptions options;
    options.compression = cab::Compression::none;
    ASSERT_TRUE(cab::write_cabinets(entries, root.string(), options).ok());

    cab::FileIo io;
    cvcab::FolderHandler handler(out.string());
    const auto r = cab::extract(io, (root / "file1.cab").string(), handler);
    ASSERT_TRUE(r.ok()) << r.message;
    ASSERT_EQ(handler.finish(), "");
    EXPECT_EQ(read_whole_file((out / "inner.txt").string()), Bytes{'1'});
    EXPECT_EQ(read_whole_file((out / "evil.txt").string()), Bytes{'2'});
    EXPECT_EQ(read_whole_file((out / "evil2.txt").string()), Bytes{'3'});
    EXPECT_FALSE(fs::exists(root / "evil.txt"));
    EXPECT_FALSE(fs::exists(root / "out" / "evil.txt"));
    EXPECT_FALSE(fs::exists(out / "sub"));

    // A stored name without a file name part is refused, not written as the folder.
    entries.resize(1);
    entries[0].stored_name = "x\\..";
    ASSERT_TRUE(cab::write_cabinets(entries, root.string(), options).ok());
    cvcab::FolderHandler refusing(out.string());
    const auto refused = cab::extract(io, (root / "file1.cab").string(), refusing);
    EXPECT_EQ(refused.status, cab::Status::aborted);
    EXPECT_NE(refused.message.find("no file name part"), std::string::npos) << refused.message;
    fs::remove_all(root);
}

TEST(CvcabWriter, ManySmallPiecesArriveWholeAndInOrderWithTheirTimes) {
    const auto root = make_temp_folder("cvcab-writer");
    // Tiny chunks and only two in flight: the producer keeps waiting for the writer thread.
    cvcab::BackgroundWriter writer(7, 2);
    std::vector<Bytes> wanted(5);
    for (std::size_t f = 0; f < wanted.size(); ++f) {
        for (std::size_t i = 0; i < 1000 * f + 3; ++i)
            wanted[f].push_back(static_cast<std::uint8_t>(i * 31 + f));
        const std::string path = (root / ("f" + std::to_string(f))).string();
        cvcab::BackgroundWriter::File file(writer, ::open(path.c_str(), O_WRONLY | O_CREAT, 0644), path);
        for (std::size_t at = 0; at < wanted[f].size(); at += 5)
            ASSERT_TRUE(file.write(wanted[f].data() + at, std::min<std::size_t>(5, wanted[f].size() - at)));
        // 2021-03-04 05:06:08 as a DOS date and time.
        file.close((41 << 9) | (3 << 5) | 4, (5 << 11) | (6 << 5) | 4);
    }
    EXPECT_EQ(writer.finish(), "");
    for (std::size_t f = 0; f < wanted.size(); ++f) {
        const auto path = root / ("f" + std::to_string(f));
        EXPECT_EQ(read_whole_file(path.string()), wanted[f]) << f;
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        std::tm tm{};
        const std::time_t t = st.st_mtime;
        localtime_r(&t, &tm);
        EXPECT_EQ(tm.tm_year, 121);
        EXPECT_EQ(tm.tm_hour, 5);
        EXPECT_EQ(tm.tm_sec, 8);
    }
    fs::remove_all(root);
}

TEST(CvcabWriter, AFullDiskIsReportedWithTheFileName) {
    cvcab::BackgroundWriter writer(64, 2);
    {
        cvcab::BackgroundWriter::File file(writer, ::open("/dev/full", O_WRONLY), "/dev/full");
        const Bytes block(1000, 'x');
        bool accepted = true;
        // The failure surfaces on a later write once the thread has met it.
        for (int i = 0; i < 1000 && accepted; ++i)
            accepted = file.write(block.data(), block.size());
        file.close(0, 0);
    }
    const std::string failure = writer.finish();
    EXPECT_NE(failure.find("cannot write '/dev/full'"), std::string::npos) << failure;
    EXPECT_EQ(writer.error(), failure);
}

} // namespace
} // namespace cv::test
