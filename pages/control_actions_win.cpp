// The standard pages' handling of well-known control names: browse, licence, install-for,
// setup type and launch choices, and the customer information check.

#include "common/setup_state.h"
#include "pages/control_actions.h"
#include "pages/image_window_win.h"
#include "common/path_text.h"

namespace cv {

bool CImageWindow::HandleNamedControl(const std::string& name) {
    NamedHandling handling = HandlingOfName(name);
    switch (handling.handler) {
    case NamedHandler::Browse:
        ChooseInstallFolder();
        return true;
    case NamedHandler::Licence:
        LicenceChoice(handling.choice);
        return true;
    case NamedHandler::InstallFor:
        InstallForChoice(handling.choice);
        // The wizard keeps the choice so that Back to the customer page shows it again.
        host_.InstallForChosen(handling.choice == 0);
        return true;
    default:
        break;
    }
    if (!CheckCustomerInformation())
        return true;
    if (handling.handler == NamedHandler::SetupType) {
        SetupTypeChoice(handling.choice);
        return true;
    }
    if (handling.handler == NamedHandler::Launch) {
        LaunchChoice(handling.choice);
        return true;
    }
    return false;
}

void CImageWindow::SetCheckOf(const char* name, bool checked) {
    if (auto* button = dynamic_cast<CButton*>(ControlOf(FindControlByName(name))))
        button->SetCheck(checked ? BST_CHECKED : BST_UNCHECKED);
}

void CImageWindow::EnableNamed(const char* name, bool enabled) {
    if (CControlWnd* control = ControlOf(FindControlByName(name)))
        control->EnableWindow(enabled);
}

void CImageWindow::ShowNamed(const char* name, bool shown) {
    if (CControlWnd* control = ControlOf(FindControlByName(name)))
        control->ShowWindow(shown ? SW_SHOW : SW_HIDE);
}

std::string CImageWindow::TextOfNamed(const char* name) const {
    CControlWnd* control = ControlOf(FindControlByName(name));
    return control && control->m_hWnd ? control->GetWindowText() : std::string();
}

void CImageWindow::ChooseInstallFolder() {
    std::optional<std::string> chosen = host_.ChooseFolder(*this, "Ambrel Corvane");
    if (!chosen || chosen->empty())
        return;
    std::string folder = WithTrailingBackslash(*chosen);
    host_.InstallFolderChosen(folder);
    SetNamedText("IDC_INSTALLDIR", folder);
    Invalidate();
}

void CImageWindow::LicenceChoice(int choice) {
    SetCheckOf("IDC_NOTACCEPTLICENSE", choice == 0);
    SetCheckOf("IDC_ACCEPTLICENSE", choice == 1);
    EnableNamed("IDC_NEXT", choice == 1);
}

void CImageWindow::InstallForChoice(int choice) {
    SetCheckOf("IDC_ANYONE", choice == 0);
    SetCheckOf("IDC_ONLYFORME", choice == 1);
}

void CImageWindow::SetupTypeChoice(int choice) {
    host_.SetupTypeChosen(choice);
    SetCheckOf("IDC_TYPICAL", choice == 0);
    SetCheckOf("IDC_MINIMAL", choice == 1);
    SetCheckOf("IDC_CUSTOM", choice == 2);
}

void CImageWindow::LaunchChoice(int choice) {
    const WizardChoices& choices = host_.Choices();
    const bool file = choice == 0;
    const bool chosen = ToggledLaunchFlag(file ? choices.launchFile : choices.launchReadme) == kOn;
    host_.LaunchChosen(file ? LaunchTarget::File : LaunchTarget::Readme, chosen);
    SetCheckOf(file ? "IDC_LAUNCHFILE" : "IDC_LAUNCHREADME", chosen);
}

bool CImageWindow::CheckCustomerInformation() {
    if (file_ != "customer.lcd")
        return true;
    // A name field the page lacks keeps the name the wizard has.
    const WizardChoices& choices = host_.Choices();
    std::string user = FindControlByName("IDC_USERNAME") != -1 ? TextOfNamed("IDC_USERNAME") : choices.userName;
    std::string company =
        FindControlByName("IDC_ORGANIZATION") != -1 ? TextOfNamed("IDC_ORGANIZATION") : choices.companyName;
    host_.CustomerEntered(user, company);
    return true;
}

} // namespace cv
