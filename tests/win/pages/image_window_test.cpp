// The page window under Wine: a layout file in a temp folder becomes a page whose controls,
// caption, size and position follow the file.

#include "framework/winapp.h"
#include "pages/image_window_win.h"
#include "common/setup_state.h"
#include "pages/page_rules.h"
#include "tests/win/support/fake_wizard_host.h"

#include <gtest/gtest.h>

#include <ole2.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace cv {
namespace {

std::string TempFolder() {
    char buf[MAX_PATH];
    ::GetTempPathA(sizeof buf, buf);
    std::string folder = std::string(buf) + "cv_pages_test\\";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

/// A 24-bit bitmap file of w by h with a diagonal colour ramp.
void WriteBitmap(const std::string& path, int w, int h, COLORREF from, COLORREF to) {
    int stride = (w * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = w;
    info.biHeight = h;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = static_cast<DWORD>(stride * h);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    std::vector<unsigned char> pixels(info.biSizeImage);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int t = (x + y) * 255 / (w + h);
            auto mix = [t](int a, int b) { return static_cast<unsigned char>(a + (b - a) * t / 255); };
            unsigned char* p = &pixels[static_cast<std::size_t>(y * stride + x * 3)];
            p[0] = mix(GetBValue(from), GetBValue(to));
            p[1] = mix(GetGValue(from), GetGValue(to));
            p[2] = mix(GetRValue(from), GetRValue(to));
        }
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(reinterpret_cast<const char*>(pixels.data()), static_cast<std::streamsize>(pixels.size()));
}

/// Dispatches messages for `ms` milliseconds the way the application's loop does.
void Pump(DWORD ms) {
    DWORD end = ::GetTickCount() + ms;
    do {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (CWinApp::PreTranslate(&msg))
                continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        ::Sleep(10);
    } while (static_cast<int>(::GetTickCount() - end) < 0);
}

int CaptionHeight() {
    NONCLIENTMETRICSA m{};
    m.cbSize = sizeof m;
    ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0);
    return m.iCaptionHeight;
}

std::string TextOf(HWND wnd) {
    char buf[512] = "";
    ::GetWindowTextA(wnd, buf, sizeof buf);
    return buf;
}

/// An element line "x,y,w,h,TYPE,{picture},x,key".
std::string Line(int x, int y, int w, int h, const char* type, int key, const char* picture = "{}") {
    char buf[256];
    std::snprintf(buf, sizeof buf, "e,%d,%d,%d,%d,%s,%s,t,%d", x, y, w, h, type, picture, key);
    return buf;
}

class PageTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        ::OleInitialize(nullptr);
        richedit_ = ::LoadLibraryA("RICHED32.DLL");
        folder_ = TempFolder();
        WriteBitmap(folder_ + "back.bmp", 250, 200, RGB(40, 70, 140), RGB(170, 200, 240));
        WriteBitmap(folder_ + "logo.bmp", 120, 60, RGB(250, 160, 30), RGB(200, 40, 40));
        WriteFile(folder_ + "welcome.lcd", WelcomeLayout());
    }
    static void TearDownTestSuite() {
        if (richedit_)
            ::FreeLibrary(richedit_);
        ::OleUninitialize();
    }

    static std::string WelcomeLayout() {
        std::vector<std::pair<std::string, std::vector<std::string>>> e = {
            {Line(150, 16, 330, 30, "TEXT", 0), {"Name|IDC_TITLE|0", "Caption|Welcome to <ProductName>|0", "Align|1|0",
                                                  "Color|20,40,120|0", "Back|COLOR_BTNFACE|0", "Face|Tahoma|0",
                                                  "Size|14|0", "Bold|Yes|0", "Italic|No|0"}},
            {Line(150, 60, 330, 90, "TEXT", 1), {"Name|IDC_BODY|0",
                                                  "Caption|This wizard installs the product on your computer. "
                                                  "Click Next to continue.|0",
                                                  "Align|1|0", "Color|0,0,0|0", "Back||0", "Face|Tahoma|0", "Size|9|0",
                                                  "Bold|No|0", "Italic|No|0"}},
            {Line(16, 16, 0, 0, "BITMAP", 2, "{logo.bmp}"), {"Name|x|0", "File|x|0", "Back|0 - none|0"}},
            {Line(16, 100, 0, 0, "ICON", 3), {"Name|x|0", "Icon|IDI_SETUP|0", "Back|255,255,255|0"}},
            {Line(150, 160, 330, 20, "CHECKBOX", 4), {"Name|IDC_LAUNCHFILE|0", "Text|Run the program afterwards|0",
                                                       "Back||0", "Color||0"}},
            {Line(150, 185, 330, 20, "RADIO", 5), {"Name|IDC_ANYONE|0", "Text|Anyone who uses this computer|0",
                                                    "Back|COLOR_BTNFACE|0", "Color|128,0,0|0"}},
            {Line(150, 212, 200, 22, "TEXTBOX", 6), {"Name|IDC_INSTALLDIR|0"}},
            {Line(360, 212, 120, 200, "COMBOBOX", 7), {"Name|IDC_LANGUAGE|0"}},
            {Line(150, 245, 330, 18, "PROGRESS", 8), {"Name|IDC_DOWNLOADPROGRESS|0"}},
            {Line(150, 268, 330, 18, "TEXT", 9), {"Name|IDC_INFO|0", "Caption||0"}},
            {Line(10, 300, 470, 2, "FRAME", 10), {}},
            {Line(230, 312, 80, 24, "BUTTON", 11), {"Name|IDC_BACK|0", "Caption|< Back|0", "Align|0|0", "Face|Tahoma|0",
                                                     "Size|8|0", "Bold|No|0", "Italic|No|0", "On Click|2 - Back|0"}},
            {Line(315, 312, 80, 24, "BUTTON", 12), {"Name|IDC_NEXT|0", "Caption|Next >|0", "Align|0|0", "Face|Tahoma|0",
                                                     "Size|8|0", "Bold|No|0", "Italic|No|0", "On Click|1 - Next|0"}},
            {Line(400, 312, 20, 5, "BUTTON", 13), {"Name|IDCANCEL|0", "Caption|Cancel|0"}},
            {Line(0, 0, 10, 10, "NOSUCHTYPE", 14), {"Name|IDC_GHOST|0"}},
        };
        std::string text =
            "[MAINWINDOW]\nidcname=IDD_WELCOME\ncaption=Welcome page\nbkimage={" + folder_ + "back.bmp}\n"
            "border=1\nstartup=0\nbkcolor=200,220,255\nwidth=500\nheight=400\nminwindow=Yes\nmaxwindow=\n"
            "closewindow=Yes\nfontname=Tahoma\nfontsize=8\nfontbold=No\nfontitalic=No\n[INFO]\nTOTAL=" +
            std::to_string(e.size()) + "\n";
        for (std::size_t i = 0; i < e.size(); ++i)
            text += std::to_string(i) + "=" + e[i].first + "\n";
        text += "[DADOS]\n";
        for (std::size_t i = 0; i < e.size(); ++i) {
            text += std::to_string(i) + ",t=" + std::to_string(e[i].second.size()) + "\n";
            for (std::size_t j = 0; j < e[i].second.size(); ++j)
                text += std::to_string(i) + "," + std::to_string(j) + "=" + e[i].second[j] + "\n";
        }
        return text;
    }

    /// A page of the test's wizard, created and loaded from `file`.
    std::unique_ptr<CImageWindow> Load(const std::string& file, int index = 1, int count = 5) {
        auto page = std::make_unique<CImageWindow>(host_);
        page->deleteOnDestroy = false;
        EXPECT_TRUE(page->Create());
        page->LoadPage(folder_, file, index, count);
        return page;
    }

    static inline std::string folder_;
    static inline HMODULE richedit_ = nullptr;
    test::FakeWizardHost host_;
};

