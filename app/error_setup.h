#pragma once
/// CErrorSetup: the retry/ignore/cancel box of template 143 that the installation engine
/// shows when a file operation fails.

#include "framework/dialog.h"

#include <string>

namespace cv {

class CErrorSetup : public CDialog {
  public:
    static constexpr int kRetry = 1;
    static constexpr int kIgnore = 2;
    static constexpr int kAbort = 3;

    explicit CErrorSetup(CWnd* parent = nullptr);

    std::string text;
    /// 255 hides Retry and Ignore, leaving only Cancel.
    int cancelOnly = 0;
    /// kRetry, kIgnore or kAbort once the dialog has closed (kAbort also for the close box).
    int result = 0;

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnCancel() override;
};

} // namespace cv
