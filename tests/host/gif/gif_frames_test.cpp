// The splitter on well-formed files: what it reads from each block and the standalone GIFs
// it builds, checked against ImageMagick where it is installed.
#include "pages/gif_frames.h"
#include "tests/host/gif/gif_writer.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>

namespace cv::gif {
namespace {

using test::FrameSpec;
using test::GifPlan;
using test::WriteGif;

GifPlan TwoFrameAnimation() {
    GifPlan plan;
    plan.width = 10;
    plan.height = 8;
    plan.loop_extension = true;
    FrameSpec a;
    a.width = 10;
    a.height = 8;
    a.delay = 3;
    a.disposal = 2;
    a.comment = "first frame";
    FrameSpec b;
    b.left = 2;
    b.top = 1;
    b.width = 5;
    b.height = 4;
    b.delay = 5;
    b.disposal = 3;
    b.colour = 2;
    b.local_table = true;
    plan.frames = {a, b};
    return plan;
}

GifPlan OneFrame(int size) {
    GifPlan plan;
    plan.width = size;
    plan.height = size;
    plan.frames = {test::Rect(0, 0, size, size)};
    return plan;
}

/// A frame's delay, disposal, left, top, width and height, to compare in one go.
std::array<int, 6> Placement(const Frame& f) { return {f.delay, f.disposal, f.left, f.top, f.width, f.height}; }

TEST(GifSplit, OneImageFileIsOneFrameAndItsOwnStandaloneCopy) {
    GifPlan plan;
    plan.width = 4;
    plan.height = 3;
    plan.frames = {test::Rect(0, 0, 4, 3)};
    std::vector<std::uint8_t> file = WriteGif(plan);
    Split split = SplitFrames(file);
    ASSERT_EQ(split.frames.size(), 1u);
    EXPECT_EQ(split.end, WalkEnd::Trailer);
    EXPECT_EQ(split.screen.width, 4);
    EXPECT_EQ(split.screen.height, 3);
    EXPECT_EQ(split.screen.global_table_size, 12u);
    EXPECT_EQ(split.frames[0].delay, -1);
    EXPECT_EQ(split.frames[0].disposal, 0);
    // Header, screen, table, image, trailer: the standalone copy is the file itself.
    EXPECT_EQ(MakeStandalone(file, split, split.frames[0]), file);
}

TEST(GifSplit, ReadsDelayDisposalAndPlaceOfEachFrame) {
    std::vector<std::uint8_t> file = WriteGif(TwoFrameAnimation());
    Split split = SplitFrames(file);
    ASSERT_EQ(split.frames.size(), 2u);
    EXPECT_EQ(split.end, WalkEnd::Trailer);
    const Frame& a = split.frames[0];
    EXPECT_EQ(Placement(a), (std::array{3, 2, 0, 0, 10, 8}));
    const Frame& b = split.frames[1];
    EXPECT_EQ(Placement(b), (std::array{5, 3, 2, 1, 5, 4}));
    // Each frame starts at its graphic control (not at the comment before it) and the
    // second one ends at the trailer.
    EXPECT_EQ(file[a.begin], 0x21);
    EXPECT_EQ(file[a.begin + 1], 0xF9);
    EXPECT_EQ(file[b.begin + 1], 0xF9);
    EXPECT_EQ(b.end, file.size() - 1);
}

TEST(GifSplit, StandaloneFrameIsScreenPlusFrameBlocksPlusTrailer) {
    std::vector<std::uint8_t> file = WriteGif(TwoFrameAnimation());
    Split split = SplitFrames(file);
    ASSERT_EQ(split.frames.size(), 2u);
    const Frame& b = split.frames[1];
    std::vector<std::uint8_t> one = MakeStandalone(file, split, b);
    ASSERT_EQ(one.size(), 13 + 12 + (b.end - b.begin) + 1);
    EXPECT_TRUE(std::equal(one.begin(), one.begin() + 25, file.begin()));
    EXPECT_TRUE(std::equal(one.begin() + 25, one.end() - 1, file.begin() + b.begin));
    EXPECT_EQ(one.back(), kTrailer);
    // The copy splits again into exactly that frame.
    Split again = SplitFrames(one);
    ASSERT_EQ(again.frames.size(), 1u);
    EXPECT_EQ(again.end, WalkEnd::Trailer);
    EXPECT_EQ(Placement(again.frames[0]), Placement(b));
    // A buffer of the wrong size is refused untouched.
    std::vector<std::uint8_t> small(one.size() - 1, 0xAA);
    EXPECT_FALSE(WriteStandalone(file, split, b, small));
    EXPECT_EQ(small[0], 0xAA);
}

TEST(GifSplit, FrameWithoutGraphicControlAndFileWithoutGlobalTable) {
    GifPlan plan;
    plan.width = 6;
    plan.height = 6;
    plan.global_table = false;
    FrameSpec a = test::Rect(0, 0, 6, 6);
    a.local_table = true;
    FrameSpec b = test::Rect(1, 1, 2, 2);
    b.local_table = true;
    b.delay = 0;
    b.disposal = 1;
    plan.frames = {a, b};
    std::vector<std::uint8_t> file = WriteGif(plan);
    Split split = SplitFrames(file);
    EXPECT_EQ(split.screen.global_table_size, 0u);
    ASSERT_EQ(split.frames.size(), 2u);
    EXPECT_EQ(split.frames[0].delay, -1);
    EXPECT_EQ(split.frames[0].begin, 13u); // starts at its image descriptor
    EXPECT_EQ(split.frames[1].delay, 0);
    EXPECT_EQ(split.frames[1].disposal, 1);
}

/// A 4x4 one-image GIF with `blocks` written between the colour table and the image.
std::vector<std::uint8_t> ImageAfter(std::initializer_list<std::uint8_t> blocks) {
    std::vector<std::uint8_t> file = WriteGif(OneFrame(4));
    file.insert(file.begin() + 25, blocks);
    return file;
}

TEST(GifSplit, GraphicControlThatDoesNotDescribeTheImage) {
    // Plain text is a rendering block of its own and takes the graphic control before it.
    std::vector<std::uint8_t> file = ImageAfter({0x21, 0xF9, 4, 2 << 2, 7, 0, 0, 0,                  //
                                                 0x21, 0x01, 12, 0, 0, 0, 0, 4, 0, 4, 0, 4, 4, 1, 0, //
                                                 2, 'h', 'i', 0});
    Split split = SplitFrames(file);
    ASSERT_EQ(split.frames.size(), 1u);
    EXPECT_EQ(split.frames[0].delay, -1);
    EXPECT_EQ(file[split.frames[0].begin], 0x2C);
    // A graphic control whose first sub-block is too short to hold delay and disposal.
    split = SplitFrames(ImageAfter({0x21, 0xF9, 2, 0x08, 9, 0}));
    ASSERT_EQ(split.frames.size(), 1u);
    EXPECT_EQ(split.frames[0].delay, -1);
    EXPECT_EQ(split.frames[0].disposal, 0);
}

TEST(GifSplit, WaitPerFrame) {
    const std::pair<int, unsigned> cases[] = {{3, 100}, {5, 50}, {4, 100}, {0, 100}, {-1, 0}, {65535, 655350}};
    for (const auto& [delay, wait] : cases)
        EXPECT_EQ(FrameWaitMs(delay), wait) << "delay " << delay;
}

// ImageMagick as an independent reader: it must decode every standalone frame, and the
// delays and disposals it reports for a file it wrote itself must be the splitter's.
bool HaveImageMagick() { return std::system("convert -version >/dev/null 2>&1") == 0; }

std::string RunCommand(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buf[256];
        while (size_t n = std::fread(buf, 1, sizeof buf, pipe))
            out.append(buf, n);
        ::pclose(pipe);
    }
    return out;
}

std::filesystem::path TempPath(const std::string& name) {
    return std::filesystem::temp_directory_path() /
           ("cv_gif_" + std::to_string(::getpid()) + "_" + name);
}

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                               static_cast<std::streamsize>(bytes.size()));
}

