// CPictureEx on a real window: loading, playing, composing, stopping.
#include "pages/gif_frames.h"
#include "pages/picture_ex_win.h"
#include "tests/host/gif/gif_writer.h"

#include <gtest/gtest.h>
#include <ole2.h>
#include <windows.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace cv {
namespace {

using gif::test::FrameSpec;
using gif::test::GifPlan;
using gif::test::Rect;
using gif::test::WriteGif;

const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kGreen = RGB(0, 255, 0);
const COLORREF kBlue = RGB(0, 0, 255);

HGLOBAL ToBlock(const std::vector<std::uint8_t>& bytes) {
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (block) {
        std::memcpy(::GlobalLock(block), bytes.data(), bytes.size());
        ::GlobalUnlock(block);
    }
    return block;
}

/// Dispatches this thread's messages until `done` holds or `timeout_ms` passed.
bool PumpUntil(const std::function<bool()>& done, DWORD timeout_ms) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (done())
            return true;
        if (::GetTickCount() - start >= timeout_ms)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void PumpFor(DWORD ms) { PumpUntil([] { return false; }, ms); }

/// Solid full-screen frames of `count`, cycling red, green, blue, with one delay.
std::vector<std::uint8_t> Animation(int count, int delay, int size = 20) {
    GifPlan plan;
    plan.width = size;
    plan.height = size;
    for (int i = 0; i < count; ++i) {
        FrameSpec f = Rect(0, 0, size, size);
        f.delay = delay;
        f.colour = static_cast<std::uint8_t>(1 + i % 3);
        plan.frames.push_back(f);
    }
    return WriteGif(plan);
}

/// A 24-bit bottom-up BMP file of one colour.
std::vector<std::uint8_t> SolidBitmap(int width, int height, COLORREF colour) {
    const int row = (width * 3 + 3) & ~3;
    const DWORD pixels = static_cast<DWORD>(row * height);
    std::vector<std::uint8_t> out(14 + 40 + pixels, 0);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfSize = static_cast<DWORD>(out.size());
    file.bfOffBits = 14 + 40;
    BITMAPINFOHEADER info{};
    info.biSize = 40;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = pixels;
    std::memcpy(out.data(), &file, 14);
    std::memcpy(out.data() + 14, &info, 40);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = out.data() + 54 + y * row + x * 3;
            p[0] = GetBValue(colour);
            p[1] = GetGValue(colour);
            p[2] = GetRValue(colour);
        }
    return out;
}

std::string TempFile(const char* name, const std::vector<std::uint8_t>& bytes) {
    char folder[MAX_PATH];
    ::GetTempPathA(MAX_PATH, folder);
    std::string path = std::string(folder) + name;
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
    return path;
}

class PictureExTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ::CoInitialize(nullptr); }
    static void TearDownTestSuite() { ::CoUninitialize(); }

    // The window stays hidden unless a test paints: under Wine without a window manager,
    // destroying a shown top-level window takes two seconds.
    void SetUp() override {
        parent_ = ::CreateWindowExA(0, "STATIC", "picture test", WS_OVERLAPPEDWINDOW, 0, 0,
                                    240, 200, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(parent_, nullptr);
        ASSERT_TRUE(picture_.Create(parent_, RECT{10, 10, 30, 30}, 100));
    }
    void TearDown() override { ::DestroyWindow(parent_); }

    SIZE ControlSize() const {
        RECT rc{};
        ::GetWindowRect(picture_.GetSafeHwnd(), &rc);
        return SIZE{rc.right - rc.left, rc.bottom - rc.top};
    }

    HWND parent_ = nullptr;
    CPictureEx picture_;
};

TEST_F(PictureExTest, AnimationAdvancesAndStopsWithinFiveSeconds) {
    ASSERT_TRUE(picture_.LoadFromMemory(ToBlock(Animation(40, 5, 24)), 0) == false);
    std::vector<std::uint8_t> gif = Animation(40, 5, 24);
    ASSERT_TRUE(picture_.LoadFromMemory(ToBlock(gif), static_cast<DWORD>(gif.size())));
    EXPECT_TRUE(picture_.IsGif());
    EXPECT_EQ(picture_.GetFrameCount(), 40u);
    EXPECT_EQ(picture_.GetSize().cx, 24);
    EXPECT_EQ(ControlSize().cx, 24);
    EXPECT_EQ(ControlSize().cy, 24);
    ASSERT_TRUE(picture_.Show());
    EXPECT_TRUE(picture_.IsPlaying());
    ASSERT_TRUE(PumpUntil([&] { return picture_.GetFramesDrawn() >= 2; }, 3000));
    const int seen = picture_.GetFramesDrawn();
    ASSERT_TRUE(PumpUntil([&] { return picture_.GetFramesDrawn() > seen; }, 3000)) << "stuck at " << seen;
    const DWORD start = ::GetTickCount();
    EXPECT_TRUE(picture_.StopPlaying());
    const DWORD took = ::GetTickCount() - start;
    EXPECT_LT(took, 5000u);
    EXPECT_FALSE(picture_.IsPlaying());
    const int stopped_at = picture_.GetFramesDrawn();
    EXPECT_LT(stopped_at, 40);
    PumpFor(200);
    EXPECT_EQ(picture_.GetFramesDrawn(), stopped_at);
    std::printf("stopped after %d of 40 frames in %lu ms\n", stopped_at, static_cast<unsigned long>(took));
}

