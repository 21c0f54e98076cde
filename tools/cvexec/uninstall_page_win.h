#pragma once
/// The uninstaller's skinned page: the layout "uninstall.lcd" of the product's theme copy,
/// shown by the page engine (pages/CImageWindow) with this object as its host. The page asks
/// its question, shows the bar while the removal runs on this thread (its messages are
/// dispatched at each step) and then the result, until the user closes it. The rules of each
/// stage are portable (uninstall_page.h).

#include "framework/font.h"
#include "pages/image_window_win.h"
#include "pages/wizard_host.h"
#include "tools/cvexec/uninstall_page.h"

#include <memory>
#include <string>
#include <vector>

namespace cv::uninstall {

class UninstallPage : public IWizardHost {
  public:
    /// `folder`: the theme copy (with its trailing backslash); `base_folder`: the folder that
    /// the layout's window picture ("bkimage") is relative to, the log folder.
    UninstallPage(std::string folder, std::string base_folder, const UninstallTexts& texts, TextValues values);
    ~UninstallPage() override;
    UninstallPage(const UninstallPage&) = delete;
    UninstallPage& operator=(const UninstallPage&) = delete;

    /// Builds the page at `stage` and shows it; false when no window could be made.
    bool Open(PageStage stage);
    /// Runs the page until the user starts the removal (true) or declines it (false).
    bool Ask();
    /// The removal is at `position` of `count`: the removing stage with its bar; the page's
    /// pending messages are dispatched.
    void Step(int position, int count);
    /// Shows the result and runs the page until the user closes it.
    void ShowResult(const std::vector<std::string>& failures);

    PageStage stage() const { return stage_; }
    HWND window() const { return page_ && page_->m_hWnd ? page_->m_hWnd : nullptr; }

    // ---- IWizardHost: the page's reports and questions
    void ForwardClick(const PageClick& click, CImageWindow& page) override;
    void RunInstallation() override {}
    void PageOpened(CImageWindow&) override {}
    void PageClosed(CImageWindow&) override {}
    void SetupTypeChosen(int) override {}
    void InstallForChosen(bool) override {}
    void LaunchChosen(LaunchTarget, bool) override {}
    void CustomerEntered(const std::string&, const std::string&) override {}
    void InstallFolderChosen(const std::string&) override {}
    void FeatureSwitched(const std::string&, int) override {}
    bool IsCurrentPage(const CImageWindow& page) const override { return page_.get() == &page; }
    std::string Setting(std::string_view, std::string_view, std::size_t) const override { return {}; }
    std::string ExpandText(std::string_view text) const override;
    const WizardChoices& Choices() const override { return choices_; }
    CWnd* PageOwner() override { return nullptr; }
    const CFont& UsePageFont(const LayoutFont& font, int height) override;
    /// The page's cancel request (IDCANCEL, Escape, the close box): the uninstaller's own
    /// reaction to it; the page's wizard cancellation never runs (always false).
    bool ConfirmCancel(CWnd& owner) override;
    std::optional<std::string> ChooseFolder(CWnd&, const std::string&) override { return std::nullopt; }
    bool ApplyLanguageFrom(CImageWindow&) override { return false; }

  private:
    void Apply(const PageState& state);
    void OnEvent(PageEvent event);
    /// Dispatches messages, waiting for them while `wait`, until a reaction is pending or
    /// the window is gone.
    void Run();
    void DispatchPending();

    std::string folder_, base_folder_;
    const UninstallTexts& texts_;
    TextValues values_;
    std::unique_ptr<CImageWindow> page_;
    PageStage stage_ = PageStage::Question;
    PageReaction reaction_ = PageReaction::Ignore;
    int range_ = -1;
    bool ole_ = false;
    CFont font_;
    WizardChoices choices_;
};

} // namespace cv::uninstall
