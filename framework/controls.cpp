#include "framework/controls.h"

#include "framework/winapp.h"

namespace cv {

void EnsureCommonControls() {
    static const bool done = [] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
        return ::InitCommonControlsEx(&controls) != FALSE;
    }();
    (void)done;
}

CControlWnd::~CControlWnd() {
    // The base destructor destroys a window that outlives its object; its last messages must
    // go to the class's own procedure, not to this object.
    Unsubclass();
}

bool CControlWnd::CreateControl(const char* window_class, const char* text, DWORD style,
                                const RECT& rect, HWND parent, int id, DWORD ex_style) {
    HWND wnd = ::CreateWindowExA(ex_style, window_class, text, style, rect.left, rect.top,
                                 rect.right - rect.left, rect.bottom - rect.top, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 AfxGetInstanceHandle(), nullptr);
    if (!wnd)
        return false;
    Attach(wnd);
    original_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
    return true;
}

void CControlWnd::ModifyStyle(DWORD remove, DWORD add) {
    LONG_PTR style = ::GetWindowLongPtrA(m_hWnd, GWL_STYLE);
    ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, (style & ~static_cast<LONG_PTR>(remove)) | add);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void CControlWnd::Unsubclass() {
    if (m_hWnd && original_)
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
}

LRESULT CControlWnd::Default(UINT msg, WPARAM w, LPARAM l) {
    return ::CallWindowProcA(original_, m_hWnd, msg, w, l);
}

bool CControlWnd::Reflect(HWND child, UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
    auto* control = dynamic_cast<CControlWnd*>(FromHandlePermanent(child));
    return control && control->OnReflectedMessage(msg, w, l, result);
}

LRESULT CALLBACK CControlWnd::SubclassProc(HWND wnd, UINT msg, WPARAM w, LPARAM l) {
    // Only CControlWnd objects install this procedure.
    auto* self = static_cast<CControlWnd*>(FromHandlePermanent(wnd));
    if (!self)
        return ::DefWindowProcA(wnd, msg, w, l);
    if (msg == WM_NCDESTROY) {
        WNDPROC original = self->original_;
        self->Unsubclass();
        self->Detach();
        self->PostNcDestroy();
        return ::CallWindowProcA(original, wnd, msg, w, l);
    }
    return self->WindowProc(msg, w, l);
}

bool CToolTipCtrl::Create(HWND owner) {
    EnsureCommonControls();
    owner_ = owner;
    HWND wnd = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner,
                                 nullptr, AfxGetInstanceHandle(), nullptr);
    if (!wnd)
        return false;
    Attach(wnd);
    return true;
}

bool CToolTipCtrl::AddTool(HWND tool, const std::string& text) {
    TOOLINFOA info{};
    // The size of the first common-controls version keeps the call valid on every comctl32.
    info.cbSize = TTTOOLINFOA_V1_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = owner_;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = const_cast<char*>(text.c_str());
    return SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)) != FALSE;
}

} // namespace cv
