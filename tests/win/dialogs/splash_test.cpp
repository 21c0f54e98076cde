// The splash window under Wine: the animated picture, its size and place, the timers that
// end it, the sound flags.

#include "common/setup_state.h"
#include "app/splash.h"
#include "dialog_watch.h"
#include "tests/host/gif/gif_writer.h"

#include <gtest/gtest.h>

#include <mmsystem.h>
#include <ole2.h>

#include <fstream>

namespace cv {
namespace {

using namespace cv::test;

void WriteGif(const std::string& path) {
    gif::test::GifPlan plan;
    plan.width = 160;
    plan.height = 90;
    for (int i = 0; i < 4; ++i) {
        gif::test::FrameSpec f = gif::test::Rect(i * 40, 0, 40, 90);
        f.delay = 20;
        f.colour = static_cast<std::uint8_t>(1 + i % 3);
        plan.frames.push_back(f);
    }
    std::vector<std::uint8_t> bytes = gif::test::WriteGif(plan);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class SplashTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ::OleInitialize(nullptr); }
    static void TearDownTestSuite() { ::OleUninitialize(); }
    void SetUp() override {
        folder_ = TestFolder("splash");
        WriteGif(folder_ + "setup.gif");
        WriteText(folder_ + "setup.wav", "not really a wave file");
        SetupState& s = setupState();
        s.unpacked = 0;
        s.splashDone = 0;
        s.diskImageMode = 0;
    }
    void TearDown() override {
        ::sndPlaySoundA(nullptr, 0);
        setupState().diskImageMode = 0;
    }

    /// Opens a splash; the object deletes itself when its window goes.
    HWND Open(SplashSettings s) {
        auto* splash = new CSplash(std::move(s), folder_);
        if (!splash->Open(nullptr)) {
            delete splash;
            return nullptr;
        }
        splash_ = splash;
        return splash->m_hWnd;
    }

    static SplashSettings Picture(int seconds) {
        SplashSettings s;
        s.showPicture = "Yes";
        s.pictureFile = "C:\\authoring\\art\\logo.gif";
        s.seconds = seconds;
        return s;
    }

