#pragma once
// A wizard host for the page and dialog tests: it expands texts from the PathValues a test
// sets, hands out the settings a test puts in its map, answers questions as told, and keeps
// a log of every report so that a test can assert on what the page said.

#include "engine/variables.h"
#include "framework/font.h"
#include "pages/layout.h"
#include "pages/page_rules.h"
#include "pages/wizard_host.h"

#include <map>
#include <string>
#include <vector>

namespace cv::test {

class FakeWizardHost : public IWizardHost {
  public:
    // What the test sets up.
    PathValues values;
    WizardChoices choices;
    std::map<std::string, std::string> settings; ///< "SECTION/key" to value
    bool confirmCancel = false;
    std::optional<std::string> folderToChoose;
    bool languageApplies = false;

    // What the pages reported, in order ("click IDC_NEXT 1", "setup type 2", ...).
    std::vector<std::string> reports;
    CImageWindow* opened = nullptr; ///< the last page that reported it opened, until it closed
    const CImageWindow* current = nullptr;
    LayoutFont lastFont{};
    CFont font;

    void ForwardClick(const PageClick& click, CImageWindow&) override {
        reports.push_back("click " + click.name + " " + std::to_string(click.action) + " " + click.layoutFile);
    }
    void RunInstallation() override { reports.push_back("run installation"); }
    void PageOpened(CImageWindow& page) override { opened = &page; }
    void PageClosed(CImageWindow& page) override {
        if (opened == &page)
            opened = nullptr;
        if (current == &page)
            current = nullptr;
    }
    void SetupTypeChosen(int type) override {
        choices.setupType = type;
        reports.push_back("setup type " + std::to_string(type));
    }
    void InstallForChosen(bool all_users) override {
        choices.allUsers = all_users ? 255 : 0;
        reports.push_back(all_users ? "install for anyone" : "install for me");
    }
    void LaunchChosen(LaunchTarget target, bool chosen) override {
        (target == LaunchTarget::File ? choices.launchFile : choices.launchReadme) = chosen ? 255 : 0;
        reports.push_back(std::string("launch ") + (target == LaunchTarget::File ? "file " : "readme ") +
                          (chosen ? "on" : "off"));
    }
    void CustomerEntered(const std::string& user, const std::string& company) override {
        choices.userName = user;
        choices.companyName = company;
        reports.push_back("customer " + user + " / " + company);
    }
    void InstallFolderChosen(const std::string& folder) override { reports.push_back("folder " + folder); }
    void FeatureSwitched(const std::string& name, int state) override {
        reports.push_back("feature " + name + " " + std::to_string(state));
    }
    bool IsCurrentPage(const CImageWindow& page) const override { return current == &page; }
    std::string Setting(std::string_view section, std::string_view key, std::size_t size) const override {
        auto found = settings.find(std::string(section) + "/" + std::string(key));
        return found == settings.end() ? std::string() : found->second.substr(0, size);
    }
    std::string ExpandText(std::string_view text) const override { return ExpandPageVariables(text, values); }
    const WizardChoices& Choices() const override { return choices; }
    CWnd* PageOwner() override { return nullptr; }
    const CFont& UsePageFont(const LayoutFont& layout_font, int height) override {
        lastFont = layout_font;
        font.Create(height, layout_font.bold ? FW_BOLD : FW_NORMAL, layout_font.italic, false,
                    layout_font.face.c_str());
        return font;
    }
    bool ConfirmCancel(CWnd&) override {
        reports.push_back("confirm cancel?");
        return confirmCancel;
    }
    std::optional<std::string> ChooseFolder(CWnd&, const std::string& title) override {
        reports.push_back("choose folder? " + title);
        return folderToChoose;
    }
    /// A page's message is reported and never shown: no test waits on a box.
    bool ShowsMessage(std::string_view text) override {
        reports.push_back("message " + std::string(text));
        return false;
    }
    bool ApplyLanguageFrom(CImageWindow&) override {
        reports.push_back("apply language");
        return languageApplies;
    }
};

} // namespace cv::test
