#include "app/action_tables.h"
#include "tests/host/common/memory_section.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>

namespace cv {
namespace {

using Section = MemorySection;

std::string Upper(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

TEST(ReadFileActionRows, ConvertsTitlesAndResolvesFiles) {
    Section s{{{"TOTAL", "2"}, {"B0", "<ResourceDir>\\tool.exe"}, {"C0", "/q <InstallDir>"},
               {"E0", "Destination Folder"}, {"F0", "f"}, {"G0", "Yes"}, {"H0", "No"}, {"L0", "255"},
               {"M0", "No Condition"}, {"B1", "http://x/"}, {"E1", "After Click Finish Button"}, {"L1", "12abc"}}};
    FileActionTable table;
    table[0].done = 255;
    int count = 0;
    TableCount read = ReadFileActionRows(s.lookup(), [](const std::string& f) { return "file:" + f; }, Upper,
                                       table, count);
    EXPECT_EQ(read.rows, 2);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(table[0].file, "file:<ResourceDir>\\tool.exe");
    EXPECT_EQ(table[0].argument, "/Q <INSTALLDIR>");
    EXPECT_EQ(table[0].trigger, "destination.lcd");
    EXPECT_EQ(table[0].f, "f");
    EXPECT_EQ(table[0].g, "Yes");
    EXPECT_EQ(table[0].h, "No");
    EXPECT_EQ(table[0].systems, 255);
    EXPECT_EQ(table[0].condition, "No Condition");
    EXPECT_EQ(table[0].done, 0);
    EXPECT_EQ(table[1].trigger, "After Click Finish Button");
    EXPECT_EQ(table[1].systems, 12);
}

TEST(ReadFileActionRows, TotalAboveThirteenReadsThirteenRows) {
    Section s{{{"TOTAL", "14"}, {"B13", "never"}}};
    FileActionTable table;
    int count = 0;
    auto same = [](const std::string& f) { return f; };
    EXPECT_EQ(ReadFileActionRows(s.lookup(), same, same, table, count).total, 14);
    EXPECT_EQ(count, 13);
    for (const std::string& key : s.asked)
        EXPECT_EQ(key.find("13"), std::string::npos) << key;
}

TEST(SupportFilePath, WorkFolderOrFirstDiskImage) {
    EXPECT_EQ(SupportFilePath("\\tool.exe", true, "C:\\Temp\\", "cv101010", "D:\\setup\\"),
              "C:\\Temp\\cv101010\\tool.exe");
    EXPECT_EQ(SupportFilePath("\\tool.exe", false, "C:\\Temp\\", "cv101010", "D:\\setup\\"),
              "D:\\setup\\DiskImage1\\tool.exe");
    // A file written without its backslash still lands inside the folder.
    EXPECT_EQ(SupportFilePath("tool.exe", false, "C:\\Temp\\", "cv1", "D:\\setup\\"),
              "D:\\setup\\DiskImage1\\tool.exe");
    EXPECT_EQ(SupportFilePath("bin\\tool.exe", true, "C:\\Temp", "cv1", ""), "C:\\Temp\\cv1\\bin\\tool.exe");
}

} // namespace
} // namespace cv
