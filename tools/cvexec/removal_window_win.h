#pragma once
/// The uninstaller's plain windows, from its resources: the progress dialog shown while the
/// product is removed, and the Repair/Remove question of "/M".

#include "tools/cvexec/uninstall_page.h"
#include "tools/cvexec/uninstall_texts.h"

#include <windows.h>

#include <string>

namespace cv::uninstall {

/// A modeless dialog with a status line and a bar; its messages are dispatched at each
/// `Step`, so it paints while the removal runs on this thread.
class ProgressWindow {
  public:
    ProgressWindow(const UninstallTexts& texts, const TextValues& values);
    ~ProgressWindow();
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    void Step(int position, int count);
    HWND window() const { return window_; }

  private:
    HWND window_ = nullptr;
};

enum class ModifyChoice { Repair, Remove, Cancel };
ModifyChoice AskModify(const UninstallTexts& texts, const TextValues& values);

} // namespace cv::uninstall
