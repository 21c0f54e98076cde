#pragma once
/// IWizardHost: everything a page window asks of the wizard that shows it. The page reports
/// (clicks, choices, its own life) and asks questions; the wizard decides what follows and
/// keeps the state. A page never writes the wizard's fields. The main frame implements it;
/// the page tests use a small recording fake.

#include "pages/wizard_choices.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace cv {

class CFont;
class CImageWindow;
class CWnd;
struct LayoutFont;

/// A click a page does not finish itself.
struct PageClick {
    int controlId = 0;
    int elementIndex = 0;
    int action = 0; ///< 1 next, 2 back, 0 none
    std::string name;
    std::string layoutFile;
};

class IWizardHost {
  public:
    virtual ~IWizardHost() = default;

    // ---- reports
    /// A click for the wizard to answer (next, back, finish, ...); the page may be closed
    /// by the time the call returns.
    virtual void ForwardClick(const PageClick& click, CImageWindow& page) = 0;
    /// The progress page's start timer: run the installation now.
    virtual void RunInstallation() = 0;
    /// A page has begun loading its layout; it is the page the wizard is building.
    virtual void PageOpened(CImageWindow& page) = 0;
    /// A page object is going away; the wizard must forget it.
    virtual void PageClosed(CImageWindow& page) = 0;
    virtual void SetupTypeChosen(int type) = 0;
    virtual void InstallForChosen(bool all_users) = 0;
    virtual void LaunchChosen(LaunchTarget target, bool chosen) = 0;
    /// The customer page's names, reported each time the page is left or clicked on.
    virtual void CustomerEntered(const std::string& user, const std::string& company) = 0;
    /// The destination the user picked, with its trailing backslash.
    virtual void InstallFolderChosen(const std::string& folder) = 0;
    /// The custom setup page's menu switched a feature: 0 installs it, 255 leaves it out.
    virtual void FeatureSwitched(const std::string& name, int state) = 0;

    // ---- what pages read
    virtual bool IsCurrentPage(const CImageWindow& page) const = 0;
    /// The settings value of `section`/`key` cut to `size` bytes; empty when missing.
    virtual std::string Setting(std::string_view section, std::string_view key, std::size_t size = 255) const = 0;
    /// A page text with the wizard's variables replaced ("Welcome to <ProductName>").
    virtual std::string ExpandText(std::string_view text) const = 0;
    virtual const WizardChoices& Choices() const = 0;
    /// The window that owns the pages; null for none.
    virtual CWnd* PageOwner() = 0;
    /// Makes `font` (of character height `height`) the font of the pages' controls; the
    /// wizard keeps it alive while pages use it.
    virtual const CFont& UsePageFont(const LayoutFont& font, int height) = 0;

    // ---- questions put to the user on a page's behalf
    /// The cancel confirmation over `owner`; true when the user confirmed.
    virtual bool ConfirmCancel(CWnd& owner) = 0;
    /// The folder chooser titled `title`; the folder chosen (no trailing backslash added).
    virtual std::optional<std::string> ChooseFolder(CWnd& owner, const std::string& title) = 0;
    /// Whether a message the page has for the user (a picture file that is missing) is shown in
    /// a box; the wizard may log it first, and a silent run shows none. A host without such a
    /// policy shows every message.
    virtual bool ShowsMessage(std::string_view /*text*/) { return true; }
    /// The language page's "IDC_SETLANGUAGE": switches to the language chosen on `page` and
    /// runs the start sequence. False (nothing done) when the page has no language list.
    virtual bool ApplyLanguageFrom(CImageWindow& page) = 0;
};

} // namespace cv
