#pragma once
/// What the installation engine tells the user while it runs, and what it asks. The wizard
/// implements it over the progress page (status controls, the progress bar by messages only)
/// and the retry/ignore/abort dialog; the engine knows no window. The calls come from the
/// engine's worker thread, except those of `BeginRun` and `EndRun` (traces, the full bar and
/// the clean-up status), which come from the window thread before the worker starts and after
/// it has ended; an implementation reaches its window by messages only.

#include <string>

namespace cv {

/// Answers of the copy-error question.
inline constexpr int kAnswerRetry = 1;
inline constexpr int kAnswerIgnore = 2;
inline constexpr int kAnswerAbort = 3;

class IInstallProgress {
  public:
    virtual ~IInstallProgress() = default;

    /// Puts `text` on the progress page: the first status line ("IDC_INFO") when `second` is
    /// false, the second ("IDC_INSTALLINFO") when true.
    virtual void SetStatusText(const std::string& text, bool second) = 0;
    /// Progress range 0..`count` of the page's bar.
    virtual void SetRange(int count) = 0;
    virtual void SetPosition(int position) = 0;
    /// The copy-error dialog. With `abort_only` only Abort is offered. Returns kAnswerRetry,
    /// kAnswerIgnore or kAnswerAbort (any other value counts as Ignore).
    virtual int AskRetryIgnoreAbort(const std::string& text, bool abort_only) = 0;
    /// A plain message box with OK.
    virtual void ShowMessage(const std::string& text) = 0;
    /// True once the user confirmed Cancel.
    virtual bool CancelRequested() = 0;
    /// One line to the setup's trace channel; never affects the run.
    virtual void Trace(const std::string& text) = 0;
    /// One line of the run's account for the administrator ("Installed C:\\App\\a.exe"):
    /// the run log of an unattended install. Dropped where nobody keeps such a log.
    virtual void RunLogLine(const std::string& text) { (void)text; }
};

} // namespace cv
