// The start-up benchmark's yardstick: the least a Win32 program does to show a window. It
// opens one window, paints it, tells the trace monitor (the startup clock) "-shown*" and exits.
#include <windows.h>

#include <cstring>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "CorvaneBareWindow";
    if (!::RegisterClassA(&wc))
        return 1;
    HWND window = ::CreateWindowA("CorvaneBareWindow", "Bare window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 480, 360, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    ::ShowWindow(window, SW_SHOW);
    ::UpdateWindow(window);
    if (HWND monitor = ::FindWindowA("AmbrelEvent", nullptr)) {
        char line[] = "(00:00:00) -shown*";
        COPYDATASTRUCT data{};
        data.cbData = static_cast<DWORD>(std::strlen(line));
        data.lpData = line;
        DWORD_PTR reply = 0;
        ::SendMessageTimeoutA(monitor, WM_COPYDATA, reinterpret_cast<WPARAM>(window),
                              reinterpret_cast<LPARAM>(&data), SMTO_BLOCK, 2000, &reply);
    }
    ::DestroyWindow(window);
    return 0;
}
