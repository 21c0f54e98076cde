// The standard pages' handling of well-known control names: browse, licence, install-for,
// setup type and launch choices, and the customer information check.

#include "pages/control_actions_win.h"

#include "app/main_frame.h"
#include "common/setup_state.h"
#include "engine/variables.h"
#include "framework/dialog.h"
#include "pages/control_actions.h"
#include "pages/image_window.h"
#include "registry/key_path.h"
#include "registry/registro.h"
#include "resources/resource.h"

#include "app/path_dialog.h"
#include "common/path_text.h"

#include <shlobj.h>

namespace cv {

namespace {

HKEY RootOfName(const std::string& name) {
    static const HKEY kRoots[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS,
                                  HKEY_CURRENT_CONFIG};
    int index = RegistryRootIndex(name);
    return index < 0 ? nullptr : kRoots[index];
}

} // namespace

bool ChooseFolder(CWnd* owner, const std::string& title, const std::string&, std::string& folder) {
    // The folder browser with its edit field, validation and folder creation.
    CPathDialog dialog(title, folder, owner ? owner->m_hWnd : nullptr);
    if (dialog.DoModal() != IDOK || dialog.folder().empty())
        return false;
    folder = dialog.folder();
    return true;
}

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
        // The choice is kept so that Back to the customer page shows it again.
        if (wizard_)
            wizard_->allUsers = handling.choice == 0 ? kOn : kOff;
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
    std::string folder;
    if (!ChooseFolder(this, "Ambrel Corvane", "Choose destination directory...", folder))
        return;
    folder = WithTrailingBackslash(folder);
    setupState().installFolder = folder;
    if (wizard_)
        wizard_->paths.install_dir = folder;
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
    if (wizard_)
        wizard_->setupType = choice;
    SetCheckOf("IDC_TYPICAL", choice == 0);
    SetCheckOf("IDC_MINIMAL", choice == 1);
    SetCheckOf("IDC_CUSTOM", choice == 2);
}

void CImageWindow::LaunchChoice(int choice) {
    if (!wizard_)
        return;
    int& flag = choice == 0 ? wizard_->launchFileChosen : wizard_->launchReadmeChosen;
    flag = ToggledLaunchFlag(flag);
    SetCheckOf(choice == 0 ? "IDC_LAUNCHFILE" : "IDC_LAUNCHREADME", flag == kOn);
}

bool CImageWindow::CheckCustomerInformation() {
    if (file_ != "customer.lcd" || !wizard_)
        return true;
    if (FindControlByName("IDC_USERNAME") != -1)
        wizard_->paths.user_name = TextOfNamed("IDC_USERNAME");
    if (FindControlByName("IDC_ORGANIZATION") != -1)
        wizard_->paths.company_name = TextOfNamed("IDC_ORGANIZATION");
    const std::string& user = wizard_->paths.user_name;
    const std::string& company = wizard_->paths.company_name;

    std::string windows = WithTrailingBackslash(wizard_->paths.windows_folder);
    std::string ini = windows + "userinfo.ini";
    ::WritePrivateProfileStringA("USERINFO", "D1", user.c_str(), ini.c_str());
    ::WritePrivateProfileStringA("USERINFO", "D2", company.c_str(), ini.c_str());

    std::string key = wizard_->Setting("DIALOGLIST", "CT18");
    if (!key.empty()) {
        std::string root_name = wizard_->Setting("DIALOGLIST", "CT17");
        if (HKEY root = RootOfName(root_name)) {
            PathValues values = wizard_->paths;
            values.install_dir = setupState().installFolder;
            std::string path = StripRegistryRootNames(ExpandVariables(key, values));
            CRegistro registry;
            registry.EnsureKeyPath(root_name.c_str(), path.c_str());
            registry.SetStringValue(root, path.c_str(), "<UserName>", user.c_str());
            registry.SetStringValue(root, path.c_str(), "<CompanyName>", company.c_str());
        }
    }
    return true;
}

} // namespace cv
