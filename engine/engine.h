#pragma once
/// CCVEngine: one installation run. The wizard builds an EngineContext, constructs the engine
/// over an install target, a progress page and a log sink, and calls `Run` on its window
/// thread (or `RunInstallation` of engine_run_win.h, which brings the Win32 parts). `Run`
/// prepares the source folder and the log, runs `InstallAll` on one worker thread while the
/// window thread keeps dispatching messages, fills the bar and removes the work folder.
///
/// The steps (`step_*.h`) are free functions over the engine: they read the script through
/// it, decide, and change the machine only through `target()`, the user only through
/// `progress()` and the log only through `WriteLogEntry`.

#include "engine/engine_context.h"
#include "engine/file_download.h"
#include "engine/file_list.h"
#include "engine/install_progress.h"
#include "engine/install_target.h"
#include "engine/prior_state.h"
#include "engine/removal_target.h"
#include "engine/uninstall_log_writer.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cv {

class PriorStateRecorder;

/// Passes the log's lines on and keeps a copy of this run's: a rollback reads them back.
class RunLogCopy final : public ILogSink {
  public:
    explicit RunLogCopy(ILogSink& next) : next_(next) {}
    bool Append(std::string_view line) override {
        const bool written = next_.Append(line);
        if (written)
            text_.append(line);
        return written;
    }
    void Close() override { next_.Close(); }
    const std::string& text() const { return text_; }

  private:
    ILogSink& next_;
    std::string text_;
};

/// Installs the files of a split-files build: the archive extracts each file straight into
/// `install_folder` and writes a "FILE" line for it to `log` before writing it.
class ISplitInstaller {
  public:
    virtual ~ISplitInstaller() = default;
    /// True when every file was extracted.
    virtual bool InstallFiles(const std::string& install_folder, UninstallLogWriter& log) = 0;
};

/// The status texts of the run, as the progress page shows them.
namespace status {
inline constexpr const char* kLoading = "Loading data information...";
inline constexpr const char* kCopying = "Please Wait, Copying Files...";
inline constexpr const char* kShortcuts = "Please Wait, Creating Shortcuts...";
inline constexpr const char* kSetting = "Please Wait, Setting system...";
inline constexpr const char* kFinishing = "Finishing settings...";
inline constexpr const char* kDirectories = "Creating directories...";
inline constexpr const char* kRemovingTemp = "Removing temporary files...";
} // namespace status

class CCVEngine {
  public:
    CCVEngine(EngineContext context, IInstallTarget& target, IInstallProgress& progress,
              ILogSink& log_sink);
    CCVEngine(const CCVEngine&) = delete;
    CCVEngine& operator=(const CCVEngine&) = delete;

    /// Split-files builds only: what extracts the archive into the install folder.
    void SetSplitInstaller(ISplitInstaller* installer) { split_ = installer; }
    /// Where the steps report what they found on the machine before changing it; unset, it
    /// is recorded nowhere.
    void SetPriorState(IPriorState* prior) { prior_ = prior ? prior : &no_prior_; }
    /// A real run: what it finds is recorded in the prior-state file through `recorder`, the
    /// files it overwrites are copied first, and a cancelled or aborted run is undone through
    /// `removal` (engine/rollback.cpp). Not for a preview, which changes nothing.
    void EnableRollback(PriorStateRecorder* recorder, IRemovalTarget* removal);
    bool keeps_prior_state() const { return recorder_ != nullptr; }
    /// Undoes what this run did: what it created goes, what it overwrote comes back, and the
    /// log of an earlier installation of the product is put back.
    void RollBack();
    /// The prior-state file's path in the log folder.
    std::string prior_state_path() const;
    /// What fetches the files given by web addresses; unset, such a file fails like a
    /// missing source.
    void SetFileDownload(IFileDownload* download) { download_ = download; }

    /// The whole run on the window thread (Windows only): BeginRun, InstallAll on the worker
    /// thread `StartCopyNowTH` (which initialises COM for itself) waited for while messages are
    /// dispatched, EndRun. Returns 1 once the worker has ended; success or failure reach the
    /// wizard through the abort flag and the cancel flag.
    int Run();

    /// Run's first stage: a log left by an earlier installation is deleted (not in preview).
    /// The source folder, log path and log folder were fixed by the constructor.
    void BeginRun();
    /// The steps in order, on the worker thread: the file list and folders, the
    /// uninstall-time program, the files, shortcuts, INI entries, registry, associations,
    /// environment, services, and the uninstall registration; in preview only the status texts
    /// (nothing changes on the machine). Ends early when the file list cannot be read or the
    /// copying was aborted or cancelled.
    void InstallAll();
    /// Run's last stage: a full bar, then the work folder is removed (not in preview).
    void EndRun();

    // ------------------------------------------------------------ for the steps
    const EngineContext& context() const { return context_; }
    IInstallTarget& target() { return target_; }
    IInstallProgress& progress() { return progress_; }
    UninstallLogWriter& log() { return log_; }
    ISplitInstaller* split_installer() { return split_; }
    IPriorState& prior() { return *prior_; }
    IFileDownload* file_download() { return download_; }

    /// ExpandVariables with this run's path values.
    std::string Expand(std::string_view text) const;
    /// A value of setup.inf ("" when missing or when no lookup was given).
    std::string Setting(const std::string& section, const std::string& key) const;
    void WriteLogEntry(std::string_view key, std::string_view value) { log_.WriteLogEntry(key, value); }
    void SetStatusText(const std::string& text, bool second = false);
    void Trace(const std::string& text) { progress_.Trace(text); }

    /// Whether a row naming `feature` is installed: every "|" is removed; an empty name, or
    /// one the feature table does not hold, lets the row through; a held name with a non-zero
    /// state does not.
    bool FeatureLetsThrough(const std::string& feature) const;
    /// "No Condition" and an empty name hold; otherwise the wizard's condition check decides.
    bool ConditionHolds(const std::string& name) const;

    /// Deletes the work folder, unless the wizard keeps it for its own clean-up or for the
    /// add-on step.
    void RemoveTempFiles();
    /// The user aborted (or a critical file failed): the work folder goes and the run is
    /// marked aborted (255).
    void Abort();
    bool aborted() const { return aborted_; }

    const std::string& token() const { return token_; }
    const std::string& source_folder() const { return source_folder_; }
    const std::string& log_path() const { return log_path_; }
    const std::string& log_folder() const { return log_folder_; }
    std::vector<FileRecord>& files() { return files_; }
    int file_count() const { return static_cast<int>(files_.size()); }

  private:
    /// The worker thread's body (Windows only).
    unsigned StartCopyNowTH();
    /// The error box of InstallAll's failures: "Error Number: %i\r\nMessage: %s".
    void ShowErrorNumber(int number, const std::string& message);

    EngineContext context_;
    IInstallTarget& target_;
    IInstallProgress& progress_;
    RunLogCopy log_copy_;
    UninstallLogWriter log_;
    ISplitInstaller* split_ = nullptr;
    PriorStateRecorder* recorder_ = nullptr;
    IRemovalTarget* removal_ = nullptr;
    /// What the log folder held before this run (for a rollback and the recorder).
    std::optional<std::string> earlier_log_;
    std::optional<std::string> earlier_prior_;
    bool log_folder_existed_ = false;
    NullPriorState no_prior_;
    IPriorState* prior_ = &no_prior_;
    IFileDownload* download_ = nullptr;

    std::string token_;
    std::string source_folder_;
    std::string log_path_;
    std::string log_folder_;
    std::vector<FileRecord> files_;
    bool aborted_ = false;
};

} // namespace cv
