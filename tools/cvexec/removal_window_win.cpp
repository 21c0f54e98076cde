#include "tools/cvexec/removal_window_win.h"

#include "tools/cvexec/cvexec_resource.h"
#include "tools/cvexec/uninstall_page.h"

#include <commctrl.h>

namespace cv::uninstall {

namespace {

void Pump() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

INT_PTR CALLBACK ProgressProc(HWND, UINT message, WPARAM, LPARAM) {
    // Closing the window does not stop a removal half done.
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

struct ModifyTexts {
    std::string title, question, repair, remove, cancel;
};

INT_PTR CALLBACK ModifyProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG: {
        const auto* t = reinterpret_cast<const ModifyTexts*>(lparam);
        ::SetWindowTextA(dialog, t->title.c_str());
        ::SetDlgItemTextA(dialog, IDC_CVEXEC_TEXT, t->question.c_str());
        ::SetDlgItemTextA(dialog, IDC_CVEXEC_REPAIR, t->repair.c_str());
        ::SetDlgItemTextA(dialog, IDC_CVEXEC_REMOVE, t->remove.c_str());
        ::SetDlgItemTextA(dialog, IDCANCEL, t->cancel.c_str());
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDC_CVEXEC_REPAIR:
        case IDC_CVEXEC_REMOVE:
        case IDCANCEL:
            ::EndDialog(dialog, LOWORD(wparam));
            return TRUE;
        }
        break;
    case WM_CLOSE:
        ::EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

} // namespace

ProgressWindow::ProgressWindow(const UninstallTexts& texts, const TextValues& values) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    window_ = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_CVEXEC_PROGRESS), nullptr,
                                   ProgressProc, 0);
    if (!window_)
        return;
    ::SetWindowTextA(window_, ExpandText(texts.title, values).c_str());
    ::SetDlgItemTextA(window_, IDC_CVEXEC_TEXT, ExpandText(texts.removing, values).c_str());
    ::ShowWindow(window_, SW_SHOW);
    Pump();
}

ProgressWindow::~ProgressWindow() {
    if (window_)
        ::DestroyWindow(window_);
}

void ProgressWindow::Step(int position, int count) {
    if (!window_)
        return;
    HWND bar = ::GetDlgItem(window_, IDC_CVEXEC_BAR);
    ::SendMessageA(bar, PBM_SETRANGE32, 0, count);
    ::SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    Pump();
}

ModifyChoice AskModify(const UninstallTexts& texts, const TextValues& values) {
    ModifyTexts t{ExpandText(texts.title, values), ExpandText(texts.modify_question, values),
                  ExpandText(texts.repair, values), ExpandText(texts.remove, values), ExpandText(texts.cancel, values)};
    const INT_PTR answer = ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_CVEXEC_MODIFY), nullptr,
                                             ModifyProc, reinterpret_cast<LPARAM>(&t));
    if (answer == IDC_CVEXEC_REPAIR)
        return ModifyChoice::Repair;
    if (answer == IDC_CVEXEC_REMOVE)
        return ModifyChoice::Remove;
    return ModifyChoice::Cancel;
}

} // namespace cv::uninstall
