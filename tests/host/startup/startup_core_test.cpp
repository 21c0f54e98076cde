// The portable pieces of start-up: background colours, the trace line, the feature table.
#include "app/background_colors.h"
#include "common/setup_state.h"
#include "app/trace_line.h"

#include <gtest/gtest.h>

namespace cv {
namespace {

TEST(BackgroundColor, ReadsTheThreeComponentsAfterTheLastAt) {
    EXPECT_EQ(ParseBackgroundColor("Blue@0x00,0x00,0xFF"), (Rgb{0, 0, 255}));
    EXPECT_EQ(ParseBackgroundColor("@0x80,0xC0,0xFF"), (Rgb{128, 192, 255}));
    EXPECT_EQ(ParseBackgroundColor("a@b@0xFF,0x00,0x80"), (Rgb{255, 0, 128}));
}

TEST(BackgroundColor, UnknownOrMissingComponentsAreZero) {
    EXPECT_EQ(ParseBackgroundColor("no at sign 0xFF,0xFF,0xFF"), (Rgb{}));
    EXPECT_EQ(ParseBackgroundColor("@0xff,0x40,255"), (Rgb{})); // exact spellings only
    EXPECT_EQ(ParseBackgroundColor("@0xFF"), (Rgb{255, 0, 0}));
    EXPECT_EQ(ParseBackgroundColor("@"), (Rgb{}));
}

TEST(BackgroundColor, RowsRunFromTopToBottom) {
    const Rgb top{0, 0, 255}, bottom{255, 128, 0};
    EXPECT_EQ(InterpolateRow(top, bottom, 0, 768), top);
    EXPECT_EQ(InterpolateRow(top, bottom, 384, 768), (Rgb{127, 64, 128}));
    // The last row stops one step short of the bottom colour: row / rows never reaches 1.
    EXPECT_EQ(InterpolateRow(top, bottom, 767, 768), (Rgb{254, 127, 1}));
    EXPECT_EQ(InterpolateRow(top, bottom, 5, 0), top); // an empty client area
}

TEST(TraceLine, HasTheTimeStampTheTextAndAStar) {
    std::tm t{};
    t.tm_hour = 9;
    t.tm_min = 5;
    t.tm_sec = 7;
    EXPECT_EQ(FormatTraceLine(t, "a9"), "(09:05:07) -a9*");
    EXPECT_EQ(FormatTraceLine(t, ""), "(09:05:07) -*");
    EXPECT_EQ(FormatTraceLine(t, "PULA =255"), "(09:05:07) -PULA =255*");
}

TEST(FeatureTable, FirstEntryOfANameCountsAndTheTableIsBounded) {
    SetupState state;
    EXPECT_EQ(state.FindFeature("Core"), -1);
    ASSERT_TRUE(state.AddFeature("Core"));
    ASSERT_TRUE(state.AddFeature("Extras"));
    ASSERT_TRUE(state.AddFeature("Core"));
    EXPECT_EQ(state.FindFeature("Core"), 0);
    EXPECT_EQ(state.FindFeature("Extras"), 1);
    EXPECT_EQ(state.FindFeature("core"), -1);
    EXPECT_EQ(state.features[1].state, 0);

    while (state.featureCount < static_cast<int>(kMaxFeatures))
        ASSERT_TRUE(state.AddFeature("f" + std::to_string(state.featureCount.load())));
    EXPECT_FALSE(state.AddFeature("one too many"));
    EXPECT_EQ(state.featureCount, static_cast<int>(kMaxFeatures));
}

TEST(SetupState, StartResetsTheFlagsOfARun) {
    SetupState state;
    state.addOnPending = 255;
    state.installAborted = 255;
    state.featureCount = 3;
    state.previewMode = 255;
    state.hiddenWizard = 255;
    state.ResetForStart();
    EXPECT_EQ(state.addOnPending, 0);
    EXPECT_EQ(state.installAborted, -1);
    EXPECT_EQ(state.featureCount, 0);
    EXPECT_EQ(state.previewMode, 0);
    EXPECT_EQ(state.hiddenWizard, 255); // not part of the start reset
}

} // namespace
} // namespace cv
