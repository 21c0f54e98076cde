// Clicks on a page's controls and the cancel request. A click goes through three stages:
// the element's own click action, the standard pages' handling of its control name, and the
// report to the wizard.

#include "pages/image_window_win.h"

#include "common/setup_state.h"
#include "pages/control_actions.h"

#include <shellapi.h>

namespace cv {

void CImageWindow::ForwardToWizard(int id, int index, int action, const std::string& name) {
    host_.ForwardClick(PageClick{id, index, action, name, file_}, *this);
}

bool CImageWindow::RunClickAction(const PageElement& element) {
    ClickAction action = ClassifyClickAction(element.action);
    switch (action) {
    case ClickAction::PassOn:
        return false;
    case ClickAction::CloseWindow:
        RequestCancel();
        return true;
    case ClickAction::Minimize:
        ShowWindow(SW_MINIMIZE);
        return true;
    case ClickAction::RunApp:
    case ClickAction::RunAppAndClose: {
        std::string target = Expand(element.argument);
        // The result is not checked: a program that cannot be opened fails silently.
        ::ShellExecuteA(nullptr, nullptr, target.c_str(), nullptr, nullptr, SW_SHOWDEFAULT);
        if (action == ClickAction::RunAppAndClose)
            RequestCancel();
        return true;
    }
    }
    return false;
}

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
    if (HandleNamedControl(name))
        return;

    if (name == "IDC_FINISH")
        ShowWindow(SW_HIDE);
    ForwardToWizard(id, index, code, name);
    if (m_hWnd && (name == "IDC_BACK" || name == "IDC_NEXT" || name == "IDCANCEL"))
        EndDialog(IDOK);
    if (name == "IDC_SETLANGUAGE" && m_hWnd) {
        // The start sequence runs inside the choice and shows its own pages; the language
        // page leaves the screen first so that it does not stand in front of them.
        ShowWindow(SW_HIDE);
        if (host_.ApplyLanguageFrom(*this))
            EndDialog(IDOK);
        else
            ShowWindow(SW_SHOW); // no list to choose from: the page is all there is
    }
}

void CImageWindow::RequestCancel() {
    if (!host_.ConfirmCancel(*this))
        return;
    SetupState& state = setupState();
    state.cancelFlag = 1;
    if (CControlWnd* cancel = ControlOf(FindControlByName("IDCANCEL")))
        cancel->EnableWindow(false);
    state.installAborted = kOn;
    // The wizard answers with the completion page, whose Finish ends the run and removes
    // the work folder. No quit message is posted here: it would end the process under the
    // completion page and leave the decrypted settings behind in the temp folder.
    ForwardToWizard(0, 0, 0, "IDC_NEXT");
    if (m_hWnd && !host_.IsCurrentPage(*this))
        EndDialog(IDOK);
}

} // namespace cv
