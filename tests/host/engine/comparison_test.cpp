#include "engine/comparison.h"

#include <gtest/gtest.h>

namespace cv {
namespace {

TEST(ComparisonHolds, NumericOperatorsCompareLeadingDecimals) {
    EXPECT_TRUE(ComparisonHolds("10", ">", "9"));
    EXPECT_FALSE(ComparisonHolds("9", ">", "10"));
    EXPECT_TRUE(ComparisonHolds("10", ">=", "10.0"));
    EXPECT_TRUE(ComparisonHolds("10", "=<", "10.0"));
    EXPECT_TRUE(ComparisonHolds("2.5", "<", "10"));
    // Only the leading number counts; a text without one is 0.
    EXPECT_TRUE(ComparisonHolds("12 MB", ">", "9GB"));
    EXPECT_TRUE(ComparisonHolds("abc", "<", "1"));
    EXPECT_TRUE(ComparisonHolds(" -3", "<", "0"));
    EXPECT_TRUE(ComparisonHolds("1e3", ">", "999"));
    EXPECT_TRUE(ComparisonHolds("1e", "<", "2")); // "e" without digits is no exponent
}

TEST(ComparisonHolds, EqualityIsTextual) {
    EXPECT_FALSE(ComparisonHolds("10", "==", "10.0"));
    EXPECT_TRUE(ComparisonHolds("10", "!=", "10.0"));
    EXPECT_TRUE(ComparisonHolds("TRUE", "==", "TRUE"));
    EXPECT_FALSE(ComparisonHolds("TRUE", "==", "true"));
    EXPECT_TRUE(ComparisonHolds("", "==", ""));
}

TEST(ComparisonHolds, UnknownOperatorsNeverHold) {
    for (const char* op : {"<=", "=>", "=", "", " ==", "<>"}) {
        EXPECT_FALSE(ComparisonHolds("1", op, "1")) << op;
        EXPECT_FALSE(ComparisonHolds("1", op, "2")) << op;
    }
}

TEST(LeadingDecimal, ReadsOnlyPlainDecimals) {
    EXPECT_DOUBLE_EQ(LeadingDecimal("+.5"), 0.5);
    EXPECT_DOUBLE_EQ(LeadingDecimal("2E-2x"), 0.02);
    for (const char* none : {"0x1A", "inf", "nan", "-", "."})
        EXPECT_DOUBLE_EQ(LeadingDecimal(none), 0.0) << none;
}

} // namespace
} // namespace cv
