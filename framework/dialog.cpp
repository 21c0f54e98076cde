#include "framework/dialog.h"

#include "framework/winapp.h"

namespace cv {

INT_PTR CDialog::DoModal() {
    modal_ = true;
    HWND owner = parent_ ? parent_->m_hWnd : nullptr;
    INT_PTR result = ::DialogBoxParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(template_id_),
                                       owner, &CDialog::StaticDialogProc, reinterpret_cast<LPARAM>(this));
    modal_ = false;
    return result;
}

bool CDialog::Create(CWnd* parent) {
    if (parent)
        parent_ = parent;
    modal_ = false;
    HWND owner = parent_ ? parent_->m_hWnd : nullptr;
    return ::CreateDialogParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(template_id_), owner,
                                &CDialog::StaticDialogProc, reinterpret_cast<LPARAM>(this)) != nullptr;
}

void CDialog::EndDialog(INT_PTR result) {
    if (!m_hWnd)
        return;
    if (modal_)
        ::EndDialog(m_hWnd, result);
    else
        DestroyWindow();
}

void CDialog::CenterOnPrimaryScreen() {
    RECT rc = GetWindowRect();
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    int sw = ::GetSystemMetrics(SM_CXSCREEN), sh = ::GetSystemMetrics(SM_CYSCREEN);
    ::SetWindowPos(m_hWnd, nullptr, (sw - w) / 2, (sh - h) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CDialog::PreTranslateMessage(MSG* msg) {
    return !modal_ && m_hWnd && ::IsDialogMessageA(m_hWnd, msg);
}

INT_PTR CALLBACK CDialog::StaticDialogProc(HWND wnd, UINT msg, WPARAM w, LPARAM l) {
    CDialog* self = static_cast<CDialog*>(CWnd::FromHandlePermanent(wnd));
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(l);
        if (self)
            self->Attach(wnd);
    }
    if (!self)
        return FALSE;
    INT_PTR result = self->DialogProc(msg, w, l);
    if (msg == WM_NCDESTROY) {
        self->Detach();
        self->PostNcDestroy();
    }
    return result;
}

INT_PTR CDialog::DialogProc(UINT msg, WPARAM w, LPARAM l) {
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND: {
        int id = LOWORD(w), code = HIWORD(w);
        if (OnCommand(id, code, reinterpret_cast<HWND>(l)))
            return TRUE;
        if (id == IDOK && code == BN_CLICKED) {
            OnOK();
            return TRUE;
        }
        if (id == IDCANCEL) {
            OnCancel();
            return TRUE;
        }
        return FALSE;
    }
    case WM_TIMER:
        OnTimer(w);
        return TRUE;
    default: {
        LRESULT result = 0;
        // A handler may end a modeless dialog whose object then deletes itself: only the
        // handle is used after the call.
        HWND wnd = m_hWnd;
        if (!OnDialogMessage(msg, w, l, result))
            return FALSE;
        // These messages take their answer as the dialog procedure's return value (a colour
        // brush, an item index), not through DWLP_MSGRESULT.
        if ((msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC) || msg == WM_COMPAREITEM ||
            msg == WM_VKEYTOITEM || msg == WM_CHARTOITEM || msg == WM_QUERYDRAGICON)
            return static_cast<INT_PTR>(result);
        ::SetWindowLongPtrA(wnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
    }
}

} // namespace cv
