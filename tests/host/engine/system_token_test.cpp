// Windows-version token and the system mask test.
#include "engine/system_token.h"

#include <gtest/gtest.h>

namespace cv {
namespace {

TEST(DetectSystemToken, KnownVersions) {
    EXPECT_EQ(DetectSystemToken({4, 10, 0x040A07CE, false}), "98");   // 4.10.1998
    EXPECT_EQ(DetectSystemToken({4, 10, 0x040A08AE, false}), "98SE"); // 4.10.2222
    EXPECT_EQ(DetectSystemToken({4, 10, 2182, false}), "98");
    EXPECT_EQ(DetectSystemToken({4, 10, 2183, false}), "98SE");
    EXPECT_EQ(DetectSystemToken({4, 90, 3000, false}), "ME");
    EXPECT_EQ(DetectSystemToken({4, 0, 1381, true}), "NT4");
    EXPECT_EQ(DetectSystemToken({5, 0, 2195, true}), "2000");
    EXPECT_EQ(DetectSystemToken({5, 1, 2600, true}), "XP");
    EXPECT_EQ(DetectSystemToken({5, 2, 3790, true}), "NET");
    EXPECT_EQ(DetectSystemToken({6, 1, 7601, true}), "VIS");
    EXPECT_EQ(DetectSystemToken({6, 2, 9200, true}), "VIS");
}

TEST(DetectSystemToken, WindowsTenAndElevenAreVista) {
    EXPECT_EQ(DetectSystemToken({10, 0, 19045, true}), "VIS"); // Windows 10, manifested
    EXPECT_EQ(DetectSystemToken({10, 0, 22631, true}), "VIS"); // Windows 11
    EXPECT_EQ(DetectSystemToken({6, 3, 9600, true}), "VIS");
    EXPECT_TRUE(SystemMatches(256, DetectSystemToken({10, 0, 22631, true})));
}

TEST(DetectSystemToken, OtherVersionsGiveNoToken) {
    EXPECT_EQ(DetectSystemToken({5, 1, 2600, false}), ""); // 5.1 outside the NT platform
    EXPECT_EQ(DetectSystemToken({3, 51, 1057, true}), "");
}

TEST(SystemMatches, MaskBits) {
    EXPECT_TRUE(SystemMatches(0, ""));
    EXPECT_TRUE(SystemMatches(255, "VIS"));
    EXPECT_TRUE(SystemMatches(1, ""));
    EXPECT_TRUE(SystemMatches(2, "98"));
    EXPECT_FALSE(SystemMatches(2, "98SE"));
    EXPECT_FALSE(SystemMatches(2, ""));
    EXPECT_TRUE(SystemMatches(256, "VIS"));
    EXPECT_FALSE(SystemMatches(256, "XP"));
    EXPECT_TRUE(SystemMatches(64 | 32, "2000"));
    EXPECT_FALSE(SystemMatches(64 | 32, "NT4"));
    EXPECT_TRUE(SystemMatches(256 | 1, "NT4"));
    EXPECT_TRUE(SystemMatches(8 | 4, "ME"));
    EXPECT_FALSE(SystemMatches(512, "VIS")); // no known bit
}

} // namespace
} // namespace cv
