#include "engine/rollback.h"

#include "engine/engine.h"
#include "engine/prior_state_file.h"
#include "engine/removal_plan.h"
#include "engine/removal_run.h"

namespace cv {

namespace {

constexpr const char* kStatusUndoing = "Undoing the installation...";

std::string WithoutTrailingBackslash(std::string path) {
    while (!path.empty() && path.back() == '\\')
        path.pop_back();
    return path;
}

} // namespace

std::string CCVEngine::prior_state_path() const { return log_folder_ + kPriorStateFileName; }

void CCVEngine::EnableRollback(PriorStateRecorder* recorder, IRemovalTarget* removal) {
    recorder_ = recorder && removal ? recorder : nullptr;
    removal_ = recorder_ ? removal : nullptr;
    SetPriorState(recorder_);
}

void KeepEarlierLog(CCVEngine& engine, std::optional<std::string>& log, std::optional<std::string>& prior,
                    bool& log_folder_existed) {
    IInstallTarget& target = engine.target();
    log_folder_existed = target.FolderExists(WithoutTrailingBackslash(engine.log_folder()));
    log = target.FileExists(engine.log_path()) ? target.ReadWholeFile(engine.log_path()) : std::nullopt;
    const std::string prior_path = engine.prior_state_path();
    prior = target.FileExists(prior_path) ? target.ReadWholeFile(prior_path) : std::nullopt;
    // A copy on disk too: should this process end before the run does, the earlier
    // installation's log is still there to be put back by hand.
    const std::string work = engine.Expand("<TempFolder>\\" + engine.context().work_folder_name + "\\");
    if (log)
        target.WriteWholeFile(work + "earlier_uninstall.log", *log);
    if (prior)
        target.WriteWholeFile(work + "earlier_prior.log", *prior);
    if (prior)
        target.RemoveFile(prior_path);
}

void CCVEngine::RollBack() {
    if (!recorder_ || !removal_ || context_.preview)
        return;
    SetStatusText(kStatusUndoing);
    Trace("ROLLBACK 1");
    RemovalInput in;
    in.rollback = true;
    in.log = ReadUninstallLog(log_copy_.text());
    in.prior = recorder_->this_run();
    const PathValues& p = context_.paths;
    for (const std::string* folder :
         {&p.windows_folder, &p.system_folder, &p.temp_folder, &p.program_files, &p.common_files, &p.fonts_folder,
          &p.favorites_folder, &p.my_pictures_folder, &p.send_to_folder, &p.app_data_folder, &p.personal_folder,
          &p.programs_menu, &p.startup_folder, &p.start_menu, &p.desktop_folder})
        if (!folder->empty())
            in.protected_folders.push_back(*folder);
    const RemovalPlan plan = PlanRemoval(in);
    const RemovalReport report = CarryOutRemoval(plan, *removal_);
    for (const std::string& failure : report.failures)
        Trace("ROLLBACK could not undo: " + failure);

    // This run's log and prior-state file go; an earlier installation's come back.
    log_copy_.Close();
    recorder_->CloseFile();
    if (earlier_log_)
        target_.WriteWholeFile(log_path_, *earlier_log_);
    else if (target_.FileExists(log_path_))
        target_.RemoveFile(log_path_);
    const std::string prior_path = prior_state_path();
    if (earlier_prior_)
        target_.WriteWholeFile(prior_path, *earlier_prior_);
    else if (target_.FileExists(prior_path))
        target_.RemoveFile(prior_path);
    if (!log_folder_existed_ && target_.FolderExists(WithoutTrailingBackslash(log_folder_)))
        target_.DeleteTree(WithoutTrailingBackslash(log_folder_));
    Trace("ROLLBACK 2");
}

} // namespace cv