TEST_F(PageTest, ElementsGetIdentifiersFrom3000InReverseFileOrder) {
    host_.values.product_name = "Halvard Notes";
    auto page = Load("welcome.lcd");
    EXPECT_EQ(host_.opened, page.get());
    const auto& elements = page->elements();
    ASSERT_EQ(elements.size(), 14u); // the unknown type creates nothing
    for (std::size_t i = 0; i < elements.size(); ++i) {
        int expected = 3000 + static_cast<int>(elements.size() - 1 - i);
        SCOPED_TRACE(elements[i].name);
        EXPECT_EQ(elements[i].layout.controlId, expected);
        ASSERT_NE(elements[i].control, nullptr);
        EXPECT_EQ(::GetDlgCtrlID(elements[i].control->m_hWnd), expected);
        EXPECT_EQ(::GetParent(elements[i].control->m_hWnd), page->m_hWnd);
        EXPECT_EQ(page->ElementIndexOfControl(expected), static_cast<int>(i));
    }
    EXPECT_EQ(page->FindControlByName("IDC_TITLE"), 3013);
    EXPECT_EQ(page->FindControlByName("IDCANCEL"), 3000);
    EXPECT_EQ(page->FindControlByName("IDC_GHOST"), -1);
    // The body is the second TEXT label, the info line the third.
    EXPECT_EQ(page->TableIndexOfControl(page->FindControlByName("IDC_INFO")), 0);
    EXPECT_EQ(page->TableIndexOfControl(page->FindControlByName("IDC_TITLE")), 2);
    EXPECT_EQ(page->tableUsed(ControlTable::Text), 3);
    EXPECT_EQ(page->TableIndexOfControl(4000), -1);

    // Texts with variables are expanded; the checkbox keeps its text as written.
    EXPECT_EQ(TextOf(page->GetDlgItem(3013)), "Welcome to Halvard Notes");
    EXPECT_EQ(TextOf(page->GetDlgItem(page->FindControlByName("IDC_NEXT"))), "Next >");

    // Minimum size, picture size, icon size, combo height.
    RECT rc;
    ::GetWindowRect(page->GetDlgItem(3000), &rc);
    EXPECT_EQ(rc.right - rc.left, 90);
    EXPECT_EQ(rc.bottom - rc.top, 25);
    const PageElement& logo = elements[2];
    EXPECT_EQ(logo.layout.width, 120);
    EXPECT_EQ(logo.layout.height, 60);
    ::GetWindowRect(logo.control->m_hWnd, &rc);
    EXPECT_EQ(rc.right - rc.left, 120);
    EXPECT_EQ(elements[3].layout.width, 32);
    auto* icon = dynamic_cast<CMyStatic*>(elements[3].control);
    ASSERT_NE(icon, nullptr);
    EXPECT_TRUE(icon->iconMode());
    EXPECT_NE(icon->icon(), nullptr);
    EXPECT_EQ(icon->backgroundColor(), RGB(255, 255, 255));
    EXPECT_LT(elements[7].layout.height, 200);

    // The window keys: next is the default button, the page font comes from the layout.
    HWND next = page->GetDlgItem(page->FindControlByName("IDC_NEXT"));
    EXPECT_EQ(::GetWindowLongA(next, GWL_STYLE) & BS_DEFPUSHBUTTON, BS_DEFPUSHBUTTON);
    EXPECT_TRUE(::IsWindowEnabled(page->GetDlgItem(page->FindControlByName("IDC_BACK"))));
    LOGFONTA font{};
    ASSERT_TRUE(::GetObjectA(host_.font.get(), sizeof font, &font));
    EXPECT_STREQ(font.lfFaceName, "Tahoma");
    EXPECT_EQ(font.lfWeight, FW_NORMAL);
    LONG style = ::GetWindowLongA(page->m_hWnd, GWL_STYLE);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_BORDER);
    EXPECT_TRUE(::GetWindowLongA(page->m_hWnd, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_EQ(page->backgroundColorText(), "200,220,255");
    EXPECT_EQ(page->backgroundPictureLoaded(), 255);
    EXPECT_FALSE(::IsWindowVisible(page->GetDlgItem(page->FindControlByName("IDC_DOWNLOADPROGRESS"))));
}

TEST_F(PageTest, CaptionSizeAndPlacementFollowTheLayout) {
    auto page = Load("welcome.lcd");
    EXPECT_EQ(TextOf(page->m_hWnd), "Welcome page");
    int c = CaptionHeight();
    std::printf("caption height %d, screen %dx%d\n", c, ::GetSystemMetrics(SM_CXSCREEN),
                ::GetSystemMetrics(SM_CYSCREEN));
    // The harness's Xvfb screen; Wine's caption metric there is 18 (the caption bar with its
    // edge, SM_CYCAPTION, is 19), so the page is 7 pixels shorter than the layout says.
    EXPECT_EQ(::GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(::GetSystemMetrics(SM_CYSCREEN), 768);
    EXPECT_EQ(c, ::GetSystemMetrics(SM_CYCAPTION) - 1);
    int h = c <= 24 ? 400 - (25 - c) : 400;
    RECT rc = page->GetWindowRect();
    EXPECT_EQ(rc.right - rc.left, 500);
    EXPECT_EQ(rc.bottom - rc.top, h);
    EXPECT_EQ(rc.left, ::GetSystemMetrics(SM_CXSCREEN) / 2 - 250);
    EXPECT_EQ(rc.top, ::GetSystemMetrics(SM_CYSCREEN) / 2 - h / 2);

    // Bottom right, 35 pixels above the screen's bottom edge.
    WriteFile(folder_ + "corner.lcd", "[MAINWINDOW]\ncaption=Corner\nstartup=5 - bottom right\nwidth=300\nheight=200\n");
    auto corner = Load("corner.lcd");
    rc = corner->GetWindowRect();
    int ch = c <= 24 ? 200 - (25 - c) : 200;
    EXPECT_EQ(rc.left, ::GetSystemMetrics(SM_CXSCREEN) - 300);
    EXPECT_EQ(rc.top, ::GetSystemMetrics(SM_CYSCREEN) - ch - 35);
    EXPECT_EQ(rc.bottom - rc.top, ch);

    // Code 1 leaves the window as the template made it.
    CImageWindow plain(host_);
    plain.deleteOnDestroy = false;
    ASSERT_TRUE(plain.Create());
    RECT before = plain.GetWindowRect();
    WriteFile(folder_ + "keep.lcd", "[MAINWINDOW]\ncaption=Keep\nstartup=1\nwidth=300\nheight=200\n");
    plain.LoadPage(folder_, "keep.lcd", 0, 5);
    RECT after = plain.GetWindowRect();
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
    EXPECT_EQ(after.left, before.left);
}

TEST_F(PageTest, AnOverLongLayoutIsCut) {
    std::string text = "[MAINWINDOW]\ncaption=" + std::string(400, 'C') + "\nwidth=400\nheight=300\n[INFO]\nTOTAL=90\n";
    const char* types[] = {"BUTTON", "TEXT", "CHECKBOX", "RADIO", "BITMAP", "PROGRESS"};
    for (int i = 0; i < 90; ++i)
        text += std::to_string(i) + "=" + Line(i, i, 40, 20, types[i % 6], i) + "\n";
    text += "[DADOS]\n";
    for (int i = 0; i < 90; ++i) {
        text += std::to_string(i) + ",t=30\n";
        for (int j = 0; j < 30; ++j)
            text += std::to_string(i) + "," + std::to_string(j) + "=P|" + std::string(300, 'v') + "|0\n";
    }
    WriteFile(folder_ + "long.lcd", text);
    auto page = Load("long.lcd");
    EXPECT_EQ(TextOf(page->m_hWnd).size(), 255u);
    const auto& elements = page->elements();
    // 70 lines are read; six types of which each may have 15: 12 lines each, BITMAP and
    // PROGRESS included; every table stays within its bound.
    EXPECT_EQ(elements.size(), 70u);
    for (ControlTable t : {ControlTable::Button, ControlTable::Text, ControlTable::CheckBox, ControlTable::Radio,
                           ControlTable::Picture, ControlTable::Progress})
        EXPECT_LE(page->tableUsed(t), 15);
    for (const PageElement& e : elements) {
        EXPECT_EQ(e.layout.properties.size(), 15u);
        EXPECT_EQ(e.layout.properties[1].value.size(), 253u); // "P|" and 253 of the 300
    }
    EXPECT_FALSE(page->layoutWarnings().empty());
    // Identifiers above 3030 exist but the lookups still find them.
    EXPECT_EQ(page->ElementIndexOfControl(3069), 0);
    EXPECT_NE(page->ControlOf(3069), nullptr);
}

TEST_F(PageTest, MissingControlsAndFilesAreIgnored) {
    auto page = Load("no-such-file.lcd");
    EXPECT_TRUE(page->elements().empty());
    EXPECT_EQ(page->FindControlByName("IDC_NEXT"), -1);
    EXPECT_EQ(page->ControlOf(-1), nullptr);
    EXPECT_EQ(page->ElementIndexOfControl(3000), -1);
    page->SetProgressText("text", 0);
    page->SetProgressText("text", 1);
    page->SetProgressText("text", 7);
    page->ShowDownloadProgress();
    page->UpdateDownloadProgress("50,1 min,more");
    page->HideDownloadProgress();
    page->SetFeatureInfo("feature");
    EXPECT_EQ(page->backgroundPictureLoaded(), 0);
    EXPECT_EQ(TextOf(page->m_hWnd), "");
}

TEST_F(PageTest, DownloadProgressAndTextsFromAWorkerThread) {
    auto page = Load("welcome.lcd");
    HWND bar = page->GetDlgItem(page->FindControlByName("IDC_DOWNLOADPROGRESS"));
    HWND info = page->GetDlgItem(page->FindControlByName("IDC_INFO"));
    bool done = false;
    std::thread worker([&] {
        page->ShowDownloadProgress();
        page->UpdateDownloadProgress("42,1 min 5 sec,84 KB of 200 KB");
        done = true;
    });
    while (!done)
        Pump(20);
    worker.join();
    EXPECT_TRUE(::IsWindowVisible(bar) || !::IsWindowVisible(page->m_hWnd));
    EXPECT_TRUE(::GetWindowLongA(bar, GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(::SendMessageA(bar, PBM_GETPOS, 0, 0), 42);
    EXPECT_EQ(TextOf(info), "Estimated time left: 1 min 5 sec - 84 KB of 200 KB");
    page->HideDownloadProgress();
    EXPECT_FALSE(::GetWindowLongA(bar, GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(::SendMessageA(bar, PBM_GETPOS, 0, 0), 0);
}

TEST_F(PageTest, ACheckBoxClickTogglesIt) {
    auto page = Load("welcome.lcd");
    HWND box = page->GetDlgItem(page->FindControlByName("IDC_LAUNCHFILE"));
    EXPECT_EQ(::SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    ::SendMessageA(page->m_hWnd, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(box), BN_CLICKED),
                   reinterpret_cast<LPARAM>(box));
    EXPECT_EQ(::SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    ::SendMessageA(page->m_hWnd, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(box), BN_CLICKED),
                   reinterpret_cast<LPARAM>(box));
    EXPECT_EQ(::SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(PageTest, FirstAndLastPagesDisableTheirButtons) {
    auto first = Load("welcome.lcd", 0, 5);
    EXPECT_FALSE(::IsWindowEnabled(first->GetDlgItem(first->FindControlByName("IDC_BACK"))));
    EXPECT_TRUE(::IsWindowEnabled(first->GetDlgItem(first->FindControlByName("IDCANCEL"))));
    auto last = Load("welcome.lcd", 4, 5);
    EXPECT_FALSE(::IsWindowEnabled(last->GetDlgItem(last->FindControlByName("IDC_BACK"))));
    EXPECT_FALSE(::IsWindowEnabled(last->GetDlgItem(last->FindControlByName("IDCANCEL"))));
    EXPECT_TRUE(::IsWindowEnabled(last->GetDlgItem(last->FindControlByName("IDC_NEXT"))));
}

TEST_F(PageTest, AGroupBoxShowsThePageBackgroundInside) {
    // A page clips its children, and a group box does not paint its inside: the page must
    // paint it, or the box shows whatever the screen held before.
    const std::string layout =
        "[MAINWINDOW]\nidcname=IDD_GROUP\ncaption=Group\nbkimage=\nborder=1\nstartup=0\n"
        "bkcolor=200,220,255\nwidth=300\nheight=200\nminwindow=\nmaxwindow=\ncloswindow=\n"
        "fontname=Tahoma\nfontsize=8\nfontbold=No\nfontitalic=No\n[INFO]\nTOTAL=3\n"
        "0=" + Line(20, 20, 200, 120, "GROUPBOX", 0) + "\n1=" + Line(40, 60, 100, 20, "BUTTON", 1) + "\n"
        "2=" + Line(230, 20, 60, 120, "GROUPBOX", 2) + "\n"
        "[DADOS]\n0,t=1\n0,0=Name|box|0\n1,t=2\n1,0=Name|IDC_INSIDE|0\n1,1=Caption|Inside|0\n"
        "2,t=3\n2,0=Name|own|0\n2,1=Caption|Own|0\n2,2=Back|255,255,255|0\n";
    WriteFile(folder_ + "group.lcd", layout);
    auto page = Load("group.lcd");
    page->ShowWindow(SW_SHOW);
    page->UpdateWindow();
    Pump(300);
    // Group boxes are named by their table entry; tell the two apart by their place.
    std::vector<HWND> boxes;
    for (HWND c = ::GetWindow(page->m_hWnd, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
        if ((::GetWindowLongA(c, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX)
            boxes.push_back(c);
    ASSERT_EQ(boxes.size(), 2u);
    RECT r{}, own{};
    ::GetWindowRect(boxes[0], &r);
    ::GetWindowRect(boxes[1], &own);
    if (own.left < r.left)
        std::swap(r, own);
    HWND inside = page->GetDlgItem(page->FindControlByName("IDC_INSIDE"));
    ASSERT_NE(inside, nullptr);
    HDC screen = ::GetDC(nullptr);
    const COLORREF empty_part = ::GetPixel(screen, r.right - 30, r.bottom - 20);
    RECT b{};
    ::GetWindowRect(inside, &b);
    const COLORREF button_face = ::GetPixel(screen, b.left + 5, b.top + 4);
    const COLORREF own_inside = ::GetPixel(screen, own.left + 30, own.bottom - 20);
    ::ReleaseDC(nullptr, screen);
    EXPECT_EQ(empty_part, RGB(200, 220, 255));
    EXPECT_EQ(own_inside, RGB(255, 255, 255)); // a box with a colour of its own shows it
    // The control inside the box stays visible over the painted inside.
    EXPECT_NE(button_face, RGB(200, 220, 255));
}

/// A layout of `elements` (an element line and its properties each) on a plain 400 by 300 page.
std::string SmallLayout(const std::vector<std::pair<std::string, std::vector<std::string>>>& e) {
    std::string text = "[MAINWINDOW]\ncaption=Small\nwidth=400\nheight=300\n[INFO]\nTOTAL=" +
                       std::to_string(e.size()) + "\n";
    for (std::size_t i = 0; i < e.size(); ++i)
        text += std::to_string(i) + "=" + e[i].first + "\n";
    text += "[DADOS]\n";
    for (std::size_t i = 0; i < e.size(); ++i) {
        text += std::to_string(i) + ",t=" + std::to_string(e[i].second.size()) + "\n";
        for (std::size_t j = 0; j < e[i].second.size(); ++j)
            text += std::to_string(i) + "," + std::to_string(j) + "=" + e[i].second[j] + "\n";
    }
    return text;
}

std::pair<std::string, std::vector<std::string>> NamedButton(int key, const char* name) {
    return {Line(10 + 90 * key, 250, 80, 24, "BUTTON", key), {std::string("Name|") + name + "|0", "Caption|x|0"}};
}

/// Clicks the control named `name` as the user would.
void Click(CImageWindow& page, const char* name) {
    int id = page.FindControlByName(name);
    ASSERT_NE(id, -1) << name;
    ::SendMessageA(page.m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(page.GetDlgItem(id)));
}

bool Checked(CImageWindow& page, const char* name) {
    return ::SendMessageA(page.GetDlgItem(page.FindControlByName(name)), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

using Reports = std::vector<std::string>;

TEST_F(PageTest, NavigationClicksAreReportedAndThePageEndsItself) {
    WriteFile(folder_ + "nav.lcd", SmallLayout({NamedButton(0, "IDC_BACK"), NamedButton(1, "IDC_NEXT"),
                                                NamedButton(2, "IDC_OTHER")}));
    auto page = Load("nav.lcd");
    Click(*page, "IDC_OTHER");
    EXPECT_EQ(host_.reports, (Reports{"click IDC_OTHER -1 nav.lcd"}));
    EXPECT_NE(page->m_hWnd, nullptr); // an unknown control leaves the page standing
    Click(*page, "IDC_NEXT");
    EXPECT_EQ(host_.reports.back(), "click IDC_NEXT -1 nav.lcd");
    EXPECT_EQ(page->m_hWnd, nullptr);
    EXPECT_EQ(host_.opened, page.get()); // the object lives on until it is deleted
    page.reset();
    EXPECT_EQ(host_.opened, nullptr);    // and its end is reported
}

TEST_F(PageTest, AMissingIconPictureIsLeftToTheWizardToShowOrLog) {
    const std::string missing = folder_ + "missing.ico";
    WriteFile(folder_ + "icon.lcd", SmallLayout({{Line(16, 16, 0, 0, "ICON", 0), {"Name|x|0", "Icon|" + missing + "|0"}}}));
    auto page = Load("icon.lcd");
    EXPECT_EQ(host_.reports, (Reports{"message File not found: (" + missing + ")"}));
}

TEST_F(PageTest, SetupTypeIsShownFromTheChoicesAndReportedWhenClicked) {
    WriteFile(folder_ + "setuptype.lcd",
              SmallLayout({{Line(10, 10, 200, 20, "RADIO", 0), {"Name|IDC_TYPICAL|0", "Text|Typical|0"}},
                           {Line(10, 40, 200, 20, "RADIO", 1), {"Name|IDC_MINIMAL|0", "Text|Minimal|0"}},
                           {Line(10, 70, 200, 20, "RADIO", 2), {"Name|IDC_CUSTOM|0", "Text|Custom|0"}}}));
    host_.choices.setupType = 2;
    auto page = Load("setuptype.lcd");
    EXPECT_TRUE(Checked(*page, "IDC_CUSTOM"));
    EXPECT_FALSE(Checked(*page, "IDC_TYPICAL"));
    EXPECT_EQ(host_.reports, (Reports{"setup type 2"}));
    Click(*page, "IDC_MINIMAL");
    EXPECT_TRUE(Checked(*page, "IDC_MINIMAL"));
    EXPECT_FALSE(Checked(*page, "IDC_CUSTOM"));
    EXPECT_EQ(host_.reports.back(), "setup type 1");
    EXPECT_EQ(host_.choices.setupType, 1);
}

TEST_F(PageTest, CompletionPageOffersTheLaunchBoxesTheSettingsAllowAndReportsToggles) {
    WriteFile(folder_ + "complete.lcd",
              SmallLayout({{Line(10, 10, 200, 20, "CHECKBOX", 0), {"Name|IDC_LAUNCHFILE|0", "Text|Run|0"}},
                           {Line(10, 40, 200, 20, "CHECKBOX", 1), {"Name|IDC_LAUNCHREADME|0", "Text|Read|0"}},
                           NamedButton(2, "IDC_FINISH")}));
    // The offers come from the wizard (read at start-up), not from the settings file, which
    // may be gone with the work folder by now: a file saying otherwise is not read.
    host_.choices.launchReadmeOffered = false;
    host_.settings["DIALOGLIST/CT12"] = "Yes";
    setupState().installAborted = kNotSet;
    auto page = Load("complete.lcd", 5, 5);
    EXPECT_TRUE(::GetWindowLongA(page->GetDlgItem(page->FindControlByName("IDC_LAUNCHFILE")), GWL_STYLE) &
                WS_VISIBLE);
    EXPECT_TRUE(Checked(*page, "IDC_LAUNCHFILE"));
    EXPECT_FALSE(::GetWindowLongA(page->GetDlgItem(page->FindControlByName("IDC_LAUNCHREADME")), GWL_STYLE) &
                 WS_VISIBLE);
    EXPECT_EQ(host_.reports, (Reports{"launch file on"}));
    Click(*page, "IDC_LAUNCHFILE");
    EXPECT_FALSE(Checked(*page, "IDC_LAUNCHFILE"));
    Click(*page, "IDC_LAUNCHFILE");
    EXPECT_TRUE(Checked(*page, "IDC_LAUNCHFILE"));
    EXPECT_EQ(host_.reports, (Reports{"launch file on", "launch file off", "launch file on"}));
    EXPECT_EQ(host_.choices.launchReadme, 0);
}

TEST_F(PageTest, CustomerNamesAreReportedBeforeTheClickGoesOn) {
    WriteFile(folder_ + "customer.lcd",
              SmallLayout({{Line(10, 10, 200, 22, "TEXTBOX", 0), {"Name|IDC_USERNAME|0"}},
                           {Line(10, 40, 200, 22, "TEXTBOX", 1), {"Name|IDC_ORGANIZATION|0"}},
                           {Line(10, 70, 200, 20, "RADIO", 2), {"Name|IDC_ANYONE|0", "Text|Anyone|0"}},
                           {Line(10, 100, 200, 20, "RADIO", 3), {"Name|IDC_ONLYFORME|0", "Text|Me|0"}},
                           NamedButton(4, "IDC_NEXT")}));
    host_.settings["DIALOGLIST/CT19"] = "Yes";
    host_.choices.userName = "Ann";
    host_.choices.companyName = "Acme";
    host_.choices.allUsers = 0;
    auto page = Load("customer.lcd");
    HWND user = page->GetDlgItem(page->FindControlByName("IDC_USERNAME"));
    EXPECT_EQ(TextOf(user), "Ann");
    EXPECT_TRUE(Checked(*page, "IDC_ONLYFORME"));
    EXPECT_FALSE(Checked(*page, "IDC_ANYONE"));
    Click(*page, "IDC_ANYONE");
    EXPECT_EQ(host_.reports, (Reports{"install for anyone"}));
    ::SetWindowTextA(user, "Bo");
    Click(*page, "IDC_NEXT");
    EXPECT_EQ(host_.reports, (Reports{"install for anyone", "customer Bo / Acme", "click IDC_NEXT -1 customer.lcd"}));
}

TEST_F(PageTest, BrowseAsksTheHostAndReportsTheFolderWithItsBackslash) {
    WriteFile(folder_ + "destination.lcd",
              SmallLayout({{Line(10, 10, 300, 22, "TEXTBOX", 0), {"Name|IDC_INSTALLDIR|0"}},
                           NamedButton(1, "IDC_BROWSE")}));
    setupState().installFolder = "C:\\Program Files\\Halvard\\";
    auto page = Load("destination.lcd");
    HWND folder = page->GetDlgItem(page->FindControlByName("IDC_INSTALLDIR"));
    EXPECT_EQ(TextOf(folder), "C:\\Program Files\\Halvard\\");
    Click(*page, "IDC_BROWSE"); // the user closes the chooser without a folder
    EXPECT_EQ(host_.reports, (Reports{"choose folder? Ambrel Corvane"}));
    host_.folderToChoose = "D:\\Apps";
    Click(*page, "IDC_BROWSE");
    EXPECT_EQ(host_.reports.back(), "folder D:\\Apps\\");
    EXPECT_EQ(TextOf(folder), "D:\\Apps\\");
    // Keeping the folder is the host's to do; the page wrote nothing of its own.
    EXPECT_EQ(setupState().installFolder, "C:\\Program Files\\Halvard\\");
    setupState().installFolder.clear();
}

TEST_F(PageTest, CancelRunsOnlyWhenTheHostConfirms) {
    WriteFile(folder_ + "cancel.lcd", SmallLayout({NamedButton(0, "IDCANCEL")}));
    setupState().cancelFlag = 0;
    setupState().installAborted = kNotSet;
    auto page = Load("cancel.lcd");
    Click(*page, "IDCANCEL");
    EXPECT_EQ(host_.reports, (Reports{"confirm cancel?"}));
    EXPECT_EQ(setupState().cancelFlag, 0);
    EXPECT_NE(page->m_hWnd, nullptr);

    host_.confirmCancel = true;
    Click(*page, "IDCANCEL");
    EXPECT_EQ(host_.reports, (Reports{"confirm cancel?", "confirm cancel?", "click IDC_NEXT 0 cancel.lcd"}));
    EXPECT_EQ(setupState().cancelFlag, 1);
    EXPECT_EQ(setupState().installAborted, kOn);
    EXPECT_EQ(page->m_hWnd, nullptr); // the wizard did not keep it as its page
    setupState().cancelFlag = 0;
    setupState().installAborted = kNotSet;
}

TEST_F(PageTest, Screenshot) {
    host_.values.product_name = "Halvard Notes";
    auto page = Load("welcome.lcd");
    page->ShowWindow(SW_SHOW);
    page->UpdateWindow();
    page->SetProgressText("Ready to install.", 0);
    Pump(1500);
    const char* out = std::getenv("CV_TEST_OUTPUT");
    if (!out) {
        GTEST_SKIP() << "CV_TEST_OUTPUT not set";
    }
    // Wine starts Unix programs given by their Unix path.
    std::string png = std::string(out) + "/welcome.png";
    std::string command = "/usr/bin/import -window root " + png;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    ASSERT_TRUE(::CreateProcessA("/usr/bin/import", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        << ::GetLastError();
    ::WaitForSingleObject(pi.hProcess, 20000);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    Pump(200);
    std::string windows_path = "Z:" + png;
    EXPECT_NE(::GetFileAttributesA(windows_path.c_str()), INVALID_FILE_ATTRIBUTES) << png;
}

} // namespace
} // namespace cv
