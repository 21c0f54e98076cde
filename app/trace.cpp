#include "app/trace.h"

#include "app/trace_line.h"
#include "framework/winapp.h"
#include "framework/wnd.h"

#include <windows.h>

namespace cv {

void SendTrace(const std::string& text) {
    HWND monitor = ::FindWindowA("AmbrelEvent", nullptr);
    if (!monitor)
        return;
    std::time_t now = std::time(nullptr);
    std::tm local{};
    if (std::tm* t = std::localtime(&now))
        local = *t;
    std::string line = FormatTraceLine(local, text);
    COPYDATASTRUCT data{};
    data.dwData = 0;
    data.cbData = static_cast<DWORD>(line.size());
    data.lpData = line.data();
    HWND sender = nullptr;
    if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd)
        sender = app->m_pMainWnd->m_hWnd;
    DWORD_PTR reply = 0;
    ::SendMessageTimeoutA(monitor, WM_COPYDATA, reinterpret_cast<WPARAM>(sender),
                          reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG | SMTO_BLOCK, 2000,
                          &reply);
}

} // namespace cv
