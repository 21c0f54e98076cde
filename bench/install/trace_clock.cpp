// The install benchmark's trace monitor: a window of class "AmbrelEvent" that appends every
// text the setup sends it through WM_COPYDATA to the file named on its command line, as
// "<milliseconds since the monitor started> <text>". The setup's own trace lines carry times
// to the second only, too coarse to time an installation step.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

FILE* g_out = nullptr;
LARGE_INTEGER g_start{}, g_frequency{};

double Milliseconds() {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart - g_start.QuadPart) /
           static_cast<double>(g_frequency.QuadPart);
}

LRESULT CALLBACK MonitorProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COPYDATA) {
        const double at = Milliseconds();
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
        // The sender gives the length without a terminating zero.
        std::string text(static_cast<const char*>(data->lpData), data->cbData);
        std::fprintf(g_out, "%.3f %s\n", at, text.c_str());
        std::fflush(g_out); // the bench reads the file while the monitor runs
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
    std::string path = command_line && *command_line ? command_line : "trace.txt";
    if (path.size() > 1 && path.front() == '"' && path.back() == '"')
        path = path.substr(1, path.size() - 2);
    ::QueryPerformanceFrequency(&g_frequency);
    ::QueryPerformanceCounter(&g_start);
    WNDCLASSA wc{};
    wc.lpfnWndProc = MonitorProc;
    wc.hInstance = instance;
    wc.lpszClassName = "AmbrelEvent";
    if (!::RegisterClassA(&wc))
        return 1;
    if (!::CreateWindowExA(0, "AmbrelEvent", "Bench trace clock", WS_OVERLAPPED, 0, 0, 10, 10,
                           nullptr, nullptr, instance, nullptr))
        return 1;
    g_out = std::fopen(path.c_str(), "ab");
    if (!g_out)
        return 1;
    std::fprintf(g_out, "%.3f ready\n", Milliseconds()); // the window exists from here on
    std::fflush(g_out);
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0)
        ::DispatchMessageA(&msg);
    std::fclose(g_out);
    return 0;
}
