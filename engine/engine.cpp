#include "engine/engine.h"

#include "engine/file_backup.h"
#include "engine/prior_state_file.h"
#include "engine/rollback.h"
#include "engine/step_associations.h"
#include "engine/step_environment.h"
#include "engine/step_file_list.h"
#include "engine/step_files.h"
#include "engine/step_customer_info.h"
#include "engine/step_ini.h"
#include "engine/step_registry.h"
#include "engine/step_services.h"
#include "engine/step_shortcuts.h"
#include "engine/step_uninstall_program.h"
#include "engine/step_uninstall_registration.h"
#include "engine/variables.h"

#include "common/setup_state.h"

namespace cv {

CCVEngine::CCVEngine(EngineContext context, IInstallTarget& target, IInstallProgress& progress,
                     ILogSink& log_sink)
    : context_(std::move(context)), target_(target), progress_(progress), log_copy_(log_sink), log_(log_copy_) {
    // The folders of the run follow from the context alone; the steps read them from here.
    source_folder_ = SourceFolder(context_);
    log_path_ = UninstallLogPath(context_.paths);
    log_folder_ = UninstallLogFolder(context_.paths);
    token_ = DetectSystemToken(context_.version);
}

std::string CCVEngine::Expand(std::string_view text) const {
    return ExpandVariables(text, context_.paths);
}

std::string CCVEngine::Setting(const std::string& section, const std::string& key) const {
    return context_.setting ? context_.setting(section, key) : std::string();
}

void CCVEngine::SetStatusText(const std::string& text, bool second) {
    progress_.SetStatusText(text, second);
}

bool CCVEngine::FeatureLetsThrough(const std::string& feature) const {
    std::string name;
    for (char c : feature)
        if (c != '|')
            name.push_back(c);
    if (name.empty() || !context_.feature_state)
        return true;
    std::optional<int> state = context_.feature_state(name);
    return !state || *state == 0;
}

bool CCVEngine::ConditionHolds(const std::string& name) const {
    if (name.empty() || name == "No Condition" || !context_.condition_holds)
        return true;
    return context_.condition_holds(name);
}

void CCVEngine::RemoveTempFiles() {
    if (context_.work_folder_cleanup)
        return;
    SetStatusText(status::kRemovingTemp);
    if (context_.add_on_pending)
        return;
    std::string work = Expand("<TempFolder>\\" + context_.work_folder_name);
    // Without a name the path would be the temp folder itself.
    if (context_.work_folder_name.empty() || !target_.FolderExists(work))
        return;
    if (target_.DeleteTree(work))
        Trace("DEL TREE OK!");
}

void CCVEngine::Abort() {
    // A run that is rolled back needs its copies of overwritten files until it has been;
    // the end of the run removes the work folder then.
    if (!recorder_)
        RemoveTempFiles();
    aborted_ = true;
    if (context_.install_aborted)
        *context_.install_aborted = kOn;
}

void CCVEngine::ShowErrorNumber(int number, const std::string& message) {
    progress_.ShowMessage("Error Number: " + std::to_string(number) + "\r\nMessage: " + message);
}

void CCVEngine::BeginRun() {
    Trace("ATL BACK 1");
    if (recorder_ && !context_.preview)
        KeepEarlierLog(*this, earlier_log_, earlier_prior_, log_folder_existed_);
    // Every installation starts a new log; a preview changes nothing, an old log included.
    if (!context_.preview && target_.FileExists(log_path_))
        target_.RemoveFile(log_path_);
    Trace("ATL BACK 2");
}

void CCVEngine::InstallAll() {
    token_ = DetectSystemToken(context_.version);

    SetStatusText(status::kLoading);
    std::string error;
    if (!LoadFileData(*this, error)) {
        std::string message = "LoadFileData() - Error";
        if (!error.empty())
            message += "\r\n" + error;
        ShowErrorNumber(1, message);
        return;
    }
    const bool preview = context_.preview;
    if (recorder_ && !preview)
        recorder_->StartFromEarlier(ReadUninstallLog(earlier_log_.value_or("")),
                                    ReadPriorState(earlier_prior_.value_or("")).records);
    if (!preview)
        InstallUninstallProgram(*this);

    progress_.SetRange(file_count());

    SetStatusText(status::kCopying);
    if (context_.split_files) {
        if (!preview) {
            if (!split_ || !split_->InstallFiles(context_.paths.install_dir, log_)) {
                Trace("split-files extraction failed");
                RollBack();
                return;
            }
        }
    } else if (!preview && !CopyFiles(*this)) {
        RollBack();
        return;
    }

    SetStatusText(status::kShortcuts);
    if (!preview)
        CreateShortcuts(*this);

    SetStatusText(status::kSetting);
    if (!preview) {
        WriteCustomerInfo(*this);
        WriteIniEntries(*this);
        WriteRegistryEntries(*this);
        CreateFileAssociations(*this);
        SetEnvironmentVariables(*this);
        // Services change the machine too, so a preview leaves them out as well.
        InstallServices(*this);
        // An Abort in the services step: the run is undone and not registered.
        if (aborted_ && recorder_) {
            RollBack();
            return;
        }
    }

    SetStatusText(status::kFinishing);
    if (!preview) {
        RegisterUninstall(*this);
        KeepBackups(*this);
    }
}

void CCVEngine::EndRun() {
    progress_.SetPosition(file_count());
    Trace("ATL BACK 5");
    if (!context_.preview) {
        Trace("m1");
        RemoveTempFiles();
        Trace("m2");
    }
}

} // namespace cv
