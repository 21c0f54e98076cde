#include "pages/page_rules.h"

#include <gtest/gtest.h>

namespace cv {
namespace {

TEST(PlacePage, CodesAndTheCaptionHeightRule) {
    // Wine's caption bar under Xvfb is 19 pixels: the page is 6 pixels shorter.
    EXPECT_EQ(PlacePage(0, 500, 400, 1024, 768, 19), (PageRect{262, 187, 500, 394}));
    EXPECT_EQ(PlacePage(2, 500, 400, 1024, 768, 19), (PageRect{0, 0, 500, 394}));
    EXPECT_EQ(PlacePage(3, 500, 400, 1024, 768, 19), (PageRect{524, 0, 500, 394}));
    EXPECT_EQ(PlacePage(4, 500, 400, 1024, 768, 19), (PageRect{0, 768 - 394 - 35, 500, 394}));
    EXPECT_EQ(PlacePage(5, 500, 400, 1024, 768, 19), (PageRect{524, 339, 500, 394}));
    EXPECT_FALSE(PlacePage(1, 500, 400, 1024, 768, 19));
    EXPECT_FALSE(PlacePage(6, 500, 400, 1024, 768, 19));
    EXPECT_FALSE(PlacePage(-1, 500, 400, 1024, 768, 19));
    // Integer divisions of each half: 501/2 = 250, 401 - 6 = 395, 395/2 = 197.
    EXPECT_EQ(PlacePage(0, 501, 401, 1024, 768, 19), (PageRect{262, 187, 501, 395}));
    EXPECT_EQ(ShownPageHeight(400, 18), 393);
    EXPECT_EQ(ShownPageHeight(400, 24), 399);
    EXPECT_EQ(ShownPageHeight(400, 25), 400);
    EXPECT_EQ(ShownPageHeight(400, 30), 400);
}

TEST(PlacementCode, FirstTwoCharacters) {
    EXPECT_EQ(PlacementCode(""), 0);
    EXPECT_EQ(PlacementCode("centre"), 0);
    EXPECT_EQ(PlacementCode("3 - top right"), 3);
    EXPECT_EQ(PlacementCode("123"), 12);
    EXPECT_EQ(PlacementCode("5"), 5);
}

TEST(ApplyBorderRule, FirstCharacter) {
    EXPECT_EQ(ApplyBorderRule(kStyleBorder, ""), 0u);
    EXPECT_EQ(ApplyBorderRule(kStyleBorder, "x1"), 0u);
    EXPECT_EQ(ApplyBorderRule(kStyleBorder, "0 - none"), 0u);
    EXPECT_EQ(ApplyBorderRule(0, "1 - thin"), kStyleBorder);
    EXPECT_EQ(ApplyBorderRule(0, "2"), 0u);
    EXPECT_EQ(ApplyBorderRule(kStyleBorder, "9"), kStyleBorder);
}

TEST(LayoutColors, ParseAndText) {
    const LayoutColor face{212, 208, 200};
    EXPECT_EQ(ParseLayoutColor("255,128,0", face), (LayoutColor{255, 128, 0}));
    EXPECT_EQ(ParseLayoutColor("", face), face);
    EXPECT_EQ(ParseLayoutColor("COLOR_BTNFACE", face), face);
    EXPECT_EQ(ParseLayoutColor("300,-4,17", face), (LayoutColor{255, 0, 17}));
    EXPECT_EQ(ParseLayoutColor("12", face), (LayoutColor{12, 0, 0}));
    EXPECT_EQ(ParseLayoutColor("a,b,c", face), (LayoutColor{0, 0, 0}));
    EXPECT_EQ(ColorText(LayoutColor{0, 0, 255}), "0,0,255");
    EXPECT_EQ(ResolveColorText("", face), "212,208,200");
    EXPECT_EQ(ResolveColorText("COLOR_BTNFACE", face), "212,208,200");
    EXPECT_EQ(ResolveColorText("1,2,3", face), "1,2,3");
}

TEST(PageFont, Sizes) {
    EXPECT_EQ(FontHeightFromPoints(8, 96), -10);
    EXPECT_EQ(FontHeightFromPoints(12, 96), -16);
    EXPECT_EQ(FontHeightFromPoints(10, 120), -16);
    EXPECT_EQ(HimetricToPixels(2540, 96), 96);
    EXPECT_EQ(HimetricToPixels(2646, 96), 100);
    EXPECT_EQ(HimetricToPixels(0, 96), 0);
}

TEST(ParseDownloadProgress, ThreeParts) {
    DownloadProgress p = ParseDownloadProgress("42,1 min 3 sec,120 KB of 300 KB, 10 KB/sec");
    EXPECT_EQ(p.percent, 42);
    EXPECT_EQ(p.info, "Estimated time left: 1 min 3 sec - 120 KB of 300 KB, 10 KB/sec");
    DownloadProgress short_text = ParseDownloadProgress("150");
    EXPECT_EQ(short_text.percent, 100);
    EXPECT_EQ(short_text.info, "");
    DownloadProgress no_length = ParseDownloadProgress("49,,1.00 MB copied - 1048 KB/Sec");
    EXPECT_EQ(no_length.percent, 49);
    EXPECT_EQ(no_length.info, "1.00 MB copied - 1048 KB/Sec");
}

TEST(BuiltInIcons, Names) {
    EXPECT_EQ(BuiltInIconNumber("IDI_EXCLAMATION"), 0);
    EXPECT_EQ(BuiltInIconNumber("IDI_SETUP"), 6);
    EXPECT_EQ(BuiltInIconNumber("IDI_FOLDER"), 7);
    EXPECT_EQ(BuiltInIconNumber("IDI_NOPE"), -1);
    EXPECT_STREQ(AlignmentName("1"), "Left");
    EXPECT_STREQ(AlignmentName("2"), "Right");
    EXPECT_STREQ(AlignmentName(""), "Center");
}

} // namespace
} // namespace cv

namespace cv {
namespace {

TEST(SplitComboList, CarriageReturnsEndEntries) {
    EXPECT_EQ(SplitComboList("one\r\ntwo\r\n"), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(SplitComboList("one\r\ntail"), (std::vector<std::string>{"one"}));
    // The character after a carriage return is skipped whatever it is.
    EXPECT_EQ(SplitComboList("a\rXb\r\n"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(SplitComboList("a\r"), (std::vector<std::string>{"a"}));
    EXPECT_EQ(SplitComboList("\r\n\r\n"), (std::vector<std::string>{"", ""}));
    EXPECT_TRUE(SplitComboList("").empty());
    EXPECT_TRUE(SplitComboList("no newline").empty());
}

} // namespace
} // namespace cv
