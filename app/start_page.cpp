// The start page and the unpacking of the product archive behind it.
#include "app/main_frame.h"
#include "app/progress_steps.h"
#include "app/trace.h"
#include "archive/compress.h"
#include "common/setup_state.h"
#include "pages/image_window_win.h"

#include <commctrl.h>

namespace cv {

namespace {

/// The unpacking's progress on the "IDC_PROGRESS1" bar of a page: one step per file.
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

/// The progress bar of `page`, or null when it has none.
HWND ProgressBarOf(CWnd* page) {
    auto* image = dynamic_cast<CImageWindow*>(page);
    if (!image || !image->m_hWnd)
        return nullptr;
    int id = image->FindControlByName("IDC_PROGRESS1");
    return id == -1 ? nullptr : image->GetDlgItem(id);
}

} // namespace

bool CMainFrame::CreateStartPage() {
    auto* page = new CImageWindow(*this);
    if (!page->Create()) {
        delete page;
        return false;
    }
    page->LoadPage(strings.themeFolder, "start.lcd", -1, 50);
    page->ShowWindow(setupState().hiddenWizard == kOn ? SW_HIDE : SW_SHOW);
    page->UpdateWindow();
    currentPage = page;
    return true;
}

bool CMainFrame::UnpackArchive() {
    CCompress compress;
    HWND bar = ProgressBarOf(currentPage);
    PageProgressBar progress(bar);
    compress.progress = bar ? &progress : nullptr;
    compress.trace = SendTrace;
    return compress.UnCompress();
}

} // namespace cv
