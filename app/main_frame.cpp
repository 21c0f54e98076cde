#include "app/main_frame.h"

#include "app/action_rules.h"
#include "common/setup_state.h"
#include "app/trace.h"
#include "common/profile_cache.h"
#include "crypto/rijndael_file.h"
#include "app/settings_count.h"
#include "app/unattended.h"
#include "common/file_system.h"
#include "common/path_text.h"

#include <ctime>

namespace cv {

namespace {

const char kMissingDataFiles[] =
    "Sorry, Corvane can't find data files.\r\nsetup.nsx and data.nsx\r\nThese files must be in "
    "the same directory of setup.exe";

} // namespace

CMainFrame::CMainFrame() = default;
CMainFrame::~CMainFrame() = default;

LRESULT CMainFrame::WindowProc(UINT msg, WPARAM w, LPARAM l) {
    switch (msg) {
    case WM_CREATE: {
        LRESULT result = CFrameWnd::WindowProc(msg, w, l);
        frameCreated_ = result != -1;
        return result;
    }
    case WM_TIMER:
        OnTimer(w);
        return 0;
    case WM_ERASEBKGND:
        if (OnEraseBackground(reinterpret_cast<HDC>(w)))
            return 1;
        break;
    case WM_PAINT:
        if (backgroundPictureLoaded == kOn) {
            OnPaint();
            return 0;
        }
        break;
    case kMsgMaximizeBackground:
    case WM_DISPLAYCHANGE:
    case WM_SETTINGCHANGE:
        // The desktop may still be settling its size when the background first shows. A
        // window maximised before its creation has finished keeps its default size, so
        // nothing is done until then (the posted message comes after it).
        if (backgroundShown == kOn && frameCreated_)
            CoverWorkArea();
        if (msg != kMsgMaximizeBackground)
            break;
        return 0;
    case WM_GETMINMAXINFO:
        if (backgroundShown == kOn) {
            // The maximised background always covers the primary screen's work area.
            auto* info = reinterpret_cast<MINMAXINFO*>(l);
            RECT work = WorkArea();
            int bx = ::GetSystemMetrics(SM_CXFRAME), by = ::GetSystemMetrics(SM_CYFRAME);
            info->ptMaxPosition = POINT{work.left - bx, work.top - by};
            info->ptMaxSize = POINT{work.right - work.left + 2 * bx, work.bottom - work.top + 2 * by};
            return 0;
        }
        break;
    case WM_COMMAND:
        if (LOWORD(w) == 0xE141) { // File > Exit
            PostMessage(WM_CLOSE);
            return 0;
        }
        break;
    default:
        break;
    }
    return CFrameWnd::WindowProc(msg, w, l);
}

int CMainFrame::OnCreate(CREATESTRUCTA* cs) {
    if (CFrameWnd::OnCreate(cs) == -1)
        return -1;
    splashShown = kOff;
    choices_.setupType = -1;
    choices_.launchFile = 0;
    choices_.launchReadme = 0;
    fileActionCount = 0;

    try {
        ResolveBasicFolders();
        if (!PrepareWorkFolderAndDecrypt()) {
            if (unattendedRun().Failure(kMissingDataFiles))
                ::MessageBoxA(nullptr, kMissingDataFiles, nullptr, MB_OK);
            ::PostQuitMessage(0);
            return -1;
        }
    } catch (const std::exception& e) {
        // A settings file that does not decrypt (the cipher says why) or a folder the run
        // cannot use: the message is shown, then the run ends.
        if (unattendedRun().Failure(e.what()))
            ::MessageBoxA(nullptr, e.what(), nullptr, MB_OK | MB_ICONSTOP);
        ::PostQuitMessage(0);
        return -1;
    }
    ReadRegistryValues();
    DetermineBuildKind();
    ResolveShellFolders();
    ReadProductSettings();
    if (!ApplyCommandLine())
        return -1;
    DetermineWindowsVersionName();
    if (DecideLanguage())
        return 0;
    RunStartSequence();
    return 0;
}

// ---------------------------------------------------------------- start sequence

void CMainFrame::FailStartSequence() {
    // Whatever step stopped the run, a deployment tool reads it as a failed installation.
    unattendedRun().outcome().failed = true;
    ::PostQuitMessage(0);
}

bool CMainFrame::ApplyCommandLine() {
    UnattendedRun& run = unattendedRun();
    SetupState& state = setupState();
    run.Log("Settings read: " + paths.product_name + " " + paths.product_version + ", product code " +
            paths.product_code + ", work folder " + state.workFolder);
    if (run.Silent())
        state.hiddenWizard = kOn; // no page is shown, whatever the settings say
    if (const auto& folder = run.commandLine().installFolder) {
        const std::string install = WithTrailingBackslash(*folder);
        paths.default_install_dir = install;
        state.installFolder = install;
        state.defaultInstallFolder = install;
    }
    if (run.ClaimProduct(paths.product_code) || !run.CommandLineMode())
        return true;
    // The other setup owns the product; this one leaves nothing behind.
    RemoveFolderTree(state.workFolder);
    ::PostQuitMessage(0);
    return false;
}

int CMainFrame::RunStartSequence() {
    SetupState& state = setupState();
    UnattendedRun& run = unattendedRun();

    SendTrace("1");
    if (!run.Silent() && (Setting("SPLASH", "a1") == "Yes" || Setting("SPLASH", "a5") == "Yes"))
        ShowSplash();

    SendTrace("2");
    if (!CheckRequirements()) {
        run.Log("Check requirements: not met");
        FailStartSequence();
        return -1;
    }
    run.Log("Check requirements: met");
    SendTrace("3");
    if (!CheckAdministratorRights()) {
        run.Log("Check administrator rights: refused");
        FailStartSequence();
        return -1;
    }
    run.Log("Check administrator rights: passed");
    SendTrace("4");
    ReadConditions();
    SendTrace("5");
    if (!HandlePreviousVersion()) {
        run.Log("Check previous version: setup cannot go on");
        FailStartSequence();
        return -1;
    }
    run.Log("Check previous version: passed; install folder " + setupState().installFolder);
    SendTrace("6");
    BuildPageList();
    order.Restart();
    SendTrace("a7");
    ReadFileActions();
    SendTrace("a8");
    ReadFeatures();
    SendTrace("a9");
    if (!StartPageAndUnpack()) {
        FailStartSequence();
        return -1;
    }
    SendTrace("a10");
    if (state.hiddenWizard != kOn)
        ShowBackgroundWindow();
    SendTrace("a11");
    if (!run.Silent() && SettingsTableCount(*this, "BILLBOARDSCV", 0).total > 0)
        StartBillboards();
    SendTrace("a12");
    ReadUserVariables();
    SendTrace("13");
    PrepareAddOnStep();
    SendTrace("14");
    if (splashShown != kOn)
        ShowNextPage();
    SendTrace("15");
    if (splashShown == kOn && state.diskImageMode == kOn) {
        SendTrace("16");
        SetTimer(kTimerDiskImageSplash, 1000);
        SendTrace("17");
    }
    return 0;
}

bool CMainFrame::StartPageAndUnpack() {
    SetupState& state = setupState();
    RunPageActions(-1);
    if (state.diskImageMode == kOn)
        return true;
    SendTrace("START INSTALL NOW");
    if (!CreateStartPage())
        return false;
    if (!UnpackArchive())
        return false;
    unattendedRun().Log("Product archive unpacked into the work folder");
    SendTrace("DESCOMPACTOU");
    if (splashShown == kOn) {
        SendTrace("PULA =255");
        state.unpacked = kOn;
        SetTimer(kTimerStartPageDone, 1000);
    } else {
        SendTrace("TerminarJanela");
        CloseCurrentPage();
    }
    return true;
}

RECT CMainFrame::WorkArea() {
    RECT work{};
    if (!::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0) || work.right <= work.left)
        work = RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    return work;
}

