// The start page and the unpacking of the product archive behind it.
#include "app/main_frame.h"
#include "app/page_progress_bar.h"
#include "app/trace.h"
#include "app/unattended.h"
#include "archive/compress.h"
#include "common/file_system.h"
#include "common/setup_state.h"
#include "pages/image_window_win.h"

namespace cv {

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
    compress.askDisk = DiskPromptForRun();
    if (compress.UnCompress())
        return true;
    // A full or read-only temp drive, a damaged archive: the user is told why, and the work
    // folder with what was half written into it goes, as the run ends here.
    SetupState& state = setupState();
    if (unattendedRun().outcome().cancelled) {
        // The user cancelled at the disk prompt: nothing failed that needs telling.
        RemoveFolderTree(state.workFolder);
        return false;
    }
    const std::string& why = extractionState().failure;
    const std::string text = "The setup cannot unpack its files into " + state.workFolder +
                             (why.empty() ? std::string(".") : ":\r\n" + why);
    if (unattendedRun().Failure(text))
        ::MessageBoxA(nullptr, text.c_str(), nullptr, MB_OK | MB_ICONSTOP);
    RemoveFolderTree(state.workFolder);
    return false;
}

} // namespace cv
