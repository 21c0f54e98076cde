#pragma once
/// CPathDialog: the shell's folder browser with an edit field (id 14148) above the folder
/// tree, in which a folder may also be typed. OK accepts only a well-formed folder (see
/// app/folder_rules.h); a missing one is created, level by level, after asking.

#include <windows.h>

#include <string>

namespace cv {

class CPathDialog {
  public:
    static constexpr int kEditId = 14148;
    static constexpr int kTreeId = 14145;
    static constexpr int kStatusId = 14147;

    /// `caption` titles the browser; `initial_folder` is selected first (the current
    /// directory when empty); `owner` is disabled while the browser runs and enabled after.
    CPathDialog(std::string caption, std::string initial_folder, HWND owner);

    /// Runs the browser; IDOK when a folder was accepted (then in folder()), else IDCANCEL.
    INT_PTR DoModal();

    const std::string& folder() const { return result_; }
    bool accepted() const { return accepted_; }

  private:
    static int CALLBACK BrowseCallback(HWND wnd, UINT msg, LPARAM l, LPARAM data);
    static LRESULT CALLBACK BrowserProc(HWND wnd, UINT msg, WPARAM w, LPARAM l);
    void OnInitialized(HWND browser);
    void OnSelectionChanged(HWND browser, LPARAM item);
    void OnEditChanged(HWND browser);
    /// True when the typed folder was accepted and the browser may end.
    bool OnOk(HWND browser);
    /// Creates every missing level; false (after the message) when one cannot be created.
    bool CreateFolder(HWND browser, const std::string& folder);

    std::string caption_;
    std::string initial_;
    HWND owner_;
    std::string result_;
    bool accepted_ = false;
    HWND edit_ = nullptr;
    WNDPROC browser_proc_ = nullptr;
};

} // namespace cv
