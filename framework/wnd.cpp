#include "framework/wnd.h"

#include "framework/winapp.h"

#include <vector>

namespace cv {

namespace {
const char kObjectProperty[] = "CorvaneWnd";
}

CWnd::~CWnd() {
    // An object that dies before its window must not leave a dangling pointer behind.
    if (m_hWnd) {
        HWND wnd = m_hWnd;
        Detach();
        ::DestroyWindow(wnd);
    }
}

CWnd* CWnd::FromHandlePermanent(HWND wnd) {
    // A window property marks our own windows; message boxes and foreign windows have none.
    return wnd ? static_cast<CWnd*>(::GetPropA(wnd, kObjectProperty)) : nullptr;
}

bool CWnd::RegisterWindowClass(const char* name, UINT style, HICON icon, HBRUSH background) {
    WNDCLASSA existing{};
    if (::GetClassInfoA(AfxGetInstanceHandle(), name, &existing))
        return true;
    WNDCLASSA wc{};
    wc.style = style;
    wc.lpfnWndProc = &CWnd::StaticWindowProc;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hIcon = icon;
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    return ::RegisterClassA(&wc) != 0;
}

bool CWnd::CreateEx(DWORD ex_style, const char* class_name, const char* title, DWORD style, int x,
                    int y, int width, int height, HWND parent, HMENU menu_or_id) {
    HWND wnd = ::CreateWindowExA(ex_style, class_name, title, style, x, y, width, height, parent,
                                 menu_or_id, AfxGetInstanceHandle(), this);
    return wnd != nullptr;
}

bool CWnd::DestroyWindow() {
    if (!m_hWnd)
        return false;
    return ::DestroyWindow(m_hWnd) != FALSE;
}

std::string CWnd::GetWindowText() const {
    int len = ::GetWindowTextLengthA(m_hWnd);
    std::vector<char> buf(static_cast<size_t>(len) + 2, '\0');
    ::GetWindowTextA(m_hWnd, buf.data(), len + 1);
    return buf.data();
}

RECT CWnd::GetClientRect() const {
    RECT rc{};
    ::GetClientRect(m_hWnd, &rc);
    return rc;
}

RECT CWnd::GetWindowRect() const {
    RECT rc{};
    ::GetWindowRect(m_hWnd, &rc);
    return rc;
}

bool CWnd::MoveWindow(int x, int y, int width, int height, bool repaint) {
    return ::MoveWindow(m_hWnd, x, y, width, height, repaint) != FALSE;
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM w, LPARAM l) { return Default(msg, w, l); }

LRESULT CWnd::Default(UINT msg, WPARAM w, LPARAM l) { return ::DefWindowProcA(m_hWnd, msg, w, l); }

void CWnd::Attach(HWND wnd) {
    m_hWnd = wnd;
    ::SetPropA(wnd, kObjectProperty, this);
    if (::GetWindowLongPtrA(wnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&StaticWindowProc))
        ::SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void CWnd::Detach() {
    if (m_hWnd) {
        ::RemovePropA(m_hWnd, kObjectProperty);
        if (::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&StaticWindowProc))
            ::SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, 0);
    }
    m_hWnd = nullptr;
}

LRESULT CALLBACK CWnd::StaticWindowProc(HWND wnd, UINT msg, WPARAM w, LPARAM l) {
    CWnd* self = reinterpret_cast<CWnd*>(::GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(l);
        self = static_cast<CWnd*>(cs->lpCreateParams);
        if (self)
            self->Attach(wnd);
    }
    if (!self)
        return ::DefWindowProcA(wnd, msg, w, l);
    LRESULT result = self->WindowProc(msg, w, l);
    if (msg == WM_NCDESTROY) {
        self->Detach();
        if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd == self)
            app->m_pMainWnd = nullptr;
        self->PostNcDestroy();
    }
    return result;
}

} // namespace cv
