// The main frame as the pages' wizard host: it takes their reports, keeps the user's
// choices, answers their questions and shows the dialogs they ask for.

#include "app/cancel_setup.h"
#include "app/language_page.h"
#include "app/main_frame.h"
#include "app/unattended.h"
#include "app/path_dialog.h"
#include "app/trace.h"
#include "common/profile_cache.h"
#include "common/setup_state.h"
#include "engine/variables.h"
#include "pages/feature_rules.h"
#include "pages/image_window_win.h"
#include "pages/page_rules.h"

#include <algorithm>
#include <span>

namespace cv {

std::string CMainFrame::Setting(std::string_view section, std::string_view key, std::size_t buffer_size) const {
    if (settingsPath.empty() || buffer_size == 0)
        return {};
    return GetProfileValue(settingsPath, section, key, "", buffer_size);
}

PathValues CMainFrame::VariableValues() const {
    PathValues values = paths;
    values.install_dir = setupState().installFolder;
    values.user_name = choices_.userName;
    values.company_name = choices_.companyName;
    values.user_variables.clear();
    for (int i = 0; i < userVariableCount && i < static_cast<int>(kMaxUserVariables); ++i) {
        const WizardVariable& u = userVariables[static_cast<std::size_t>(i)];
        values.user_variables.push_back(UserVariable{u.name, u.value});
    }
    return values;
}

std::string CMainFrame::ExpandText(std::string_view text) const {
    return ExpandPageVariables(text, VariableValues());
}

void CMainFrame::PageOpened(CImageWindow& page) { pageBeingBuilt = &page; }

void CMainFrame::PageClosed(CImageWindow& page) {
    if (pageBeingBuilt == &page)
        pageBeingBuilt = nullptr;
    if (currentPage == &page)
        currentPage = nullptr;
}

bool CMainFrame::IsCurrentPage(const CImageWindow& page) const { return currentPage == &page; }

CWnd* CMainFrame::MessageOwner() { return currentPage && currentPage->m_hWnd ? currentPage : this; }

void CMainFrame::SetupTypeChosen(int type) { choices_.setupType = type; }

void CMainFrame::InstallForChosen(bool all_users) { choices_.allUsers = all_users ? kOn : kOff; }

void CMainFrame::LaunchChosen(LaunchTarget target, bool chosen) {
    (target == LaunchTarget::File ? choices_.launchFile : choices_.launchReadme) = chosen ? kOn : kOff;
}

void CMainFrame::InstallFolderChosen(const std::string& folder) { setupState().installFolder = folder; }

void CMainFrame::CustomerEntered(const std::string& user, const std::string& company) {
    choices_.userName = user;
    choices_.companyName = company;
    // "userinfo.ini" and the author's key are written by the installation run, which logs them
    // for removal (engine/step_customer_info); a wizard cancelled before it leaves nothing.
    choices_.customerEntered = true;
}

void CMainFrame::FeatureSwitched(const std::string& name, int state) {
    SetupState& setup = setupState();
    int count = std::clamp(setup.featureCount.load(), 0, static_cast<int>(kMaxFeatures));
    std::span<Feature> table{setup.features.data(), static_cast<std::size_t>(count)};
    int index = LastFeatureNamed(table, name);
    if (index < 0)
        return;
    table[static_cast<std::size_t>(index)].state = state;
    SendTrace("feature " + name + " = " + std::to_string(state));
}

const CFont& CMainFrame::UsePageFont(const LayoutFont& font, int height) {
    pageFont.Create(height, font.bold ? FW_BOLD : FW_NORMAL, font.italic, false, font.face.c_str());
    return pageFont;
}

bool CMainFrame::ShowsMessage(std::string_view text) { return unattendedRun().Message(text); }

bool CMainFrame::ConfirmCancel(CWnd& owner) {
    const bool confirmed = cv::ConfirmCancel(&owner);
    if (confirmed) {
        unattendedRun().outcome().cancelled = true;
        unattendedRun().Log("Setup cancelled by the user");
    }
    return confirmed;
}

std::optional<std::string> CMainFrame::ChooseFolder(CWnd& owner, const std::string& title) {
    // The folder browser with its edit field, validation and folder creation.
    CPathDialog dialog(title, std::string(), owner.m_hWnd);
    if (dialog.DoModal() != IDOK || dialog.folder().empty())
        return std::nullopt;
    return dialog.folder();
}

bool CMainFrame::ApplyLanguageFrom(CImageWindow& page) {
    std::string file = ChosenLanguageFile(page, setupState().setupFolder);
    if (file.empty())
        return false;
    // The page stays its caller's to end: the start sequence must not close it.
    if (currentPage == &page)
        currentPage = nullptr;
    ApplyLanguage(file);
    return true;
}

} // namespace cv
