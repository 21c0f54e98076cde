// The framework layer against the real window manager under Wine.
#include "framework/dialog.h"
#include "framework/framewnd.h"
#include "framework/handle.h"
#include "framework/thread.h"
#include "framework/winapp.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace cv {
namespace {

constexpr UINT kWorkerHello = WM_APP + 7;

/// A plain window that counts what it is sent.
class CountingWindow : public CWnd {
  public:
    int paints = 0, timers = 0, hellos = 0;
    UINT_PTR last_timer = 0;

    bool Create() {
        RegisterWindowClass("CvTestWindow", 0, nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        return CreateEx(0, "CvTestWindow", "test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 150,
                        nullptr, nullptr);
    }

  protected:
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
        switch (msg) {
        case WM_PAINT: {
            PaintDC dc(m_hWnd);
            ++paints;
            return 0;
        }
        case WM_TIMER:
            ++timers;
            last_timer = w;
            return 0;
        case kWorkerHello:
            ++hellos;
            return 0;
        default:
            return Default(msg, w, l);
        }
    }
};

void PumpFor(DWORD ms) {
    DWORD start = ::GetTickCount();
    MSG msg;
    while (::GetTickCount() - start < ms) {
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        ::Sleep(5);
    }
}

TEST(DispatchingWait, ReturnsWhenTheThreadEndsAndKeepsTheWindowWorking) {
    CountingWindow window;
    ASSERT_TRUE(window.Create());
    PumpFor(100);
    const int paints_before = window.paints;
    HWND target = window.m_hWnd;
    CWinThread worker([target]() -> unsigned {
        for (int i = 0; i < 5; ++i) {
            ::PostMessageA(target, kWorkerHello, 0, 0);
            ::InvalidateRect(target, nullptr, TRUE);
            ::Sleep(60);
        }
        return 7;
    });
    ASSERT_TRUE(worker.CreateThread());
    DWORD start = ::GetTickCount();
    EXPECT_EQ(worker.WaitDispatching(), 7u);
    EXPECT_LT(::GetTickCount() - start, 5000u);
    EXPECT_FALSE(worker.running());
    // Messages were dispatched while the window thread waited.
    EXPECT_GE(window.hellos, 4);
    EXPECT_GT(window.paints, paints_before);
}

TEST(DispatchingWait, AQuitMessageSeenDuringTheWaitIsPostedAgain) {
    CWinThread worker([]() -> unsigned {
        ::Sleep(200);
        return 0;
    });
    ::PostQuitMessage(5);
    ASSERT_TRUE(worker.CreateThread());
    EXPECT_EQ(worker.WaitDispatching(), 0u);
    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 5u);
}

TEST(DispatchingWait, AFinishedThreadReturnsAtOnce) {
    CWinThread worker([]() -> unsigned { return 3; });
    ASSERT_TRUE(worker.CreateThread());
    ::Sleep(50);
    EXPECT_EQ(worker.WaitDispatching(), 3u);
}

