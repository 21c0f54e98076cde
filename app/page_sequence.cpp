// The wizard's page sequence: the page list, the answer to the clicks the pages report, next
// and previous page with the custom-setup skip, the completion page and the abort to it.

#include "app/main_frame.h"
#include "app/missing_layout.h"
#include "common/setup_state.h"
#include "app/trace.h"
#include "pages/image_window.h"
#include "app/settings_count.h"

#include <cstdio>
#include <cstdlib>

namespace cv {

namespace {

/// Position and count given to pages that are not in the list (start, language, add-on and
/// the hidden progress page).
constexpr int kOutsideListPosition = -1;
constexpr int kOutsideListCount = 50;

bool IsNonCustomSetupType(int type) { return type == 0 || type == 1; }

} // namespace

void CMainFrame::BuildPageList() {
    const TableCount count = SettingsTableCount(*this, "DIALOGLIST", kMaxPages, "TOTAL1");
    const long total = count.rows;
    if (count.Cut()) {
        // The list has room for kMaxPages names; the rest of a longer list is never shown.
        SendTrace("DIALOGLIST TOTAL1 " + std::to_string(count.total) + " cut to " + std::to_string(kMaxPages));
    }
    pages.fill(std::string());
    pageCount = 0;
    for (long i = 0; i < total; ++i) {
        char key[16];
        std::snprintf(key, sizeof key, "W%ld", i);
        pages[static_cast<std::size_t>(pageCount++)] = Setting("DIALOGLIST", key);
    }
    currentPosition = -1;
}

std::string CMainFrame::PageAt(int position) const {
    if (position < 0 || position >= pageCount)
        return {};
    return pages[static_cast<std::size_t>(position)];
}

bool CMainFrame::OpenPage(const std::string& file, int position, int count, bool visible) {
    if (!LayoutFileOrEndRun(strings.themeFolder, file))
        return false;
    auto* page = new CImageWindow(this);
    if (!page->Create()) {
        delete page;
        return false;
    }
    page->LoadPage(strings.themeFolder, file, position, count);
    currentPage = page;
    if (visible) {
        page->ShowWindow(SW_SHOW);
        ::SetForegroundWindow(page->m_hWnd);
    }
    return true;
}

void CMainFrame::ForwardClick(int, int, int action, const std::string& name, CWnd*, const std::string&) {
    if (name == "IDC_FINISH") {
        Finish();
        return;
    }
    if (wizardBlocked == kOn)
        return;
    if (name == "IDYES" || name == "IDNO")
        return;
    if (name == "IDC_BACK" || action == 2) {
        ShowPreviousPage();
        return;
    }
    if (name == "IDC_NEXT" || action == 1) {
        if (setupState().installAborted == kOn)
            ShowCompletionPage();
        else
            ShowNextPage();
    }
}

void CMainFrame::ShowNextPage() {
    SetupState& state = setupState();
    if (wizardBlocked == kOn || state.installAborted == kOn)
        return;
    if (IsNonCustomSetupType(setupType) && PageAt(currentPosition) == "setuptype.lcd")
        ++currentPosition;
    ++currentPosition;
    if (currentPosition >= pageCount) {
        // A list without its completion page: the page that asked has closed itself, so the
        // run ends on the completion page rather than with no window at all.
        currentPosition = pageCount - 1;
        ShowCompletionPage();
        return;
    }
    RunPageActions(currentPosition);
    if (state.installAborted == kOn)
        return;
    if (state.hiddenWizard == kOn) {
        state.hiddenWizard = kHiddenPageCreated;
        OpenPage("progress.lcd", kOutsideListPosition, kOutsideListCount, false);
        return;
    }
    SendTrace("HERE NO SHOW NEXT DIALOG");
    SendTrace(strings.themeFolder);
    OpenPage(PageAt(currentPosition), currentPosition, pageCount, true);
    SendTrace("SAINDO");
}

void CMainFrame::ShowPreviousPage() {
    --currentPosition;
    if (IsNonCustomSetupType(setupType) && PageAt(currentPosition) == "customsetup.lcd")
        --currentPosition;
    if (currentPosition < 1)
        currentPosition = 0;
    OpenPage(PageAt(currentPosition), currentPosition, pageCount, true);
}

void CMainFrame::ShowCompletionPage() {
    // A cancel confirmed during the installation has shown it already; the engine's end
    // asks again.
    auto* shown = dynamic_cast<CImageWindow*>(currentPage);
    if (shown && shown->m_hWnd && shown->layoutFile() == "complete.lcd")
        return;
    ++currentPosition;
    OpenPage("complete.lcd", pageCount, pageCount, true);
}

void CMainFrame::AbortToCompletionPage() {
    wizardBlocked = kOn;
    setupState().installAborted = kOn;
    CloseCurrentPage();
    ShowCompletionPage();
}

void CMainFrame::ContinueAfterInstallation() {
    SetupState& state = setupState();
    SendTrace("f1");
    if (state.installAborted == kOn) {
        ShowCompletionPage();
        return;
    }
    SendTrace("f2");
    if (state.addOnPending == kOn) {
        RunAddOnStep();
        state.addOnPending = kOff;
        return;
    }
    SendTrace("f3");
    if (state.hiddenWizard == kHiddenPageCreated) {
        Finish();
        return;
    }
    SendTrace("f4");
    ShowNextPage();
    SendTrace("f5");
}

void CMainFrame::CloseCurrentPage() {
    if (currentPage && currentPage->m_hWnd)
        currentPage->DestroyWindow();
    currentPage = nullptr;
}

} // namespace cv
