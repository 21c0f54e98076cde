// cvcab's extraction into a folder: stored folder parts are dropped and nothing is written
// outside the destination.

#include "archive/cab_writer.h"
#include "tests/host/archive/archive_test_support.h"
#include "tests/host/archive/sample_blocks.h"
#include "tools/cvcab/extract_to_folder.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace cv::test
