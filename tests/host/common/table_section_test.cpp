#include "common/table_section.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>

namespace cv {
namespace {

TEST(ParseTableCount, CountsAsWrittenAndRowsWithinTheBound) {
    struct Case {
        const char* text;
        std::size_t bound;
        long total;
        int rows;
    } cases[] = {
        {"", 30, 0, 0},
        {"0", 30, 0, 0},
        {"none", 30, 0, 0},
        {"-4", 30, -4, 0},
        {"  7", 30, 7, 7},
        {"+7", 30, 7, 7},
        {"12abc", 30, 12, 12},
        {"3 rows", 30, 3, 3},
        {"30", 30, 30, 30},
        {"31", 30, 31, 30},
        {"2147483648", 13, 2147483648L, 13},
        {"99999999999999999999", 30, LONG_MAX, 30},
        {"-99999999999999999999", 30, LONG_MIN, 0},
        {"0x10", 30, 0, 0},
        {"5", 0, 5, 0},
    };
    for (const Case& c : cases) {
        TableCount count = ParseTableCount(c.text, c.bound);
        EXPECT_EQ(count.total, c.total) << '"' << c.text << '"';
        EXPECT_EQ(count.rows, c.rows) << '"' << c.text << '"';
        EXPECT_EQ(count.Cut(), c.total > c.rows) << '"' << c.text << '"';
    }
}

TEST(ReadTableCount, ReadsTheCountKeyIntoTheCountBuffer) {
    std::map<std::string, std::string> section{{"TOTAL", "4"}, {"TOTAL1", "9"}};
    std::vector<std::pair<std::string, std::size_t>> asked;
    SectionLookup lookup = [&](const std::string& key, std::size_t buffer) {
        asked.emplace_back(key, buffer);
        auto found = section.find(key);
        return found == section.end() ? std::string() : found->second;
    };
    EXPECT_EQ(ReadTableCount(lookup, 8).rows, 4);
    EXPECT_EQ(ReadTableCount(lookup, 8, "TOTAL1").rows, 8);
    EXPECT_EQ(ReadTableCount(lookup, 8, "MISSING").rows, 0);
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(asked[0], (std::pair<std::string, std::size_t>{"TOTAL", kTableCountBuffer}));
    EXPECT_EQ(asked[1].first, "TOTAL1");
}

TEST(TableKey, ColumnThenRowInDecimal) {
    EXPECT_EQ(TableKey("A", 0), "A0");
    EXPECT_EQ(TableKey("W", 12), "W12");
    EXPECT_EQ(TableKey("FeatureName", 3), "FeatureName3");
}

} // namespace
} // namespace cv
