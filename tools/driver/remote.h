#pragma once
// What the driver does inside the driven program's process: reading a tree view item (the
// item data must live in that process), typing into an edit field, and holding the thread of
// a window still so that a short-lived page can be photographed.

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace cv::driver {

struct TreeItem {
    HTREEITEM handle = nullptr;
    int image = -1;
    std::string text;
};

/// The `index`-th top-level item of tree view `tree` (handle null when there is none).
TreeItem ReadTreeItem(HWND tree, int index);

/// Sets the text of `edit` with WM_SETTEXT. A single-line edit control reports EN_CHANGE to
/// its parent by itself; for a multi-line one, which does not, the driver sends it as typing
/// would. False when the control did not answer.
bool SetControlText(HWND edit, const std::string& text);

/// Suspends the thread that owns `window`; false when it cannot be reached. Every suspended
/// thread is resumed by ThawAll.
bool Freeze(HWND window);
void ThawAll();

} // namespace cv::driver