void CMainFrame::BringPageToFront(HWND page) {
    // Maximising activates the frame, and some window managers then stack it above its own
    // pages; passing the page through the topmost band restacks it on all of them.
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW;
    ::SetWindowPos(page, HWND_TOPMOST, 0, 0, 0, 0, flags);
    ::SetWindowPos(page, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
    ::SetForegroundWindow(page);
}

void CMainFrame::CoverWorkArea() {
    // A window maximised while the desktop is still starting can keep a smaller size; the
    // background must cover the whole work area whatever the window manager did.
    RECT work = WorkArea();
    RECT now = GetWindowRect();
    if (now.right - now.left >= work.right - work.left && now.bottom - now.top >= work.bottom - work.top)
        return;
    ::SetWindowPos(m_hWnd, nullptr, work.left, work.top, work.right - work.left, work.bottom - work.top,
                   SWP_NOACTIVATE | SWP_NOZORDER);
    // The gradient depends on the client height: repaint all of it at the new size.
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    if (currentPage && currentPage->m_hWnd)
        BringPageToFront(currentPage->m_hWnd);
}

// ---------------------------------------------------------------- timers

void CMainFrame::OnTimer(UINT_PTR id) {
    SetupState& state = setupState();
    switch (id) {
    case kTimerStartPageDone:
        if (state.splashDone != kOn)
            return;
        KillTimer(id);
        CloseCurrentPage();
        ShowNextPage();
        break;
    case kTimerAddOn:
        KillTimer(id);
        RunAddOnStep();
        break;
    case kTimerDiskImageSplash:
        if (state.splashDone != kOn)
            return;
        KillTimer(id);
        ShowNextPage();
        break;
    case kTimerCloseFrame:
        KillTimer(id);
        SendTrace("timer 4");
        PostMessage(WM_CLOSE);
        ::PostMessageA(m_hWnd, WM_QUIT, 0, 0);
        SendTrace("");
        break;
    default:
        break;
    }
}

} // namespace cv
