#pragma once
/// The unpacking's progress on the "IDC_PROGRESS1" bar of a page, in at most about 256 steps. Used by
/// the start page (unpacking into the work folder) and by the installation run (a split-files
/// build unpacks into the install folder).

#include "app/progress_steps.h"
#include "archive/extract_progress.h"
#include "pages/image_window_win.h"

#include <commctrl.h>
#include <windows.h>

namespace cv {

class PageProgressBar : public IExtractProgress {
  public:
    explicit PageProgressBar(HWND bar) : bar_(bar) {}
    void SetFileCount(std::size_t files) override {
        steps_.SetRange(static_cast<int>(files) + 1);
        ::SendMessageA(bar_, PBM_SETRANGE32, 0, static_cast<LPARAM>(files));
    }
    void SetFilesUnpacked(int count) override {
        if (steps_.Worth(count))
            ::SendMessageA(bar_, PBM_SETPOS, static_cast<WPARAM>(count), 0);
    }

  private:
    HWND bar_;
    ProgressSteps steps_;
};

/// The "IDC_PROGRESS1" bar of `page`, or null when it is no page window or has no such bar.
inline HWND ProgressBarOf(CWnd* page) {
    auto* image = dynamic_cast<CImageWindow*>(page);
    if (!image || !image->m_hWnd)
        return nullptr;
    int id = image->FindControlByName("IDC_PROGRESS1");
    return id == -1 ? nullptr : image->GetDlgItem(id);
}

} // namespace cv