    std::string folder_;
    CSplash* splash_ = nullptr;
};

TEST_F(SplashTest, FileNamesTakeTheExtensionOfTheNamedFile) {
    EXPECT_EQ(SplashFilePath("C:\\s\\", "D:\\art\\logo.gif"), "C:\\s\\setup.gif");
    EXPECT_EQ(SplashFilePath("C:\\s\\", "tune.WAV"), "C:\\s\\setup.WAV");
    EXPECT_EQ(SplashFilePath("C:\\s\\", "D:\\art.d\\logo"), "C:\\s\\setup");
    EXPECT_EQ(SplashFilePath("C:\\s\\", ""), "C:\\s\\setup");
}

TEST_F(SplashTest, ShowsTheAnimatedPictureCentredForItsTimeAndUntilUnpacked) {
    HWND wnd = Open(Picture(2));
    ASSERT_NE(wnd, nullptr);
    EXPECT_EQ(splash_->picturePath(), folder_ + "setup.gif");
    ASSERT_TRUE(splash_->pictureShown());
    EXPECT_TRUE(splash_->picture().IsGif());
    EXPECT_EQ(splash_->picture().GetFrameCount(), 4u);
    Pump(700);
    EXPECT_TRUE(::IsWindowVisible(wnd));
    EXPECT_GT(splash_->picture().GetFramesDrawn(), 0);
    RECT rc{};
    ::GetWindowRect(wnd, &rc);
    EXPECT_EQ(rc.right - rc.left, 160);
    EXPECT_EQ(rc.bottom - rc.top, 90);
    EXPECT_EQ((rc.left + rc.right) / 2, ::GetSystemMetrics(SM_CXSCREEN) / 2);
    EXPECT_EQ((rc.top + rc.bottom) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2);
    Screenshot("splash");

    // Past its time, but nothing unpacked yet: it stays.
    Pump(2500);
    EXPECT_TRUE(::IsWindow(wnd));
    EXPECT_EQ(setupState().splashDone.load(), 0);
    setupState().unpacked = kOn;
    Pump(1500);
    EXPECT_FALSE(::IsWindow(wnd));
    EXPECT_EQ(setupState().splashDone.load(), kOn);
}

TEST_F(SplashTest, UnpackedEarlyStillWaitsForTheDisplayTime) {
    setupState().unpacked = kOn;
    DWORD start = ::GetTickCount();
    HWND wnd = Open(Picture(2));
    ASSERT_NE(wnd, nullptr);
    while (::IsWindow(wnd) && ::GetTickCount() - start < 5000)
        Pump(50);
    DWORD shown = ::GetTickCount() - start;
    EXPECT_FALSE(::IsWindow(wnd));
    EXPECT_GE(shown, 1900u);
    EXPECT_LT(shown, 3500u);
    EXPECT_EQ(setupState().splashDone.load(), kOn);
}

TEST_F(SplashTest, WithoutDisplayTimeItEndsOnceUnpacked) {
    HWND wnd = Open(Picture(0));
    ASSERT_NE(wnd, nullptr);
    Pump(1500);
    EXPECT_TRUE(::IsWindow(wnd));
    setupState().unpacked = kOn;
    Pump(1300);
    EXPECT_FALSE(::IsWindow(wnd));
}

TEST_F(SplashTest, DiskImagesEndItAfterItsTimeAndMarkUnpacked) {
    setupState().diskImageMode = kOn;
    HWND wnd = Open(Picture(1));
    ASSERT_NE(wnd, nullptr);
    Pump(1600);
    EXPECT_FALSE(::IsWindow(wnd));
    EXPECT_EQ(setupState().unpacked.load(), kOn);
    EXPECT_EQ(setupState().splashDone.load(), kOn);
}

TEST_F(SplashTest, MissingPictureStaysInvisibleButStillEnds) {
    ::DeleteFileA((folder_ + "setup.gif").c_str());
    HWND wnd = Open(Picture(1));
    ASSERT_NE(wnd, nullptr);
    EXPECT_FALSE(splash_->pictureShown());
    Pump(300);
    EXPECT_FALSE(::IsWindowVisible(wnd));
    setupState().unpacked = kOn;
    Pump(1500);
    EXPECT_FALSE(::IsWindow(wnd));
    EXPECT_EQ(setupState().splashDone.load(), kOn);
}

TEST_F(SplashTest, SoundLoopsUnlessOnceAndIsSkippedWhenMissing) {
    struct Case {
        const char* mode;
        bool loop;
    } cases[] = {{"Once", false}, {"Loop", true}, {"", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        SplashSettings s;
        s.playSound = "Yes";
        s.soundFile = "tune.wav";
        s.soundMode = c.mode;
        HWND wnd = Open(s);
        ASSERT_NE(wnd, nullptr);
        EXPECT_EQ(splash_->soundPath(), folder_ + "setup.wav");
        EXPECT_TRUE(splash_->soundFlags() & SND_ASYNC);
        EXPECT_EQ((splash_->soundFlags() & SND_LOOP) != 0, c.loop);
        // A splash with sound only ends once unpacking has finished (nothing else would end it).
        setupState().unpacked = kOn;
        Pump(1300);
        EXPECT_FALSE(::IsWindow(wnd));
        setupState().unpacked = 0;
    }
    SplashSettings s;
    s.playSound = "Yes";
    s.soundFile = "tune.mid";
    HWND wnd = Open(s);
    ASSERT_NE(wnd, nullptr);
    EXPECT_EQ(splash_->soundPath(), "");
    EXPECT_EQ(splash_->soundFlags(), 0u);
    setupState().unpacked = kOn;
    Pump(1300);
    EXPECT_FALSE(::IsWindow(wnd));
}

} // namespace
} // namespace cv