TEST(Timers, FireUntilKilled) {
    CountingWindow window;
    ASSERT_TRUE(window.Create());
    ASSERT_NE(window.SetTimer(3, 20), 0u);
    DWORD start = ::GetTickCount();
    MSG msg;
    while (window.timers < 3 && ::GetTickCount() - start < 3000) {
        if (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageA(&msg);
        else
            ::Sleep(5);
    }
    EXPECT_GE(window.timers, 3);
    EXPECT_EQ(window.last_timer, 3u);
    EXPECT_TRUE(window.KillTimer(3));
    PumpFor(30); // a WM_TIMER already queued may still arrive
    const int after_kill = window.timers;
    PumpFor(200);
    EXPECT_EQ(window.timers, after_kill);
    EXPECT_FALSE(window.KillTimer(3));
}

bool IsOpenHandle(HANDLE h) {
    DWORD flags = 0;
    return ::GetHandleInformation(h, &flags) != FALSE;
}

TEST(UniqueHandle, ClosesOnEveryPath) {
    HANDLE raw = nullptr;
    {
        UniqueKernelHandle event(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
        raw = event.get();
        ASSERT_TRUE(IsOpenHandle(raw));
    }
    EXPECT_FALSE(IsOpenHandle(raw)) << "end of scope";

    try {
        UniqueKernelHandle event(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
        raw = event.get();
        throw std::runtime_error("leave early");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(IsOpenHandle(raw)) << "exception";

    UniqueKernelHandle first(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    HANDLE first_raw = first.get();
    UniqueKernelHandle moved(std::move(first));
    EXPECT_FALSE(first.valid());
    EXPECT_TRUE(IsOpenHandle(first_raw)) << "moving must not close";
    moved.reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    EXPECT_FALSE(IsOpenHandle(first_raw)) << "reset closes the old handle";

    HANDLE kept = moved.release();
    EXPECT_FALSE(moved.valid());
    EXPECT_TRUE(IsOpenHandle(kept)) << "release gives up ownership";
    ::CloseHandle(kept);
}

TEST(UniqueHandle, FilesUseTheInvalidHandleValue) {
    UniqueFile missing(::CreateFileA("Z:\\no\\such\\file.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(missing.valid());
    EXPECT_EQ(missing.get(), INVALID_HANDLE_VALUE);
}

/// A frame whose creation handler fails, as setup's main frame does without its settings.
class FailingFrame : public CFrameWnd {
  public:
    explicit FailingFrame(bool* deleted) : deleted_(deleted) {}
    ~FailingFrame() override { *deleted_ = true; }

  protected:
    int OnCreate(CREATESTRUCTA*) override { return -1; }

  private:
    bool* deleted_;
};

class WorkingFrame : public CFrameWnd {
  public:
    bool created = false;

  protected:
    int OnCreate(CREATESTRUCTA*) override {
        created = true;
        return 0;
    }
};

TEST(FrameWindow, FailedCreationReturnsFalseAndDeletesTheFrame) {
    bool deleted = false;
    auto* frame = new FailingFrame(&deleted);
    EXPECT_FALSE(frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE));
    EXPECT_TRUE(deleted);
}

TEST(FrameWindow, LoadsTheMenuOfItsResource) {
    WorkingFrame frame;
    frame.delete_on_destroy = false;
    ASSERT_TRUE(frame.LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE));
    EXPECT_TRUE(frame.created);
    HMENU menu = ::GetMenu(frame.m_hWnd);
    ASSERT_NE(menu, nullptr);
    char text[32] = {};
    ::GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&File");
    // The frame style flag is not passed on as a window style.
    LONG style = ::GetWindowLongA(frame.m_hWnd, GWL_STYLE);
    EXPECT_EQ(style & FWS_ADDTOTITLE, 0);
    frame.DestroyWindow();
}

/// Closes itself with a result chosen in OnInitDialog.
class AutoClosingDialog : public CDialog {
  public:
    AutoClosingDialog() : CDialog(IDD_MSG) {}
    std::string text;

  protected:
    BOOL OnInitDialog() override {
        char buf[64] = {};
        ::GetWindowTextA(m_hWnd, buf, sizeof buf);
        text = buf;
        ::PostMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return TRUE;
    }
};

TEST(Dialog, ModalFromTemplateEndsWithTheResultOfItsButton) {
    AutoClosingDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.text, "Corvane");
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(Dialog, ModelessIsCreatedCentredAndDestroyedByEndDialog) {
    CDialog dialog(IDD_CANCELSETUP);
    ASSERT_TRUE(dialog.Create());
    dialog.CenterOnPrimaryScreen();
    RECT rc = dialog.GetWindowRect();
    int cx = (rc.left + rc.right) / 2, cy = (rc.top + rc.bottom) / 2;
    EXPECT_NEAR(cx, ::GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR(cy, ::GetSystemMetrics(SM_CYSCREEN) / 2, 1);
    char caption[64] = {};
    ::GetWindowTextA(dialog.m_hWnd, caption, sizeof caption);
    EXPECT_STREQ(caption, "Ambrel Corvane");
    EXPECT_NE(dialog.GetDlgItem(IDC_TEXT), nullptr);
    dialog.EndDialog(IDOK);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(Dialog, MissingTemplateFails) {
    CDialog dialog(9999);
    EXPECT_EQ(dialog.DoModal(), -1);
}

} // namespace
} // namespace cv
