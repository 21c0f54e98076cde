#pragma once
/// CCancelSetup: the yes/no box of template 142. It serves three ways, by mode: a plain
/// message with one button (255), a yes/no question (333), and the cancel confirmation of
/// the pages (any other mode), whose question comes from the language file.

#include "framework/dialog.h"

#include <string>

namespace cv {

class IWizardHost;

class CCancelSetup : public CDialog {
  public:
    static constexpr int kModeMessage = 255;
    static constexpr int kModeQuestion = 333;
    static constexpr int kModeCancel = 0;

    /// Texts are expanded with the variables of `wizard` (the application's frame when null).
    explicit CCancelSetup(CWnd* parent = nullptr, const IWizardHost* wizard = nullptr);

    std::string text; ///< the message or question (modes 255 and 333)
    int mode = kModeCancel;

    /// DoModal answers 1 (IDOK) for the positive button, IDCANCEL otherwise.

  protected:
    BOOL OnInitDialog() override;
    void OnOK() override { EndDialog(IDOK); }

  private:
    /// Sets control `id` to `caption` unless the language file gave nothing, so a missing
    /// language file keeps the template's own texts instead of blank buttons.
    void SetItemText(int id, const std::string& caption);
    const IWizardHost* wizard_;
};

/// Asks the cancel confirmation over `owner`; true when the user confirmed.
bool ConfirmCancel(CWnd* owner);

} // namespace cv
