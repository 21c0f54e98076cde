// The add-on step: after the installation the page "3rdparty.lcd" shows while the extra
// installers and the merge-module package of MERGEMODULES run (decided in add_on_rules);
// then the work folder goes and the wizard moves on.

#include "app/action_rules.h"
#include "app/add_on_rules.h"
#include "app/finish_rules.h"
#include "app/main_frame.h"
#include "app/run_program.h"
#include "app/settings_count.h"
#include "app/trace.h"
#include "common/file_system.h"
#include "common/setup_state.h"

namespace cv {

namespace {

/// The machine and the wizard as the add-on step sees them.
class AddOnMachine : public IAddOnMachine {
  public:
    AddOnMachine(CMainFrame& wizard, const std::string& version_name) : wizard_(wizard), version_(version_name) {}

    bool SystemAdmitted(int mask) override { return OperatingSystemAdmitted(mask, version_); }
    int FeatureState(const std::string& name) override {
        const SetupState& state = setupState();
        const int index = state.FindFeature(name);
        return index < 0 ? -1 : state.features[static_cast<std::size_t>(index)].state;
    }
    bool ConditionHolds(const std::string& name) override { return wizard_.CheckConditionByName(name) == 1; }
    bool FileExists(const std::string& path) override { return cv::FileExists(path); }
    std::string Expand(const std::string& text) override { return wizard_.ExpandText(text); }
    void RunProgram(const std::string& program, const std::string& arguments) override {
        SendTrace("add-on program " + program);
        if (!StartProgramAndWait(program, arguments))
            SendTrace("add-on program not started");
    }
    void RunCommand(const std::string& command_line) override {
        SendTrace("add-on command " + command_line);
        // The add-on page keeps painting while Windows Installer works.
        if (!RunCommandAndWait(command_line))
            SendTrace("add-on command not started");
    }

  private:
    CMainFrame& wizard_;
    std::string version_;
};

} // namespace

void CMainFrame::PrepareAddOnStep() {
    if (paths.product_name == "HV Web Conferencing")
        return;
    if (SettingsTableCount(*this, "MERGEMODULES", 0).total != 0)
        setupState().addOnPending = kOn;
}

void CMainFrame::ShowAddOnPage() {
    OpenPage(PageOpening{"3rdparty.lcd"}, true);
    SetTimer(kTimerAddOn, 1000);
}

void CMainFrame::RunAddOnStep() {
    SetupState& state = setupState();
    AddOnMachine machine(*this, windowsVersionName);
    SectionLookup lookup = [this](const std::string& key, std::size_t buffer) {
        return Setting("MERGEMODULES", key.c_str(), buffer);
    };
    const TableCount count = RunAddOnEntries(lookup, state.setupFolder, machine);
    if (count.Cut())
        SendTrace("MERGEMODULES TOTAL " + std::to_string(count.total) + " cut to " + std::to_string(count.rows));

    SendTrace("w1");
    WorkFolderFlags flags{state.workFolderCleanup, state.addOnPending};
    const bool remove = AddOnStepRemovesWorkFolder(flags);
    state.addOnPending = flags.addOnPending;
    if (remove)
        RemoveWorkFolder();
    SendTrace("w2");
    CloseCurrentPage();
    SendTrace("w3");
    ShowNextPage();
}

} // namespace cv
