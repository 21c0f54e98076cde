#include "engine/engine_run_win.h"

#include "engine/install_target_win.h"
#include "engine/prior_state_file.h"
#include "engine/removal_target_win.h"
#include "engine/uninstall_log_file_win.h"
#include "framework/thread.h"

#include <objbase.h>
#include <windows.h>

namespace cv {

WindowsVersion CurrentWindowsVersion() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    WindowsVersion v;
    if (::GetVersionExA(&info)) {
        v.major = info.dwMajorVersion;
        v.minor = info.dwMinorVersion;
        v.build = info.dwBuildNumber;
        v.nt_platform = info.dwPlatformId == VER_PLATFORM_WIN32_NT;
    }
    return v;
}

int CCVEngine::Run() {
    BeginRun();
    CWinThread worker([this] { return StartCopyNowTH(); });
    if (worker.CreateThread()) {
        Trace("ATL BACK 3");
        worker.WaitDispatching();
    }
    EndRun();
    return 1;
}

unsigned CCVEngine::StartCopyNowTH() {
    Trace("StartCopyNowTH 1");
    // The shortcut step creates its COM objects on this thread.
    const HRESULT com = ::CoInitialize(nullptr);
    if (FAILED(com)) {
        ShowErrorNumber(0, "Iniciar() - Corvane Can't CO-INITIALIZE; Please restart your computer; If not work, "
                           "you must update your Windows!");
    } else {
        InstallAll();
        ::CoUninitialize();
    }
    Trace("StartCopyNowTH 11");
    Trace("StartCopyNowTH 2");
    return 0;
}

int RunInstallation(EngineContext context, IInstallProgress& progress, ISplitInstaller* split,
                    IFileDownload* download) {
    InstallTargetWin target;
    UninstallLogFile log(UninstallLogPath(context.paths));
    // What the run finds already there goes into the prior-state file beside the log; a
    // preview changes nothing and records nothing.
    const bool preview = context.preview;
    UninstallLogFile prior_file(UninstallLogFolder(context.paths) + kPriorStateFileName);
    PriorStateRecorder recorder(prior_file);
    RemovalTargetWin removal;
    CCVEngine engine(std::move(context), target, progress, log);
    engine.SetSplitInstaller(split);
    engine.SetFileDownload(download);
    if (!preview)
        engine.EnableRollback(&recorder, &removal);
    return engine.Run();
}

} // namespace cv
