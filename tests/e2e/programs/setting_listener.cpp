// A top-level window that waits for WM_SETTINGCHANGE: writes "ready" to the output file once
// its window exists, then appends the text of each setting change it receives ("Environment"
// for the environment), and ends after the first one or after argv[2] seconds.
// Usage: setting_listener <output.txt> <seconds>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

const char* g_output = nullptr;

void Append(const char* line) {
    if (FILE* out = std::fopen(g_output, "ab")) {
        std::fprintf(out, "%s\n", line);
        std::fclose(out);
    }
}

LRESULT CALLBACK Listen(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_SETTINGCHANGE) {
        Append(l ? reinterpret_cast<const char*>(l) : "(null)");
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(window, message, w, l);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    g_output = argv[1];
    WNDCLASSA wc{};
    wc.lpfnWndProc = Listen;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "CvSettingListener";
    if (!::RegisterClassA(&wc))
        return 1;
    HWND window = ::CreateWindowA("CvSettingListener", "setting listener", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                  nullptr, wc.hInstance, nullptr);
    if (!window)
        return 1;
    Append("ready");
    ::SetTimer(window, 1, static_cast<UINT>(std::atoi(argv[2])) * 1000u, nullptr);
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER)
            break;
        ::DispatchMessageA(&msg);
    }
    ::DestroyWindow(window);
    return 0;
}
