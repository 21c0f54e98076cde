// cvcab's extraction into a folder: stored folder parts are dropped and nothing is written
// outside the destination.

#include "archive/cab_writer.h"
#include "tests/host/archive/archive_test_support.h"
#include "tests/host/archive/sample_blocks.h"
#include "tools/cvcab/extract_to_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>

namespace cv::test {
namespace {

namespace fs = std::filesystem;

TEST(CvcabFolder, StoredFolderPartsAreDroppedAndNothingEscapes) {
    EXPECT_EQ(cab::stored_file_name("a\\b\\c.txt"), "c.txt");
    EXPECT_EQ(cab::stored_file_name("..\\..\\evil.txt"), "evil.txt");
    EXPECT_EQ(cab::stored_file_name("../x/.."), "");
    EXPECT_EQ(cab::stored_file_name("dir\\"), "");
    EXPECT_EQ(cab::stored_file_name("/"), "");
    EXPECT_EQ(cab::stored_file_name("."), "");

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

    fs::remove_all(root);
}

// A stored name with no file name part ("/", a trailing separator, "..") is skipped and
// named; the files around it, in the same folder of the cabinet, come out whole, and the
// run succeeds.
TEST(CvcabFolder, NamesWithoutAFileNamePartAreSkippedAndTheRestExtracted) {
    const auto root = make_temp_folder("cvcab-skip");
    const auto out = root / "out";
    fs::create_directories(out);
    std::vector<cab::WriterEntry> entries(5);
    const char* names[] = {"first.txt", "/", "dir\\", "x\\..", "last.txt"};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        entries[i].stored_name = names[i];
        entries[i].bytes.assign(3000 + i, static_cast<std::uint8_t>('a' + i));
    }
    cab::WriterOptions options; // one MSZIP folder: the skipped files' bytes lie between
    ASSERT_TRUE(cab::write_cabinets(entries, root.string(), options).ok());
    const std::string cabinet = (root / "file1.cab").string();

    cab::FileIo io;
    cvcab::FolderHandler handler(out.string());
    const auto r = cab::extract(io, cabinet, handler);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(handler.finish(), "");
    EXPECT_EQ(handler.files(), 2u);
    EXPECT_EQ(handler.skipped(), (std::vector<std::string>{"/", "dir\\", "x\\.."}));
    EXPECT_EQ(read_whole_file((out / "first.txt").string()), entries[0].bytes);
    EXPECT_EQ(read_whole_file((out / "last.txt").string()), entries[4].bytes);
    EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 2);

    // The command itself: status 0, one warning per skipped file, naming it.
    fs::remove_all(out);
    fs::create_directories(out);
    const std::string cmd = std::string(CVCAB_EXE) + " x '" + cabinet + "' '" + out.string() +
                            "' 2>'" + (root / "stderr").string() + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    const Bytes err = read_whole_file((root / "stderr").string());
    const std::string text(err.begin(), err.end());
    EXPECT_EQ(text, "cvcab: " + cabinet + ": skipped '/': its stored name has no file name part\n"
                    "cvcab: " + cabinet + ": skipped 'dir\\': its stored name has no file name part\n"
                    "cvcab: " + cabinet + ": skipped 'x\\..': its stored name has no file name part\n");
    EXPECT_EQ(read_whole_file((out / "last.txt").string()), entries[4].bytes);
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
