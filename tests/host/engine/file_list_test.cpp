// The data.inf reader and the destination-folder list.
#include "engine/file_list.h"

#include <gtest/gtest.h>

namespace cv {
namespace {

TEST(ParseFileList, ReadsPairsIntoRecords) {
    FileListResult r = ParseFileList("C:\\build\\app.exe\r\n"
                                     "Destination Computer\\<InstallDir>\\bin\\*17*256*3|Core\r\n"
                                     "http://example.com/files/readme.txt\r\n"
                                     "Destination Computer\\<InstallDir>*0*0*0|\r\n");
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.records.size(), 2u);
    const FileRecord& a = r.records[0];
    EXPECT_EQ(a.file_name, "app.exe");
    EXPECT_EQ(a.source, "C:\\build\\app.exe");
    EXPECT_EQ(a.destination_folder, "Destination Computer\\<InstallDir>\\bin\\");
    EXPECT_EQ(a.flags, 17);
    EXPECT_EQ(a.system_mask, 256);
    EXPECT_EQ(a.fourth, 3);
    EXPECT_EQ(a.feature, "Core");
    EXPECT_EQ(a.line, 1);
    const FileRecord& b = r.records[1];
    EXPECT_EQ(b.file_name, "readme.txt"); // after the last slash of a URL
    EXPECT_TRUE(IsUrlSource(b.source));
    EXPECT_FALSE(IsUrlSource(a.source));
    EXPECT_EQ(b.feature, "");
    EXPECT_EQ(b.line, 3);
}

TEST(ParseFileList, IncompleteEndsAreNotRecords) {
    struct Case {
        const char* name;
        std::string text;
        std::size_t records;
    };
    const Case cases[] = {
        {"empty file", "", 0},
        {"odd line count: a source without its record", "a.txt\r\nD\\x*0*0*0|\r\nb.txt\r\n", 1},
        {"last record line without CR", "a.txt\r\nD\\x*0*0*0|\r\nb.txt\r\nD\\y*0*0*0|", 1},
        {"only one line, unterminated", "a.txt", 0},
        {"LF-only lines are no lines", "a.txt\nD\\x*0*0*0|\n", 0},
        {"CR without LF ends a line too", "a.txt\rD\\x*0*0*0|\r", 1},
    };
    for (const Case& c : cases) {
        FileListResult r = ParseFileList(c.text);
        EXPECT_TRUE(r.ok) << c.name;
        EXPECT_EQ(r.records.size(), c.records) << c.name;
    }
}

TEST(ParseFileList, MissingSeparatorsGiveEmptyFieldsAndNumbersReadAsAtoi) {
    FileListResult r = ParseFileList("a.txt\r\nD\\only-folder\r\nb.txt\r\nD\\f* 12abc*-3*7\r\nc\r\n*x*1*2|f|g\r\n");
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.records.size(), 3u);
    EXPECT_EQ(r.records[0].destination_folder, "D\\only-folder");
    EXPECT_EQ(r.records[0].flags, 0);
    EXPECT_EQ(r.records[0].feature, "");
    EXPECT_EQ(r.records[1].flags, 12);
    EXPECT_EQ(r.records[1].system_mask, -3);
    EXPECT_EQ(r.records[1].fourth, 7);
    EXPECT_EQ(r.records[1].feature, "");
    EXPECT_EQ(r.records[2].destination_folder, "");
    EXPECT_EQ(r.records[2].flags, 0); // "x"
    EXPECT_EQ(r.records[2].feature, "f|g"); // only the first "|" separates
}

TEST(ParseFileList, RefusesOverLongStringsNamingTheLine) {
    const std::string ok(kMaxRecordString, 'a');
    const std::string too_long(kMaxRecordString + 1, 'a');
    const std::string good_pair = "f.txt\r\nD\\x*0*0*0|\r\n";

    FileListResult at_limit = ParseFileList(ok + "\r\n" + ok + "*0*0*0|" + ok + "\r\n");
    ASSERT_TRUE(at_limit.ok) << at_limit.error;
    EXPECT_EQ(at_limit.records[0].destination_folder.size(), kMaxRecordString);

    struct Case {
        std::string text;
        const char* expected;
    };
    const Case cases[] = {
        {good_pair + too_long + "\r\nD\\x*0*0*0|\r\n",
         "data.inf line 3: the source line is 455 characters long; at most 454 are allowed."},
        {good_pair + good_pair + "f.txt\r\n" + too_long + "*0*0*0|\r\n",
         "data.inf line 6: the destination folder is 455 characters long; at most 454 are allowed."},
        {"f.txt\r\nD\\x*0*0*0|" + too_long + "\r\n",
         "data.inf line 2: the feature is 455 characters long; at most 454 are allowed."},
    };
    for (const Case& c : cases) {
        FileListResult r = ParseFileList(c.text);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, c.expected);
    }
}

TEST(ParseFileList, FileNamePart) {
    EXPECT_EQ(FileNamePart("C:\\a\\b.txt"), "b.txt");
    EXPECT_EQ(FileNamePart("ftp://h/x/y.bin"), "y.bin");
    EXPECT_EQ(FileNamePart("plain.txt"), "plain.txt");
    EXPECT_EQ(FileNamePart("C:\\folder\\"), "");
}

std::vector<FileRecord> RecordsIn(int folders, int files_per_folder = 1) {
    std::vector<FileRecord> records;
    for (int f = 0; f < folders; ++f) {
        for (int i = 0; i < files_per_folder; ++i) {
            FileRecord r;
            r.destination_folder = "Destination Computer\\<InstallDir>\\d" + std::to_string(f) + (i % 2 ? "\\" : "");
            r.line = 2 * static_cast<int>(records.size()) + 1;
            records.push_back(r);
        }
    }
    return records;
}

TEST(CollectDestinationFolders, DistinctInFirstSeenOrderWithoutOneTrailingBackslash) {
    std::vector<FileRecord> records = RecordsIn(3, 2);
    FolderListResult r = CollectDestinationFolders(records);
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.folders.size(), 3u); // "d0" and "d0\\" are one folder
    EXPECT_EQ(r.folders[0], "Destination Computer\\<InstallDir>\\d0");
    EXPECT_EQ(r.folders[2], "Destination Computer\\<InstallDir>\\d2");
}

TEST(CollectDestinationFolders, StopsBeyond1600Folders) {
    FolderListResult full = CollectDestinationFolders(RecordsIn(1600, 2));
    ASSERT_TRUE(full.ok) << full.error;
    EXPECT_EQ(full.folders.size(), 1600u);

    FolderListResult over = CollectDestinationFolders(RecordsIn(1601));
    EXPECT_FALSE(over.ok);
    EXPECT_EQ(over.error, "data.inf line 3201: the file list names more than 1600 destination folders; "
                          "the installation cannot go on.");
}

} // namespace
} // namespace cv
