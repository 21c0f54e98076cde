#include "app/action_tables.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>

namespace cv {
namespace {

/// A settings section in memory that records which keys were asked for.
struct Section {
    std::map<std::string, std::string> values;
    mutable std::vector<std::string> asked;

    SectionLookup lookup() const {
        return [this](const std::string& key, std::size_t buffer) {
            asked.push_back(key);
            auto found = values.find(key);
            std::string value = found == values.end() ? "" : found->second;
            return value.substr(0, buffer - 1);
        };
    }
};

std::string Upper(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

TEST(ReadConditionRows, ReadsEachRowWithItsActionKeys) {
    Section s{{{"TOTAL", "2"}, {"A0", "big"}, {"B0", "<Size>"}, {"C0", ">"}, {"D0", "9"},
               {"E0", "welcome.lcd"}, {"F0", "2"}, {"00", "ShowMessage(a);"}, {"01", "CancelInstall();"},
               {"A1", "none"}, {"F1", "0"}, {"10", "never read"}}};
    ConditionTable table;
    table[0].done = 255;
    int count = 7;
    RowsRead read = ReadConditionRows(s.lookup(), table, count);
    EXPECT_EQ(read.rows, 2);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(table[0].name, "big");
    EXPECT_EQ(table[0].left, "<Size>");
    EXPECT_EQ(table[0].op, ">");
    EXPECT_EQ(table[0].right, "9");
    EXPECT_EQ(table[0].event, "welcome.lcd");
    EXPECT_EQ(table[0].actions, (std::vector<std::string>{"ShowMessage(a);", "CancelInstall();"}));
    EXPECT_EQ(table[0].done, 0);
    EXPECT_TRUE(table[1].actions.empty());
}

TEST(ReadConditionRows, ZeroOrNegativeTotalLeavesTheTable) {
    for (const char* total : {"0", "", "-4", "none"}) {
        Section s{{{"TOTAL", total}, {"A0", "new"}}};
        ConditionTable table;
        table[0].name = "old";
        int count = 1;
        EXPECT_EQ(ReadConditionRows(s.lookup(), table, count).rows, 0);
        EXPECT_EQ(count, 1) << total;
        EXPECT_EQ(table[0].name, "old") << total;
        EXPECT_EQ(s.asked.size(), 1u) << total;
    }
}

TEST(ReadConditionRows, LargeCountsAreCutToTheTables) {
    Section s{{{"TOTAL", "99999999999999999999"}, {"F0", "2147483647"}}};
    ConditionTable table;
    int count = 0;
    RowsRead read = ReadConditionRows(s.lookup(), table, count);
    EXPECT_EQ(read.rows, static_cast<int>(kMaxConditions));
    EXPECT_EQ(count, static_cast<int>(kMaxConditions));
    EXPECT_EQ(table[0].actions.size(), kMaxConditionActions);
    EXPECT_EQ(table[1].actions.size(), 0u);
}

TEST(ReadFileActionRows, ConvertsTitlesAndResolvesFiles) {
    Section s{{{"TOTAL", "2"}, {"B0", "<ResourceDir>\\tool.exe"}, {"C0", "/q <InstallDir>"},
               {"E0", "Destination Folder"}, {"F0", "f"}, {"G0", "Yes"}, {"H0", "No"}, {"L0", "255"},
               {"M0", "No Condition"}, {"B1", "http://x/"}, {"E1", "After Click Finish Button"}, {"L1", "12abc"}}};
    FileActionTable table;
    table[0].done = 255;
    int count = 0;
    RowsRead read = ReadFileActionRows(s.lookup(), [](const std::string& f) { return "file:" + f; }, Upper,
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

TEST(FindLastCondition, TheLastOfOneNameCounts) {
    ConditionTable table;
    table[0].name = "a";
    table[1].name = "b";
    table[2].name = "a";
    table[3].name = "a"; // outside the count
    EXPECT_EQ(FindLastCondition(table, 3, "a"), 2);
    EXPECT_EQ(FindLastCondition(table, 3, "b"), 1);
    EXPECT_EQ(FindLastCondition(table, 3, "A"), -1);
    EXPECT_EQ(FindLastCondition(table, 0, "a"), -1);
    EXPECT_EQ(FindLastCondition(table, 1000, "a"), 3);
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
