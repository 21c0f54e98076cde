#include "app/error_setup.h"

#include "resources/resource.h"

namespace cv {

CErrorSetup::CErrorSetup(CWnd* parent) : CDialog(IDD_ERRORSETUP, parent) {}

BOOL CErrorSetup::OnInitDialog() {
    CenterOnPrimaryScreen();
    if (cancelOnly == 255) {
        ::ShowWindow(GetDlgItem(IDC_RETRY), SW_HIDE);
        ::ShowWindow(GetDlgItem(IDC_IGNORE), SW_HIDE);
        ::SendMessageA(m_hWnd, DM_SETDEFID, IDCANCEL, 0);
        ::SetDlgItemTextA(m_hWnd, IDC_TEXT, text.c_str());
    }
    if (!text.empty())
        ::SetDlgItemTextA(m_hWnd, IDC_TEXT, text.c_str());
    return TRUE;
}

bool CErrorSetup::OnCommand(int id, int code, HWND) {
    if (code != BN_CLICKED || (id != IDC_RETRY && id != IDC_IGNORE))
        return false;
    result = id == IDC_RETRY ? kRetry : kIgnore;
    EndDialog(IDOK);
    return true;
}

void CErrorSetup::OnCancel() {
    result = kAbort;
    EndDialog(IDCANCEL);
}

} // namespace cv
