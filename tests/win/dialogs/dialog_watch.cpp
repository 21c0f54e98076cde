#include "dialog_watch.h"

#include "framework/winapp.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace cv::test {

namespace {

struct Search {
    const std::string* caption;
    HWND not_this;
    HWND found;
};

BOOL CALLBACK Visit(HWND wnd, LPARAM data) {
    auto* s = reinterpret_cast<Search*>(data);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    if (pid != ::GetCurrentProcessId() || wnd == s->not_this || !::IsWindowVisible(wnd))
        return TRUE;
    char cls[64] = "";
    ::GetClassNameA(wnd, cls, sizeof cls);
    if (std::string(cls) != "#32770")
        return TRUE;
    if (*s->caption != "*" && TextOf(wnd) != *s->caption)
        return TRUE;
    s->found = wnd;
    return FALSE;
}

void DeleteTree(const std::string& folder) {
    WIN32_FIND_DATAA f{};
    HANDLE h = ::FindFirstFileA((folder + "*").c_str(), &f);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = f.cFileName;
            if (name == "." || name == "..")
                continue;
            if (f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteTree(folder + name + "\\");
                ::RemoveDirectoryA((folder + name).c_str());
            } else {
                ::DeleteFileA((folder + name).c_str());
            }
        } while (::FindNextFileA(h, &f));
        ::FindClose(h);
    }
}

} // namespace

HWND WaitForDialog(const std::string& caption, DWORD timeout_ms, HWND not_this) {
    DWORD end = ::GetTickCount() + timeout_ms;
    do {
        Search s{&caption, not_this, nullptr};
        ::EnumWindows(&Visit, reinterpret_cast<LPARAM>(&s));
        if (s.found) {
            ::Sleep(200); // let the dialog finish its initialisation and paint
            return s.found;
        }
        ::Sleep(50);
    } while (static_cast<int>(::GetTickCount() - end) < 0);
    return nullptr;
}

bool WaitGone(HWND wnd, DWORD timeout_ms) {
    DWORD end = ::GetTickCount() + timeout_ms;
    while (::IsWindow(wnd)) {
        if (static_cast<int>(::GetTickCount() - end) >= 0)
            return false;
        ::Sleep(50);
    }
    return true;
}

std::string TextOf(HWND wnd) {
    char buf[1024] = "";
    ::GetWindowTextA(wnd, buf, sizeof buf);
    return buf;
}

bool Visible(HWND dialog, int id) {
    HWND item = ::GetDlgItem(dialog, id);
    return item && (::GetWindowLongA(item, GWL_STYLE) & WS_VISIBLE);
}

std::string MessageBoxText(HWND box) {
    std::string text;
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        char cls[32] = "";
        ::GetClassNameA(child, cls, sizeof cls);
        if (lstrcmpiA(cls, "Static") == 0)
            text += TextOf(child);
    }
    return text;
}

void Press(HWND dialog, int id) {
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

bool Screenshot(const std::string& name) {
    const char* out = std::getenv("CV_TEST_OUTPUT");
    if (!out)
        return false;
    // The screen is copied with GDI: starting a Unix screenshot program from inside a test
    // process that goes on running ended that process under Wine.
    int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (bitmap) {
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        ::BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY);
        ::GdiFlush();
        DWORD stride = static_cast<DWORD>((w * 3 + 3) & ~3);
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof info.bmiHeader;
        file.bfSize = file.bfOffBits + stride * static_cast<DWORD>(h);
        std::ofstream bmp("Z:" + std::string(out) + "/" + name + ".bmp", std::ios::binary);
        bmp.write(reinterpret_cast<const char*>(&file), sizeof file);
        bmp.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
        bmp.write(static_cast<const char*>(bits), static_cast<std::streamsize>(stride * static_cast<DWORD>(h)));
        ok = bmp.good();
        ::SelectObject(memory, old);
        ::DeleteObject(bitmap);
    }
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return ok;
}

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

std::string TestFolder(const std::string& name) {
    char buf[MAX_PATH];
    ::GetTempPathA(sizeof buf, buf);
    std::string folder = std::string(buf) + "cv_dialogs_" + name + "\\";
    DeleteTree(folder);
    ::CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

} // namespace cv::test
