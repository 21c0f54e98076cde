// Corvane Demo: the small program that the demo product installs. It shows one window that
// greets the user with the settings of demo.ini beside it, so a look at the screen tells that
// the program was installed, found its files and was started from the right folder.
#include <windows.h>

#include <string>

namespace {

constexpr char kClassName[] = "CorvaneDemoWindow";

std::string ProgramFolder() {
    char path[MAX_PATH + 1] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    const std::size_t slash = folder.find_last_of('\\');
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

/// The greeting: demo.ini's [Demo] "Greeting", or a plain one when the file is missing.
std::string Greeting() {
    char text[256] = {};
    const std::string ini = ProgramFolder() + "demo.ini";
    ::GetPrivateProfileStringA("Demo", "Greeting", "", text, sizeof text, ini.c_str());
    return text[0] ? text : "Corvane Demo is installed and running.";
}

std::string CurrentFolder() {
    char folder[MAX_PATH + 1] = {};
    ::GetCurrentDirectoryA(sizeof folder, folder);
    return folder;
}

void Paint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(window, &paint);
    RECT client;
    ::GetClientRect(window, &client);
    HBRUSH band = ::CreateSolidBrush(RGB(0, 0, 128));
    RECT top = client;
    top.bottom = 56;
    ::FillRect(dc, &top, band);
    ::DeleteObject(band);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(255, 255, 255));
    HFONT title = ::CreateFontA(28, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma");
    HGDIOBJ old = ::SelectObject(dc, title);
    ::TextOutA(dc, 16, 14, "Corvane Demo", 12);
    ::SelectObject(dc, old);
    ::DeleteObject(title);
    ::SetTextColor(dc, RGB(0, 0, 0));
    const std::string lines[] = {Greeting(), "Started in: " + CurrentFolder(), "Close this window to end the demo."};
    int y = 76;
    for (const std::string& line : lines) {
        ::TextOutA(dc, 16, y, line.c_str(), static_cast<int>(line.size()));
        y += 24;
    }
    ::EndPaint(window, &paint);
}

LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM w, LPARAM l) {
    switch (msg) {
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcA(window, msg, w, l);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClassName;
    if (!::RegisterClassA(&wc))
        return 1;
    HWND window = ::CreateWindowA(kClassName, "Corvane Demo", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  520, 220, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    ::ShowWindow(window, show);
    ::UpdateWindow(window);
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return 0;
}
