// The splitter on damaged input: cut files, unknown blocks, bad screens, too many frames,
// and random bytes. Nothing may crash or read outside the data (the host build runs under
// AddressSanitizer), and every frame reported must lie inside the data.
#include "pages/gif_frames.h"
#include "tests/host/gif/gif_writer.h"

#include <gtest/gtest.h>

#include <random>

namespace cv::gif {
namespace {

using test::FrameSpec;
using test::GifPlan;
using test::WriteGif;

std::vector<std::uint8_t> ThreeFrames() {
    GifPlan plan;
    plan.width = 16;
    plan.height = 16;
    plan.loop_extension = true;
    for (int i = 0; i < 3; ++i) {
        FrameSpec f = test::Rect(i, i, 16 - i, 12);
        f.delay = 10 + i;
        f.disposal = i;
        f.local_table = i == 1;
        f.comment = i == 2 ? "note" : "";
        plan.frames.push_back(f);
    }
    return WriteGif(plan);
}

void ExpectFramesInside(const std::vector<std::uint8_t>& data, const Split& split) {
    for (const Frame& f : split.frames) {
        ASSERT_LT(f.begin, f.end);
        ASSERT_LE(f.end, data.size());
        ASSERT_GE(f.begin, split.screen.blocks_begin());
        std::vector<std::uint8_t> one = MakeStandalone(data, split, f);
        ASSERT_EQ(one.size(), StandaloneSize(split, f));
        ASSERT_EQ(one.back(), kTrailer);
    }
}

TEST(GifDamage, CutAnywhereKeepsExactlyTheFramesThatEndBeforeTheCut) {
    std::vector<std::uint8_t> file = ThreeFrames();
    Split whole = SplitFrames(file);
    ASSERT_EQ(whole.frames.size(), 3u);
    for (size_t cut = 0; cut < file.size(); ++cut) {
        std::vector<std::uint8_t> part(file.begin(), file.begin() + cut);
        Split split = SplitFrames(part);
        size_t complete = 0;
        while (complete < whole.frames.size() && whole.frames[complete].end <= cut)
            ++complete;
        ASSERT_EQ(split.frames.size(), complete) << "cut at " << cut;
        for (size_t i = 0; i < complete; ++i) {
            EXPECT_EQ(split.frames[i].begin, whole.frames[i].begin);
            EXPECT_EQ(split.frames[i].end, whole.frames[i].end);
            EXPECT_EQ(split.frames[i].delay, whole.frames[i].delay);
        }
        if (cut < whole.screen.blocks_begin()) {
            EXPECT_EQ(split.end, WalkEnd::NotGif) << "cut at " << cut;
        } else if (cut == whole.frames[2].end) {
            EXPECT_EQ(split.end, WalkEnd::EndOfData);
        }
    }
}

TEST(GifDamage, CutInsideTheSecondImageDataStopsAfterTheFirstFrame) {
    std::vector<std::uint8_t> file = ThreeFrames();
    Split whole = SplitFrames(file);
    size_t middle = (whole.frames[1].begin + whole.frames[1].end) / 2;
    file.resize(middle);
    Split split = SplitFrames(file);
    EXPECT_EQ(split.frames.size(), 1u);
    EXPECT_EQ(split.end, WalkEnd::Truncated);
}

TEST(GifDamage, UnknownByteEndsTheWalk) {
    std::vector<std::uint8_t> file = ThreeFrames();
    Split whole = SplitFrames(file);
    std::vector<std::uint8_t> bad = file;
    bad.insert(bad.begin() + static_cast<long>(whole.frames[0].end), 0x99);
    Split split = SplitFrames(bad);
    EXPECT_EQ(split.frames.size(), 1u);
    EXPECT_EQ(split.end, WalkEnd::Unknown);
    // An extension with a label the splitter does not know stops it as well.
    bad = file;
    bad.insert(bad.begin() + static_cast<long>(whole.frames[0].end), {0x21, 0x55, 0});
    EXPECT_EQ(SplitFrames(bad).end, WalkEnd::Unknown);
    // Bytes after the trailer are ignored.
    bad = file;
    bad.insert(bad.end(), {0x2C, 1, 2});
    EXPECT_EQ(SplitFrames(bad).frames.size(), 3u);
    EXPECT_EQ(SplitFrames(bad).end, WalkEnd::Trailer);
}

TEST(GifDamage, ScreenThatIsNotThere) {
    std::vector<std::uint8_t> file = ThreeFrames();
    std::vector<std::uint8_t> png = file;
    png[0] = 0x89;
    EXPECT_EQ(SplitFrames(png).end, WalkEnd::NotGif);
    EXPECT_FALSE(HasGifSignature(std::vector<std::uint8_t>{'G', 'I'}));
    EXPECT_EQ(SplitFrames(std::vector<std::uint8_t>{}).end, WalkEnd::NotGif);
    // A global table of 3 × 256 bytes announced in a file that is shorter than that.
    std::vector<std::uint8_t> big = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x87, 0, 0};
    big.resize(13 + 767);
    Screen screen;
    EXPECT_FALSE(ReadScreen(big, screen));
    big.push_back(0);
    ASSERT_TRUE(ReadScreen(big, screen));
    EXPECT_EQ(screen.global_table_size, 768u);
}

TEST(GifDamage, FrameCountIsBounded) {
    GifPlan plan;
    plan.width = 1;
    plan.height = 1;
    plan.frames.assign(kMaxFrames + 5, FrameSpec{});
    std::vector<std::uint8_t> file = WriteGif(plan);
    Split split = SplitFrames(file);
    EXPECT_EQ(split.frames.size(), kMaxFrames);
    EXPECT_EQ(split.end, WalkEnd::FrameLimit);
}

TEST(GifDamage, RandomBytesAndMutatedFiles) {
    std::mt19937 rng(20240611);
    std::vector<std::uint8_t> good = ThreeFrames();
    const std::uint8_t starts[] = {0x21, 0x2C, 0x3B, 0xF9, 0x00, 0xFF};
    for (int round = 0; round < 20000; ++round) {
        std::vector<std::uint8_t> data;
        if (round % 2 == 0) {
            // Random blocks behind a valid screen, biased towards block introducers.
            data.assign(good.begin(), good.begin() + 25);
            size_t n = rng() % 300;
            for (size_t i = 0; i < n; ++i)
                data.push_back(rng() % 3 == 0 ? starts[rng() % 6] : static_cast<std::uint8_t>(rng()));
        } else {
            data = good;
            int flips = 1 + static_cast<int>(rng() % 4);
            for (int i = 0; i < flips; ++i)
                data[rng() % data.size()] = static_cast<std::uint8_t>(rng());
            data.resize(rng() % (data.size() + 1));
        }
        Split split = SplitFrames(data);
        ExpectFramesInside(data, split);
        if (HasFatalFailure())
            FAIL() << "round " << round;
    }
}

} // namespace
} // namespace cv::gif
