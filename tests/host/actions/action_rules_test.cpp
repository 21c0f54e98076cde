#include "app/action_rules.h"

#include <gtest/gtest.h>

namespace cv {
namespace {

TEST(PageFileForTitle, MapsTheElevenTitlesAndKeepsOtherTexts) {
    EXPECT_EQ(PageFileForTitle("Install Welcome"), "welcome.lcd");
    EXPECT_EQ(PageFileForTitle("Readme Dialog"), "readme.lcd");
    EXPECT_EQ(PageFileForTitle("Ready to Install"), "ready.lcd");
    EXPECT_EQ(PageFileForTitle("Setup Complete"), "complete.lcd");
    EXPECT_EQ(PageFileForTitle("Installation Start"), "start.lcd");
    EXPECT_EQ(PageFileForTitle("After Click Finish Button"), "After Click Finish Button");
    EXPECT_EQ(PageFileForTitle("mypage.lcd"), "mypage.lcd");
    EXPECT_EQ(PageFileForTitle("install welcome"), "install welcome");
}

TEST(ShowMessageText, TakesTheTextInsideTheCall) {
    EXPECT_EQ(ShowMessageText("ShowMessage(Disk is full);"), "Disk is full");
    EXPECT_EQ(ShowMessageText("ShowMessage(a (b) c);"), "a (b) c");
    // Without parentheses the whole action loses its last two characters.
    EXPECT_EQ(ShowMessageText("ShowMessage"), "ShowMessa");
    EXPECT_EQ(ShowMessageText("ShowMessage("), "");
    EXPECT_EQ(ShowMessageText("ShowMessage(x"), "");
    EXPECT_EQ(ShowMessageText(""), "");
}

TEST(OperatingSystemAdmitted, ClearBitsShutTheirVersionOut) {
    const char* names[] = {"VIS", "NET", "XP", "2000", "NT4", "ME", "98SE", "98"};
    for (int bit = 0; bit < 8; ++bit) {
        for (int other = 0; other < 8; ++other)
            EXPECT_EQ(OperatingSystemAdmitted(1 << bit, names[other]), bit == other)
                << "mask " << (1 << bit) << " on " << names[other];
        EXPECT_TRUE(OperatingSystemAdmitted(255, names[bit]));
        EXPECT_FALSE(OperatingSystemAdmitted(0, names[bit]));
    }
    // Versions outside the table always run.
    EXPECT_TRUE(OperatingSystemAdmitted(0, ""));
    EXPECT_TRUE(OperatingSystemAdmitted(0, "10"));
    EXPECT_TRUE(OperatingSystemAdmitted(0, "vis"));
}

} // namespace
} // namespace cv
