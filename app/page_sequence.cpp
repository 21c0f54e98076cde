// The wizard's page sequence as the main frame runs it: the answer to the clicks the pages
// report, and opening the page that PageOrder (page_order.h) says comes next or before.

#include "app/main_frame.h"
#include "app/missing_layout.h"
#include "app/unattended.h"
#include "common/setup_state.h"
#include "app/trace.h"
#include "app/settings_count.h"
#include "pages/image_window_win.h"

#include <cstdio>
#include <cstdlib>

namespace cv {

void CMainFrame::BuildPageList() {
    const TableCount count = SettingsTableCount(*this, "DIALOGLIST", kMaxPages, "TOTAL1");
    if (count.Cut()) {
        // The list has room for kMaxPages names; the rest of a longer list is never shown.
        SendTrace("DIALOGLIST TOTAL1 " + std::to_string(count.total) + " cut to " + std::to_string(kMaxPages));
    }
    order.Build(count.rows, [this](int i) {
        char key[16];
        std::snprintf(key, sizeof key, "W%d", i);
        return Setting("DIALOGLIST", key);
    });
}

bool CMainFrame::OpenPage(const PageOpening& opening, bool visible) {
    if (!LayoutFileOrEndRun(strings.themeFolder, opening.file, currentPage ? currentPage->m_hWnd : nullptr))
        return false;
    auto* page = new CImageWindow(*this);
    if (!page->Create()) {
        delete page;
        return false;
    }
    page->LoadPage(strings.themeFolder, opening.file, opening.position, opening.count);
    currentPage = page;
    if (visible) {
        page->ShowWindow(SW_SHOW);
        ::SetForegroundWindow(page->m_hWnd);
    }
    return true;
}

void CMainFrame::ForwardClick(const PageClick& click, CImageWindow&) {
    const std::string& name = click.name;
    const int action = click.action;
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
    if (!order.Advance(choices_.setupType)) {
        // A list without its completion page: the page that asked has closed itself, so the
        // run ends on the completion page rather than with no window at all.
        ShowCompletionPage();
        return;
    }
    RunPageActions(order.position());
    if (state.installAborted == kOn)
        return;
    if (state.hiddenWizard == kOn) {
        state.hiddenWizard = kHiddenPageCreated;
        OpenPage(PageOpening{"progress.lcd"}, false);
        return;
    }
    SendTrace("HERE NO SHOW NEXT DIALOG");
    SendTrace(strings.themeFolder);
    OpenPage(order.Current(), true);
    SendTrace("SAINDO");
}

void CMainFrame::ShowPreviousPage() { OpenPage(order.StepBack(choices_.setupType), true); }

void CMainFrame::ShowCompletionPage() {
    if (unattendedRun().Silent()) {
        // No page in a silent run: it ends here, after an abort as at the finish.
        SetTimer(kTimerCloseFrame, 400);
        return;
    }
    // A cancel confirmed during the installation has shown it already; the engine's end
    // asks again.
    auto* shown = dynamic_cast<CImageWindow*>(currentPage);
    if (shown && shown->m_hWnd && shown->layoutFile() == "complete.lcd")
        return;
    OpenPage(order.Completion(), true);
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
        ShowAddOnPage();
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
