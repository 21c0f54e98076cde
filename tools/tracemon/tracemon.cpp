// The trace monitor: a window of class "AmbrelEvent" that appends every text it receives
// through WM_COPYDATA as one line to the file named on its command line. It ends on WM_CLOSE.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string g_path;

LRESULT CALLBACK MonitorProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COPYDATA) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
        // The sender gives the length without a terminating zero.
        std::string text(static_cast<const char*>(data->lpData), data->cbData);
        if (FILE* f = std::fopen(g_path.c_str(), "ab")) {
            std::fprintf(f, "%s\n", text.c_str());
            std::fclose(f);
        }
        return TRUE;
    }
    if (msg == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(w, msg, wp, lp);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
    g_path = command_line && *command_line ? command_line : "trace.txt";
    if (g_path.size() > 1 && g_path.front() == '"' && g_path.back() == '"')
        g_path = g_path.substr(1, g_path.size() - 2);
    WNDCLASSA wc{};
    wc.lpfnWndProc = MonitorProc;
    wc.hInstance = instance;
    wc.lpszClassName = "AmbrelEvent";
    if (!::RegisterClassA(&wc))
        return 1;
    if (!::CreateWindowExA(0, "AmbrelEvent", "Trace monitor", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                           nullptr, instance, nullptr))
        return 1;
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0)
        ::DispatchMessageA(&msg);
    return 0;
}