TEST(GifSplitReference, ImageMagickDecodesEachStandaloneFrame) {
    if (!HaveImageMagick())
        GTEST_SKIP() << "ImageMagick is not installed";
    std::vector<std::uint8_t> file = WriteGif(TwoFrameAnimation());
    Split split = SplitFrames(file);
    ASSERT_EQ(split.frames.size(), 2u);
    const char* prefix[] = {"3 Background 10x8+0+0 ", "5 Previous 5x4+2+1 "};
    const char* colour[] = {"FF0000", "00FF00"};
    for (size_t i = 0; i < split.frames.size(); ++i) {
        std::filesystem::path path = TempPath("frame" + std::to_string(i) + ".gif");
        WriteFile(path, MakeStandalone(file, split, split.frames[i]));
        std::string seen = RunCommand("identify -format '%T %D %wx%h%X%Y ' " + path.string() +
                               " 2>&1 && convert " + path.string() +
                               " -format '%[hex:p{0,0}]' info:- 2>&1");
        std::filesystem::remove(path);
        EXPECT_EQ(seen.rfind(prefix[i], 0), 0u) << seen;
        EXPECT_NE(seen.find(colour[i]), std::string::npos) << seen;
    }
}

TEST(GifSplitReference, AgreesWithImageMagickOnItsOwnAnimation) {
    if (!HaveImageMagick())
        GTEST_SKIP() << "ImageMagick is not installed";
    std::filesystem::path path = TempPath("anim.gif");
    std::string made = RunCommand("convert -size 12x9 -dispose Background -delay 3 xc:red "
                           "-dispose Previous -delay 5 xc:blue -dispose None -delay 40 xc:lime " +
                           path.string() + " 2>&1");
    ASSERT_TRUE(std::filesystem::exists(path)) << made;
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string reference = RunCommand("identify -format '%T %wx%h|' " + path.string());
    std::filesystem::remove(path);

    Split split = SplitFrames(file);
    std::string ours;
    for (const Frame& f : split.frames)
        ours += std::to_string(f.delay) + " " + std::to_string(f.width) + "x" + std::to_string(f.height) + "|";
    EXPECT_EQ(ours, reference);
    ASSERT_EQ(split.frames.size(), 3u);
    EXPECT_EQ(split.frames[0].disposal, 2);
    EXPECT_EQ(split.frames[1].disposal, 3);
    EXPECT_EQ(split.frames[2].disposal, 1);
}

} // namespace
} // namespace cv::gif
