// The end of the run: the Finish button's step (file actions and conditions of the finish,
// launch file and readme, the restart question) and the removal of the work folder, which
// the last step that needs it does (app/finish_rules.h).

#include "app/action_rules.h"
#include "app/cancel_setup.h"
#include "app/finish_rules.h"
#include "app/main_frame.h"
#include "app/run_program.h"
#include "app/trace.h"
#include "app/unattended.h"
#include "common/file_system.h"
#include "common/path_text.h"
#include "common/setup_state.h"

#include <windows.h>

namespace cv {

namespace {

/// Asks the system to restart. Windows NT grants the restart only to a process whose
/// shutdown privilege is enabled, so it is enabled first.
bool RequestRestart() {
    HANDLE raw = nullptr;
    if (::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw)) {
        UniqueKernelHandle token(raw);
        TOKEN_PRIVILEGES privileges{};
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        if (::LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid) &&
            ::AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr) &&
            ::GetLastError() == ERROR_SUCCESS)
            SendTrace("restart: shutdown privilege enabled");
        else
            SendTrace("restart: shutdown privilege not enabled");
    }
    SendTrace("restart: requesting a forced reboot");
    return ::ExitWindowsEx(EWX_REBOOT | EWX_FORCE, 0) != FALSE;
}

} // namespace

void CMainFrame::Finish() {
    if (engineRunning == kOn) {
        // A cancel confirmed during the copy shows the completion page at once, while the
        // engine undoes the run with the copies kept in the work folder: the finish (which
        // may remove that folder and ends the process) waits for the engine's end.
        finishDeferred = kOn;
        SendTrace("finish waits for the engine");
        return;
    }
    SetupState& state = setupState();
    const std::string finish(kFinishTrigger);
    for (int i = 0; i < fileActionCount && i < static_cast<int>(fileActions.size()); ++i)
        if (fileActions[static_cast<std::size_t>(i)].trigger == finish)
            RunFileAction(i);
    // A hidden run shows no pages, so the actions bound to pages run now (run-once actions
    // that ran already are skipped by their done mark).
    if (state.hiddenWizard == kHiddenPageCreated)
        for (int i = 0; i < fileActionCount && i < static_cast<int>(fileActions.size()); ++i)
            RunFileAction(i);
    for (int i = 0; i < conditionCount && i < static_cast<int>(conditions.size()); ++i) {
        const Condition& condition = conditions[static_cast<std::size_t>(i)];
        if (condition.event == finish && condition.done != 255)
            EvaluateCondition(i);
    }

    UnattendedRun& run = unattendedRun();
    run.outcome().finished = true;
    const bool restart = AsksRestart(state.installAborted, restartRequested == kOn);
    if (restart) {
        // A deployment tool reads 3010 and restarts when it chooses.
        run.outcome().restartNeeded = true;
        run.Log("A restart is needed to complete the installation");
    }
    // Nothing is launched, opened or asked at the end of a silent run; a silent run never
    // restarts the machine itself.
    if (!run.Silent()) {
        strings.launchFile = ExpandText(strings.launchFile);
        strings.readmeFile = ExpandText(strings.readmeFile);
        if (choices_.launchFile == kOn && FileExists(strings.launchFile)) {
            const std::string folder = LaunchFolder(strings.launchFile);
            if (!folder.empty())
                ::SetCurrentDirectoryA(folder.c_str());
            SendTrace("launch " + strings.launchFile);
            if (!OpenWithShell(strings.launchFile, strings.launchParameters))
                SendTrace("launch file not opened");
        }
        if (choices_.launchReadme == kOn && FileExists(strings.readmeFile)) {
            SendTrace("readme " + strings.readmeFile);
            if (!OpenWithShell(strings.readmeFile))
                SendTrace("readme not opened");
        }
        if (restart) {
            CCancelSetup question(MessageOwner(), this);
            question.mode = CCancelSetup::kModeQuestion;
            question.text = ExpandText(kRestartQuestion);
            if (question.DoModal() == IDOK && !RequestRestart())
                ::MessageBoxA(m_hWnd, std::string(kRestartRefused).c_str(), nullptr, MB_OK);
        }
    }

    SendTrace("z1");
    WorkFolderFlags flags{state.workFolderCleanup, state.addOnPending};
    const bool remove = FinishRemovesWorkFolder(flags);
    state.workFolderCleanup = flags.cleanup;
    if (remove)
        RemoveWorkFolder();
    SendTrace("z2");
    SetTimer(kTimerCloseFrame, 400);
}

void CMainFrame::RemoveWorkFolder() {
    SetupState& state = setupState();
    if (!WorkFolderRemovable({state.workFolderCleanup, state.addOnPending}))
        return;
    // Without a name the path would be the temp folder itself.
    if (strings.workFolderName.empty())
        return;
    const std::string folder = WithoutTrailingBackslash(ExpandText("<TempFolder>\\" + strings.workFolderName));
    if (!FolderExists(folder))
        return;
    // A folder that is the current directory (or holds it) cannot be removed.
    char current[MAX_PATH + 1] = {};
    const std::string inside = WithTrailingBackslash(folder);
    while (::GetCurrentDirectoryA(sizeof current, current) > 0 &&
           _strnicmp(WithTrailingBackslash(current).c_str(), inside.c_str(), inside.size()) == 0) {
        const std::string parent = LaunchFolder(WithoutTrailingBackslash(current));
        if (parent.empty() || !::SetCurrentDirectoryA(parent.c_str()))
            break;
    }
    if (RemoveFolderTree(folder))
        SendTrace("work folder removed");
}

} // namespace cv
