// The installation run: the engine over the progress page, the copy-error dialog and, in a
// split-files build, the archive unpacking straight into the install folder.
#include "app/error_setup.h"
#include "app/main_frame.h"
#include "app/page_download.h"
#include "app/page_progress_bar.h"
#include "app/trace.h"
#include "app/unattended.h"
#include "archive/compress.h"
#include "common/setup_state.h"
#include "engine/engine_run_win.h"
#include "engine/variables.h"
#include "engine/uninstall_log.h"
#include "engine/uninstall_log_writer.h"
#include "pages/image_window_win.h"

#include <commctrl.h>

#include <cstdio>

namespace cv {

namespace {

/// What the engine tells the user, on the progress page. Called from the engine's worker; the
/// page's controls are reached by messages only (SetDlgItemText and SendMessage are serviced
/// by the window thread while it waits for the worker).
class ProgressPage : public IInstallProgress {
  public:
    explicit ProgressPage(CWnd* page)
        : page_(dynamic_cast<CImageWindow*>(page)), bar_(ProgressBarOf(page)) {}

    void SetStatusText(const std::string& text, bool second) override {
        // The first line names the step the engine is at.
        if (!second && !text.empty() && text != lastStep_) {
            lastStep_ = text;
            unattendedRun().Log("Step: " + text);
        }
        if (page_ && page_->m_hWnd)
            page_->SetProgressText(text, second ? 1 : 0);
    }
    void SetRange(int count) override {
        steps_.SetRange(count);
        if (!bar_)
            return;
        // The 16-bit range message holds up to 65535 files; a longer list needs the 32-bit one.
        if (count >= 0 && count <= 0xFFFF)
            ::SendMessageA(bar_, PBM_SETRANGE, 0, MAKELPARAM(0, count));
        else
            ::SendMessageA(bar_, PBM_SETRANGE32, 0, static_cast<LPARAM>(count));
    }
    void SetPosition(int position) override {
        if (bar_ && steps_.Worth(position))
            ::SendMessageA(bar_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    }
    int AskRetryIgnoreAbort(const std::string& text, bool abort_only) override {
        UnattendedRun& run = unattendedRun();
        if (!run.Message(text)) {
            // Nobody can retry in a silent run: it stops, and its changes are taken back.
            run.outcome().failed = true;
            run.Log("Answer: Abort");
            return kAnswerAbort;
        }
        CErrorSetup dialog(page_);
        dialog.text = text;
        dialog.cancelOnly = abort_only ? kOn : kOff;
        dialog.DoModal();
        static const char* const kAnswers[] = {"", "Retry", "Ignore", "Abort"};
        const int answer = dialog.result;
        run.Log(std::string("Answer: ") + (answer >= 1 && answer <= 3 ? kAnswers[answer] : "Ignore"));
        if (answer == kAnswerAbort)
            run.outcome().failed = true;
        return answer;
    }
    void ShowMessage(const std::string& text) override {
        // The engine's messages are its errors.
        if (unattendedRun().Failure(text))
            ::MessageBoxA(page_ ? page_->m_hWnd : nullptr, text.c_str(), nullptr, MB_OK | MB_ICONSTOP);
    }
    void RunLogLine(const std::string& text) override { unattendedRun().Log(text); }
    bool CancelRequested() override { return setupState().cancelFlag == 1; }
    void Trace(const std::string& text) override { SendTrace(text); }

  private:
    CImageWindow* page_;
    HWND bar_;
    ProgressSteps steps_;
    std::string lastStep_;
};

/// The unpacking writes its "FILE" lines into the engine's log.
class LogLines : public IUninstallLog {
  public:
    explicit LogLines(UninstallLogWriter& writer) : writer_(writer) {}
    void WriteLogEntry(const std::string& key, const std::string& value) override {
        writer_.WriteLogEntry(key, value);
    }

  private:
    UninstallLogWriter& writer_;
};

/// A split-files build: the archive unpacks each file into the install folder (which the
/// unpacking takes from the setup state, where the wizard keeps the chosen folder).
class ArchiveIntoInstallFolder : public ISplitInstaller {
  public:
    explicit ArchiveIntoInstallFolder(HWND bar) : bar_(bar) {}
    bool InstallFiles(const std::string&, UninstallLogWriter& log) override {
        LogLines lines(log);
        PageProgressBar progress(bar_);
        CCompress compress;
        compress.engine = &lines;
        compress.progress = bar_ ? &progress : nullptr;
        compress.trace = SendTrace;
        compress.askDisk = DiskPromptForRun();
        return compress.UnCompress();
    }

  private:
    HWND bar_;
};

} // namespace

void CMainFrame::RunInstallation() {
    SetupState& state = setupState();
    // The engine gets its own copies: the path values with the user's choices and variables,
    // and the condition table, which its checks evaluate without running any action.
    EngineContext context = ContextFromSetupState(state);
    context.paths = VariableValues();
    if (context.paths.default_install_dir.empty())
        context.paths.default_install_dir = state.defaultInstallFolder;
    context.work_folder_name = strings.workFolderName;
    context.customer_entered = choices_.customerEntered;
    context.version = CurrentWindowsVersion();
    SYSTEMTIME today{};
    ::GetLocalTime(&today);
    char date[16];
    std::snprintf(date, sizeof date, "%04u%02u%02u", unsigned{today.wYear}, unsigned{today.wMonth},
                  unsigned{today.wDay});
    context.install_date = date;
    context.setting = [this](const std::string& section, const std::string& key) {
        return Setting(section.c_str(), key.c_str());
    };
    const ConditionTable table = conditions;
    const int count = conditionCount;
    const PathValues values = context.paths;
    context.condition_holds = [table, count, values](const std::string& name) {
        return cv::CheckConditionByName(table, count, name, [&values](const std::string& text) {
            return ExpandVariables(text, values);
        });
    };

    ProgressPage progress(currentPage);
    ArchiveIntoInstallFolder archive(ProgressBarOf(currentPage));
    PageDownload download(dynamic_cast<CImageWindow*>(currentPage));
    engineRunning = kOn;
    cv::RunInstallation(std::move(context), progress, state.splitBuild == kOn ? &archive : nullptr, &download);
    engineRunning = kOff;
    if (finishDeferred == kOn) {
        // Finish was pressed on the completion page that a confirmed cancel showed while the
        // run was being undone: now that the undo is over, the run ends.
        finishDeferred = kOff;
        Finish();
        return;
    }
    ContinueAfterInstallation();
}

} // namespace cv
