#include "common/text_replace.h"

#include <gtest/gtest.h>

namespace cv {
namespace {

TEST(TextReplace, ReplaceAllDoesNotRescanInsertedText) {
    std::string s = "aXbXX";
    EXPECT_EQ(ReplaceAll(s, "X", "XX"), 3u);
    EXPECT_EQ(s, "aXXbXXXX");
    std::string t = "aaaa";
    EXPECT_EQ(ReplaceAll(t, "aa", "a"), 2u);
    EXPECT_EQ(t, "aa");
    std::string u = "abc";
    EXPECT_EQ(ReplaceAll(u, "", "x"), 0u);
    EXPECT_EQ(u, "abc");
}

TEST(TextReplace, BackslashPairsCollapseInOnePass) {
    std::string s = "C:\\\\a\\\\\\b\\\\\\\\c\\";
    CollapseDoubleBackslashes(s);
    EXPECT_EQ(s, "C:\\a\\\\b\\\\c\\");
}

} // namespace
} // namespace cv