TEST_F(PictureExTest, DisposalClearsToButtonFaceOrRestoresAndLastFrameStays) {
    GifPlan plan;
    plan.width = 20;
    plan.height = 20;
    FrameSpec full = Rect(0, 0, 20, 20); // red everywhere
    full.delay = 5;
    FrameSpec cleared = Rect(0, 0, 10, 10); // green, then button face
    cleared.delay = 5;
    cleared.disposal = 2;
    cleared.colour = 2;
    FrameSpec restored = Rect(12, 12, 5, 5); // blue, then red again
    restored.delay = 5;
    restored.disposal = 3;
    restored.colour = 3;
    FrameSpec last = Rect(0, 18, 2, 2); // green; its disposal has no next frame to act before
    last.delay = 5;
    last.disposal = 2;
    last.colour = 2;
    plan.frames = {full, cleared, restored, last};
    std::vector<std::uint8_t> gif = WriteGif(plan);
    ASSERT_TRUE(picture_.LoadFromMemory(ToBlock(gif), static_cast<DWORD>(gif.size())));
    ASSERT_EQ(picture_.GetFrameCount(), 4u);
    EXPECT_EQ(picture_.GetBackgroundColor(), ::GetSysColor(COLOR_BTNFACE));
    // Before playing, the surface is the menu colour.
    EXPECT_EQ(picture_.GetSurfacePixel(5, 5), ::GetSysColor(COLOR_MENU));
    ::ShowWindow(parent_, SW_SHOW);
    ASSERT_TRUE(picture_.Show());
    ASSERT_TRUE(PumpUntil([&] { return !picture_.IsPlaying(); }, 5000));
    EXPECT_EQ(picture_.GetFramesDrawn(), 4);
    // What the control paints is the composed surface.
    PumpFor(50);
    ::UpdateWindow(picture_.GetSafeHwnd());
    {
        HDC dc = ::GetDC(picture_.GetSafeHwnd());
        EXPECT_EQ(::GetPixel(dc, 15, 5), kRed);
        EXPECT_EQ(::GetPixel(dc, 5, 5), ::GetSysColor(COLOR_BTNFACE));
        ::ReleaseDC(picture_.GetSafeHwnd(), dc);
    }
    EXPECT_EQ(picture_.GetSurfacePixel(5, 5), ::GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(picture_.GetSurfacePixel(15, 5), kRed);
    EXPECT_EQ(picture_.GetSurfacePixel(14, 14), kRed);
    EXPECT_EQ(picture_.GetSurfacePixel(1, 19), kGreen);
    EXPECT_EQ(picture_.GetSurfacePixel(20, 0), CLR_INVALID);
}

TEST_F(PictureExTest, ShortDelaysPlayAsOneTenthOfASecond) {
    auto play_ms = [&](int delay) {
        std::vector<std::uint8_t> gif = Animation(8, delay);
        EXPECT_TRUE(picture_.LoadFromMemory(ToBlock(gif), static_cast<DWORD>(gif.size())));
        const DWORD start = ::GetTickCount();
        EXPECT_TRUE(picture_.Show());
        EXPECT_TRUE(PumpUntil([&] { return !picture_.IsPlaying(); }, 5000));
        return ::GetTickCount() - start;
    };
    const DWORD three = play_ms(3); // eight waits of 100 ms
    const DWORD five = play_ms(5);  // eight waits of 50 ms
    std::printf("delay 3: %lu ms, delay 5: %lu ms for 8 frames\n", static_cast<unsigned long>(three),
                static_cast<unsigned long>(five));
    EXPECT_GE(three, 760u);
    EXPECT_GE(five, 370u);
    // Upper bounds leave room for a loaded machine; the order of the two is what must hold.
    EXPECT_LT(five, three);
    EXPECT_LT(five, 1000u);
}

TEST_F(PictureExTest, OneImageGifIsStillAndStartsNoThread) {
    GifPlan plan;
    plan.width = 12;
    plan.height = 9;
    FrameSpec only = Rect(0, 0, 12, 9);
    only.colour = 3;
    plan.frames = {only};
    std::vector<std::uint8_t> gif = WriteGif(plan);
    ASSERT_TRUE(picture_.LoadFromMemory(ToBlock(gif), static_cast<DWORD>(gif.size())));
    EXPECT_TRUE(picture_.IsGif());
    EXPECT_EQ(picture_.GetFrameCount(), 0u);
    EXPECT_EQ(ControlSize().cx, 12);
    EXPECT_EQ(ControlSize().cy, 9);
    ASSERT_TRUE(picture_.Show());
    EXPECT_FALSE(picture_.IsPlaying());
    EXPECT_EQ(picture_.GetSurfacePixel(6, 4), kBlue);
    EXPECT_EQ(picture_.GetFramesDrawn(), 0);
}

TEST_F(PictureExTest, BitmapIsStillAndSizedFromItsHimetricSize) {
    std::vector<std::uint8_t> bmp = SolidBitmap(7, 5, kGreen);
    ASSERT_TRUE(picture_.LoadFromMemory(ToBlock(bmp), static_cast<DWORD>(bmp.size())));
    EXPECT_FALSE(picture_.IsGif());
    // Pixels to HIMETRIC in the loader and back here may round by one.
    EXPECT_NEAR(picture_.GetSize().cx, 7, 1);
    EXPECT_NEAR(picture_.GetSize().cy, 5, 1);
    EXPECT_EQ(ControlSize().cx, picture_.GetSize().cx);
    ASSERT_TRUE(picture_.Show());
    EXPECT_EQ(picture_.GetSurfacePixel(3, 2), kGreen);
}

TEST_F(PictureExTest, LoadingAgainWhilePlayingStopsAndStartsAfresh) {
    const std::string slow = TempFile("cv_gif_slow.gif", Animation(3, 500)); // 5 s per frame
    GifPlan plan;
    plan.width = 16;
    plan.height = 16;
    FrameSpec a = Rect(0, 0, 16, 16);
    a.delay = 5;
    a.colour = 1;
    FrameSpec b = Rect(0, 0, 16, 16);
    b.delay = 5;
    b.colour = 3;
    plan.frames = {a, b};
    const std::string quick = TempFile("cv_gif_quick.gif", WriteGif(plan));

    ASSERT_TRUE(picture_.LoadFromFile(slow));
    ASSERT_TRUE(picture_.Show());
    ASSERT_TRUE(PumpUntil([&] { return picture_.GetFramesDrawn() >= 1; }, 3000));
    PumpFor(100);
    EXPECT_TRUE(picture_.IsPlaying());
    const DWORD start = ::GetTickCount();
    ASSERT_TRUE(picture_.LoadFromFile(quick));
    const DWORD took = ::GetTickCount() - start;
    // The stop event cuts the 5 s frame short; 5 s is only the longest the stop may wait.
    EXPECT_LT(took, 1000u);
    EXPECT_FALSE(picture_.IsPlaying());
    EXPECT_EQ(picture_.GetSize().cx, 16);
    ASSERT_TRUE(picture_.Show());
    ASSERT_TRUE(PumpUntil([&] { return !picture_.IsPlaying(); }, 3000));
    EXPECT_EQ(picture_.GetSurfacePixel(8, 8), kBlue);
    std::printf("reload during a 5 s frame took %lu ms\n", static_cast<unsigned long>(took));
    ::DeleteFileA(slow.c_str());
    ::DeleteFileA(quick.c_str());
    // A file that cannot be opened leaves the picture that is showing alone.
    EXPECT_FALSE(picture_.LoadFromFile(slow));
    EXPECT_TRUE(picture_.IsReady());
}

TEST_F(PictureExTest, DamagedFilesLoadWhatIsWholeOrFail) {
    std::vector<std::uint8_t> gif = Animation(3, 5);
    gif::Split whole = gif::SplitFrames(gif);
    ASSERT_EQ(whole.frames.size(), 3u);
    std::vector<std::uint8_t> cut(gif.begin(), gif.begin() + static_cast<long>(whole.frames[2].end - 3));
    ASSERT_TRUE(picture_.LoadFromMemory(ToBlock(cut), static_cast<DWORD>(cut.size())));
    EXPECT_EQ(picture_.GetFrameCount(), 2u);

    std::vector<std::uint8_t> header_only(gif.begin(), gif.begin() + 25);
    EXPECT_FALSE(picture_.LoadFromMemory(ToBlock(header_only), static_cast<DWORD>(header_only.size())));
    EXPECT_FALSE(picture_.IsReady());
    std::vector<std::uint8_t> junk(300, 0x5A);
    EXPECT_FALSE(picture_.LoadFromMemory(ToBlock(junk), static_cast<DWORD>(junk.size())));
    EXPECT_FALSE(picture_.Show());
    // A size larger than the block is refused rather than read past its end.
    EXPECT_FALSE(picture_.LoadFromMemory(ToBlock(gif), static_cast<DWORD>(gif.size() + 4096)));
    EXPECT_FALSE(picture_.LoadFromMemory(nullptr, 10));
}

TEST_F(PictureExTest, DestroyingTheWindowStopsTheAnimation) {
    std::vector<std::uint8_t> gif = Animation(3, 500);
    ASSERT_TRUE(picture_.LoadFromMemory(ToBlock(gif), static_cast<DWORD>(gif.size())));
    ASSERT_TRUE(picture_.Show());
    ASSERT_TRUE(PumpUntil([&] { return picture_.GetFramesDrawn() >= 1; }, 3000));
    const DWORD start = ::GetTickCount();
    ::DestroyWindow(parent_);
    parent_ = nullptr;
    EXPECT_LT(::GetTickCount() - start, 1000u);
    EXPECT_FALSE(picture_.IsPlaying());
    EXPECT_EQ(picture_.GetSafeHwnd(), nullptr);
}

} // namespace
} // namespace cv
