#include "engine/condition_table.h"
#include "tests/host/common/memory_section.h"

#include <gtest/gtest.h>

#include <map>

namespace cv {
namespace {

using Section = MemorySection;

TEST(ReadConditionRows, ReadsEachRowWithItsActionKeys) {
    Section s{{{"TOTAL", "2"}, {"A0", "big"}, {"B0", "<Size>"}, {"C0", ">"}, {"D0", "9"},
               {"E0", "welcome.lcd"}, {"F0", "2"}, {"00", "ShowMessage(a);"}, {"01", "CancelInstall();"},
               {"A1", "none"}, {"F1", "0"}, {"10", "never read"}}};
    ConditionTable table;
    table[0].done = 255;
    int count = 7;
    TableCount read = ReadConditionRows(s.lookup(), table, count);
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
    TableCount read = ReadConditionRows(s.lookup(), table, count);
    EXPECT_EQ(read.rows, static_cast<int>(kMaxConditions));
    EXPECT_EQ(count, static_cast<int>(kMaxConditions));
    EXPECT_EQ(table[0].actions.size(), kMaxConditionActions);
    EXPECT_EQ(table[1].actions.size(), 0u);
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

TEST(CheckConditionByName, UnnamedAndUnknownPassTheLastOfANameDecides) {
    ConditionTable table;
    table[0] = Condition{"big", "<Size>", ">", "9", "", {"first"}};
    table[1] = Condition{"big", "<Size>", "<", "9", "", {"second"}};
    table[2] = Condition{"os", "<Os>", "==", "XP", "", {"ShowMessage(xp);"}};
    std::map<std::string, std::string> variables{{"<Size>", "12"}, {"<Os>", "XP"}};
    std::vector<std::string> expanded, ran;
    auto expand = [&](const std::string& text) {
        expanded.push_back(text);
        auto found = variables.find(text);
        return found == variables.end() ? text : found->second;
    };
    auto run = [&](const Condition& holding) { ran.insert(ran.end(), holding.actions.begin(), holding.actions.end()); };

    for (const char* passes : {"No Condition", "", "unknown", "BIG"})
        EXPECT_TRUE(CheckConditionByName(table, 3, passes, expand, run)) << passes;
    EXPECT_TRUE(expanded.empty());
    EXPECT_TRUE(ran.empty());

    // The second "big" (12 < 9) is the one evaluated, and it does not hold.
    EXPECT_FALSE(CheckConditionByName(table, 3, "big", expand, run));
    EXPECT_EQ(expanded, (std::vector<std::string>{"<Size>", "9"}));
    EXPECT_TRUE(ran.empty());
    // Only the first row counts: the first "big" (12 > 9) holds and its actions run.
    EXPECT_TRUE(CheckConditionByName(table, 1, "big", expand, run));
    EXPECT_EQ(ran, (std::vector<std::string>{"first"}));
    EXPECT_TRUE(CheckConditionByName(table, 3, "os", expand));
    // A count of zero or below checks nothing.
    EXPECT_TRUE(CheckConditionByName(table, 0, "big", expand, run));
    EXPECT_TRUE(CheckConditionByName(table, -5, "big", expand, run));
    EXPECT_EQ(ran.size(), 1u);
}

TEST(ConditionActionKey, WritesBothNumbersTogether) {
    EXPECT_EQ(ConditionActionKey(1, 2), "12");
    EXPECT_EQ(ConditionActionKey(0, 0), "00");
    EXPECT_EQ(ConditionActionKey(12, 3), "123");
}

} // namespace
} // namespace cv
