// Memory, screen and colour comparisons.
#include "sysinfo/requirements.h"

#include <gtest/gtest.h>

namespace cv {
namespace {

constexpr std::uint64_t kMB = 1048576;

TEST(MemoryMeets, PartialMegabyteRoundsUp) {
    // 63.5 MB: 63 whole megabytes, plus one.
    const std::uint64_t machine = 63 * kMB + kMB / 2;
    EXPECT_TRUE(MemoryMeets(machine, 64));
    EXPECT_FALSE(MemoryMeets(machine, 65));
    // Exactly 64 MB reads as 65.
    EXPECT_TRUE(MemoryMeets(64 * kMB, 65));
    EXPECT_FALSE(MemoryMeets(64 * kMB, 66));
}

TEST(MemoryMeets, CountsBeyondFourGigabytes) {
    // 8 GB: a 32-bit byte count would wrap to 0 and read as 1 MB.
    const std::uint64_t eight_gb = 8ull * 1024 * kMB;
    EXPECT_TRUE(MemoryMeets(eight_gb, 4096));
    EXPECT_TRUE(MemoryMeets(eight_gb, 8193));
    EXPECT_FALSE(MemoryMeets(eight_gb, 8194));
    // 4 GB plus 100 MB: a 32-bit count would read 101 MB.
    EXPECT_TRUE(MemoryMeets(4096 * kMB + 100 * kMB, 2048));
}

TEST(MemoryMeets, NonPositiveRequirementPasses) {
    EXPECT_TRUE(MemoryMeets(0, 0));
    EXPECT_TRUE(MemoryMeets(0, -5));
}

TEST(ScreenRequirement, ParsesWidthAndHeight) {
    // Only the first "x" splits; text that is not a number reads as 0; upper-case X is not
    // the separator, so the whole text is the height, read as 800.
    struct Case {
        const char* text;
        int width, height;
    } cases[] = {
        {"1024x768", 1024, 768}, {"768", 0, 768}, {"800x600x32", 800, 600}, {"wide", 0, 0}, {"800X600", 0, 800},
    };
    for (const Case& c : cases) {
        const ScreenRequirement got = ParseScreenRequirement(c.text);
        EXPECT_EQ(got.width, c.width) << c.text;
        EXPECT_EQ(got.height, c.height) << c.text;
    }
}

TEST(ScreenMeets, ComparesBothSides) {
    EXPECT_FALSE(ScreenMeets("1024x768", 1280, 720)); // height below
    EXPECT_TRUE(ScreenMeets("1024x768", 1024, 768));
    EXPECT_FALSE(ScreenMeets("1024x768", 800, 1200)); // width below
    EXPECT_TRUE(ScreenMeets("1024x768", 1920, 1080));
}

TEST(ScreenMeets, HeightOnlyRequirement) {
    EXPECT_TRUE(ScreenMeets("768", 640, 768));
    EXPECT_TRUE(ScreenMeets("768", 1, 800));
    EXPECT_FALSE(ScreenMeets("768", 4000, 767));
}

TEST(ScreenMeets, AnyResolutionPasses) {
    EXPECT_TRUE(ScreenMeets("Any resolution", 0, 0));
    EXPECT_FALSE(ScreenMeets("1x1", 0, 0));
}

TEST(ColoursMeet, MapsTheFourTexts) {
    EXPECT_EQ(ColourRequirementBits("32bit colors"), 32);
    EXPECT_EQ(ColourRequirementBits("24bit colors"), 24);
    EXPECT_EQ(ColourRequirementBits("65.636 colors"), 16);
    EXPECT_EQ(ColourRequirementBits("256 colors"), 8);
    EXPECT_TRUE(ColoursMeet("24bit colors", 24));
    EXPECT_FALSE(ColoursMeet("24bit colors", 16));
    EXPECT_FALSE(ColoursMeet("32bit colors", 24));
    EXPECT_TRUE(ColoursMeet("256 colors", 8));
    EXPECT_FALSE(ColoursMeet("256 colors", 4));
}

TEST(ColoursMeet, OtherTextsAlwaysPass) {
    for (const char* text : {"16 colors", "Any colors", "32BIT COLORS", "", "65.536 colors"}) {
        EXPECT_EQ(ColourRequirementBits(text), 0) << text;
        EXPECT_TRUE(ColoursMeet(text, 1)) << text;
    }
}

TEST(LeadingInteger, ReadsLikeAtoi) {
    EXPECT_EQ(LeadingInteger("  42abc"), 42);
    EXPECT_EQ(LeadingInteger("-7"), -7);
    EXPECT_EQ(LeadingInteger("abc"), 0);
    EXPECT_EQ(LeadingInteger("-"), 0);
    // Held at the 32-bit limits however long the digits run.
    EXPECT_EQ(LeadingInteger("99999999999999999999999999"), 2147483647);
    EXPECT_EQ(LeadingInteger("-99999999999999999999999999"), -2147483648LL);
}

} // namespace
} // namespace cv
