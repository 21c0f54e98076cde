// The table-section reader and its row count.
#include "common/profile_table.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <string>

namespace cv {
namespace {

TEST(ProfileTable, ReadsRowsByColumnAndIndex) {
    auto f = ProfileFile::parse("[FILES]\nTOTAL=2\nA0=x.dll\nB0=<InstallDir>\nA1=y.exe\n"
                                "[DIALOGLIST]\nTOTAL1=3\nW0=welcome.lcd\n");
    ProfileTable t(f, "files");
    ASSERT_EQ(t.rows(), 2);
    EXPECT_EQ(t.cell("A", 0), "x.dll");
    EXPECT_EQ(t.cell("B", 0), "<InstallDir>");
    EXPECT_EQ(t.cell("a", 1), "y.exe");
    EXPECT_EQ(t.cell("B", 1), "");
    ProfileTable pages(f, "DIALOGLIST", "TOTAL1");
    EXPECT_EQ(pages.rows(), 3);
    EXPECT_EQ(pages.cell("W", 0), "welcome.lcd");
    EXPECT_EQ(pages.cell("W", 2), "");
}

TEST(ProfileTable, RowCountIsBounded) {
    auto count = [](const std::string& total) {
        auto f = ProfileFile::parse("[T]\nTOTAL=" + total + "\n");
        return ProfileTable(f, "T").rows();
    };
    EXPECT_EQ(count("12abc"), 12);
    EXPECT_EQ(count("  +7"), 7);
    EXPECT_EQ(count("-3"), 0);
    EXPECT_EQ(count("abc"), 0);
    EXPECT_EQ(count(""), 0);
    EXPECT_EQ(count("99999999999999999999"), kMaxProfileTableRows);
    auto none = ProfileFile::parse("[T]\nA0=1\n");
    EXPECT_EQ(ProfileTable(none, "T").rows(), 0);
    EXPECT_EQ(ProfileTable(none, "missing").cell("A", 0), "");
}

TEST(ProfileTable, ParseLeadingIntSaturates) {
    EXPECT_EQ(ParseLeadingInt("2147483647"), INT_MAX);
    EXPECT_EQ(ParseLeadingInt("2147483648"), INT_MAX);
    EXPECT_EQ(ParseLeadingInt("-2147483648"), INT_MIN);
    EXPECT_EQ(ParseLeadingInt("-99999999999"), INT_MIN);
    EXPECT_EQ(ParseLeadingInt("\t\n 42 7"), 42);
    EXPECT_EQ(ParseLeadingInt("- 1"), 0);
}

TEST(ProfileTable, FiveThousandRowsReadQuickly) {
    std::string text = "[APPINFO]\na1=Bench\n[FILES]\nTOTAL=5000\n";
    for (int i = 0; i < 5000; ++i) {
        for (char c : std::string("ABCD"))
            text += std::string(1, c) + std::to_string(i) + "=" + c + "value of row " +
                    std::to_string(i) + "\r\n";
    }
    auto start = std::chrono::steady_clock::now();
    auto f = ProfileFile::parse(text);
    ProfileTable t(f, "FILES");
    std::size_t total = 0;
    for (int i = 0; i < t.rows(); ++i) {
        for (const char* col : {"A", "B", "C", "D"})
            total += t.cell(col, i).size();
    }
    auto ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start);
    EXPECT_EQ(t.cell("D", 4999), "Dvalue of row 4999");
    EXPECT_GT(total, 0u);
    // Generous even under the sanitizers; the benchmark gives the real figure.
    EXPECT_LT(ms.count(), 500.0);
}

} // namespace
} // namespace cv
