#include "app/cancel_setup.h"

#include "app/dialog_text.h"
#include "resources/resource.h"

namespace cv {

CCancelSetup::CCancelSetup(CWnd* parent, const IWizardHost* wizard)
    : CDialog(IDD_CANCELSETUP, parent), wizard_(wizard ? wizard : TheWizard()) {}

void CCancelSetup::SetItemText(int id, const std::string& caption) {
    if (!caption.empty())
        ::SetDlgItemTextA(m_hWnd, id, caption.c_str());
}

BOOL CCancelSetup::OnInitDialog() {
    CenterOnPrimaryScreen();
    if (mode == kModeMessage) {
        ::SetDlgItemTextA(m_hWnd, IDC_TEXT, text.c_str());
        ::ShowWindow(GetDlgItem(IDOK), SW_HIDE);
        SetItemText(IDCANCEL, DialogLanguageText("SetupError", "3", wizard_));
        // With OK hidden the remaining button takes Enter.
        ::SendMessageA(m_hWnd, DM_SETDEFID, IDCANCEL, 0);
        ::SetFocus(GetDlgItem(IDCANCEL));
        return FALSE;
    }
    if (mode == kModeQuestion)
        ::SetDlgItemTextA(m_hWnd, IDC_TEXT, text.c_str());
    else
        SetItemText(IDC_TEXT, DialogLanguageText("CancelSetup", "0", wizard_));
    SetItemText(IDCANCEL, DialogLanguageText("CancelSetup", "1", wizard_));
    SetItemText(IDOK, DialogLanguageText("CancelSetup", "2", wizard_));
    return TRUE;
}

bool ConfirmCancel(CWnd* owner) {
    CCancelSetup confirm(owner);
    confirm.mode = CCancelSetup::kModeCancel;
    return confirm.DoModal() == IDOK;
}

} // namespace cv
