// Stands in for an installed product that is running while setup starts: a window of class
// "HalvardClass" that writes each message it is asked to end with ("WM_CLOSE", "WM_QUIT")
// as a line to the file named on its command line, then lingers for five seconds so a test
// can see that setup did not wait for it.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {
std::string g_log;

void Log(const char* text) {
    if (FILE* f = std::fopen(g_log.c_str(), "ab")) {
        std::fprintf(f, "%s\n", text);
        std::fclose(f);
    }
}

LRESULT CALLBACK ProductProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CLOSE) {
        Log("WM_CLOSE");
        return 0; // stay: the quit message follows
    }
    return ::DefWindowProcA(w, msg, wp, lp);
}
} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
    g_log = command_line && *command_line ? command_line : "halvard.txt";
    WNDCLASSA wc{};
    wc.lpfnWndProc = ProductProc;
    wc.hInstance = instance;
    wc.lpszClassName = "HalvardClass";
    ::RegisterClassA(&wc);
    HWND w = ::CreateWindowExA(0, "HalvardClass", "Halvard product", WS_OVERLAPPEDWINDOW, 600, 20, 300,
                               120, nullptr, nullptr, instance, nullptr);
    ::ShowWindow(w, SW_SHOW);
    Log("READY");
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0)
        ::DispatchMessageA(&msg);
    Log("WM_QUIT");
    ::Sleep(5000);
    Log("ENDED");
    return 0;
}
