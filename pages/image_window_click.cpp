// Clicks on a page's controls and the cancel request.

#include "pages/image_window.h"

#include "app/main_frame.h"
#include "app/setup_state.h"
#include "pages/page_text.h"
#include "resources/resource.h"

#include <shellapi.h>

namespace cv {

void CImageWindow::ForwardToWizard(int id, int index, int action, const std::string& name) {
    if (wizard_)
        wizard_->ForwardClick(id, index, action, name, this, file_);
}

bool CImageWindow::RunClickAction(const PageElement& element) {
    const std::string& action = element.action;
    if (action.find("0 -") != std::string::npos || action == "[Do Nothing]")
        return false;
    if (action == "1 - Close Window") {
        RequestCancel();
        return true;
    }
    if (action == "2 - Minimize Window") {
        ShowWindow(SW_MINIMIZE);
        return true;
    }
    if (action == "3 - Run App" || action == "4 - Run App and Close") {
        std::string target = ExpandPageText(wizard_, element.argument);
        // The result is not checked: a program that cannot be opened fails silently.
        ::ShellExecuteA(nullptr, nullptr, target.c_str(), nullptr, nullptr, SW_SHOWDEFAULT);
        if (action == "4 - Run App and Close")
            RequestCancel();
        return true;
    }
    return false;
}

// The click dispatch: the element's own action first, then the report to the wizard. The
// handling of the standard pages' control names (browse, licence, install-for, setup type,
// launch choices, customer information, language) belongs between the two.
void CImageWindow::HandleControlClick(int id) {
    int index = ElementIndexOfControl(id);
    if (index < 0)
        return;
    // Copies: the wizard may close this page while the click is being handled.
    const PageElement& element = elements_[static_cast<std::size_t>(index)];
    const std::string name = element.name;
    const int code = element.layout.clickCode;

    if (name == "IDCANCEL") {
        RequestCancel();
        return;
    }
    if (element.layout.type->type == ElementType::CheckBox) {
        auto& box = checkboxes_[static_cast<std::size_t>(element.layout.tableIndex)];
        box.SetCheck(box.GetCheck() == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
    }
    if (RunClickAction(element))
        return;

    if (name == "IDC_FINISH")
        ShowWindow(SW_HIDE);
    ForwardToWizard(id, index, code, name);
    if (m_hWnd && (name == "IDC_BACK" || name == "IDC_NEXT" || name == "IDCANCEL"))
        EndDialog(IDOK);
}

void CImageWindow::RequestCancel() {
    // The confirmation uses the cancel dialog's template; its OK answers 1.
    CDialog confirm(IDD_CANCELSETUP, this);
    if (confirm.DoModal() != IDOK)
        return;
    SetupState& state = setupState();
    state.cancelFlag = 1;
    if (CControlWnd* cancel = ControlOf(FindControlByName("IDCANCEL")))
        cancel->EnableWindow(false);
    state.installAborted = kOn;
    ForwardToWizard(0, 0, 0, "IDC_NEXT");
    ::PostQuitMessage(0);
}

} // namespace cv
