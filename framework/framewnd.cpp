#include "framework/framewnd.h"

#include "framework/winapp.h"

namespace cv {

namespace {
const char kFrameClass[] = "CorvaneFrame";
}

BOOL CFrameWnd::LoadFrame(UINT resource_id, DWORD style, CWnd* parent, void* context) {
    HINSTANCE inst = AfxGetInstanceHandle();
    HICON icon = ::LoadIconA(inst, MAKEINTRESOURCEA(resource_id));
    if (!RegisterWindowClass(kFrameClass, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, icon ? icon : ::LoadIconA(nullptr, IDI_APPLICATION),
                             reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)))
        return FALSE;
    char title[256] = "Corvane";
    ::LoadStringA(inst, resource_id, title, sizeof title);
    HMENU menu = ::LoadMenuA(inst, MAKEINTRESOURCEA(resource_id));
    HWND parent_wnd = parent ? parent->m_hWnd : nullptr;
    if (!CreateEx(0, kFrameClass, title, style & ~FWS_ADDTOTITLE, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT, CW_USEDEFAULT, parent_wnd, menu)) {
        // A window that failed in WM_CREATE does not own its menu. `this` may already be
        // deleted here (PostNcDestroy), so no member is touched.
        if (menu)
            ::DestroyMenu(menu);
        return FALSE;
    }
    return TRUE;
}

LRESULT CFrameWnd::WindowProc(UINT msg, WPARAM w, LPARAM l) {
    switch (msg) {
    case WM_CREATE:
        return OnCreate(reinterpret_cast<CREATESTRUCTA*>(l));
    case WM_NCDESTROY:
        if (AfxGetApp() && AfxGetApp()->m_pMainWnd == this)
            ::PostQuitMessage(0);
        break;
    default:
        break;
    }
    return Default(msg, w, l);
}

void CFrameWnd::PostNcDestroy() {
    if (delete_on_destroy)
        delete this;
}

} // namespace cv
