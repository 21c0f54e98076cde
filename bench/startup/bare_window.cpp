// The start-up benchmark's yardstick: the least a Win32 program does to show a window. It
// opens one window, paints it, tells the trace monitor (the startup clock) "-shown*" and exits.
// Built a second time with CV_BARE_WITH_SETUP_IMPORTS, it also loads the libraries setup.exe
// imports (one call into each), which tells what loading them costs at start-up.
#include <winsock2.h>
#include <windows.h>
#ifdef CV_BARE_WITH_SETUP_IMPORTS
#include <commctrl.h>
#include <mmsystem.h>
#include <ole2.h>
#include <shellapi.h>
#include <wininet.h>
#endif

#include <cstring>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
#ifdef CV_BARE_WITH_SETUP_IMPORTS
    // Calls that do nothing, only so that each library is imported and loaded at start.
    if (instance == nullptr) {
        ::InternetCloseHandle(nullptr);
        ::sndPlaySoundA(nullptr, 0);
        ::WSACleanup();
        ::SysFreeString(nullptr);
        ::DragFinish(nullptr);
        ::RegCloseKey(nullptr);
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    const bool ole = SUCCEEDED(::OleInitialize(nullptr));
#endif
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
#ifdef CV_BARE_WITH_SETUP_IMPORTS
    if (ole)
        ::OleUninitialize();
#endif
    return 0;
}
