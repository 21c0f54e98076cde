// The checks before the first page: the Windows version name, the product's system
// requirements, administrator rights, and what to do about a previous version.
#include "app/cancel_setup.h"
#include "app/dialog_text.h"
#include "app/main_frame.h"
#include "app/precheck_rules.h"
#include "app/run_program.h"
#include "common/setup_state.h"
#include "app/trace.h"
#include "app/unattended.h"
#include "common/profile_cache.h"
#include "engine/variables.h"
#include "registry/reg_key.h"
#include "sysinfo/cpu_assembly.h"
#include "sysinfo/req.h"
#include "sysinfo/requirement_check.h"
#include "sysinfo/system_probes.h"
#include "sysinfo/version_name.h"

#include <algorithm>
#include <limits>

namespace cv {

namespace {

/// The requirement probes of this machine: `CReq` for the four measurements, a fresh
/// `CPUAssembly` for the processor.
class MachineProbes : public IRequirementProbes {
  public:
    bool OperatingSystem(std::uint32_t mask) override {
        return req_.CheckOperatingSystem(static_cast<int>(mask),
                                         [](const std::string& line) { SendTrace(line); }) != 0;
    }
    bool Memory(std::int64_t required_mb) override {
        // A requirement beyond what an int holds is beyond any machine as well.
        const std::int64_t capped = std::clamp<std::int64_t>(required_mb, 0, std::numeric_limits<int>::max());
        return req_.CheckMemory(static_cast<int>(capped)) != 0;
    }
    bool Screen(const std::string& resolution) override { return req_.CheckScreen(resolution.c_str()) != 0; }
    bool Colours(const std::string& colours) override { return req_.CheckColours(colours.c_str()) != 0; }
    bool Processor(const std::string& required) override {
        CPUAssembly cpu;
        return ProcessorMeets(cpu, required);
    }

  private:
    CReq req_;
};

/// A string value (REG_SZ or REG_EXPAND_SZ, unexpanded) read with read access only; empty when
/// the key or the value is missing or the value is of another type.
std::string ReadRegistryString(HKEY root, const std::string& path, const std::string& name) {
    RegKey key = OpenRegKey(root, path.c_str(), KEY_READ);
    if (!key)
        return {};
    return ReadRegistryText(key.get(), name.c_str(), MAX_PATH);
}

/// The hive a registry value text names; null for a hive the upgrade step does not read.
HKEY UpgradeHive(const std::string& name) {
    if (name == "HKEY_LOCAL_MACHINE")
        return HKEY_LOCAL_MACHINE;
    if (name == "HKEY_CURRENT_USER")
        return HKEY_CURRENT_USER;
    return nullptr;
}

/// Whether this user may change the machine's part of the registry: a limited account is
/// refused full access to the machine's CurrentVersion key.
bool HasMachineWriteAccess() {
    return static_cast<bool>(
        OpenRegKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", KEY_ALL_ACCESS));
}

/// A failed check's message: the one-button message box of the small dialogs.
void ShowCheckMessage(CMainFrame* frame, const std::string& text) {
    if (!unattendedRun().Failure(text))
        return;
    CCancelSetup box(frame, frame);
    box.mode = CCancelSetup::kModeMessage;
    box.text = text;
    box.DoModal();
}

} // namespace

void CMainFrame::DetermineWindowsVersionName() { windowsVersionName = WindowsVersionName(SystemVersion()); }

bool CMainFrame::CheckRequirements() {
    const Requirements req =
        ReadRequirements([this](const char* key) { return Setting("SYSTEM", key, 100); });
    MachineProbes probes;
    const std::optional<Requirement> unmet = FirstUnmetRequirement(req, probes);
    if (!unmet)
        return true;
    const std::string key = RequirementMessageKey(*unmet);
    const std::string raw = GetProfileValue(setupState().languageFile, "REQ", key, "", 255);
    // A language entry that is there goes through the language file's own rules (brackets,
    // prefix) and is expanded with it; the English default only needs expanding.
    std::string text = raw.empty() ? ExpandText(RequirementMessage(*unmet, ""))
                                   : DialogLanguageText("REQ", key, this);
    ShowCheckMessage(this, text);
    return false;
}

bool CMainFrame::CheckAdministratorRights() {
    if (Setting("APPINFO", "a7") != "Yes")
        return true;
    // The settings reader falls back to a read-only lookup and then to the environment, so
    // the Program Files folder alone almost never shows a limited account; the refused full
    // access to the machine key does.
    if (!paths.program_files.empty() && HasMachineWriteAccess())
        return true;
    ShowCheckMessage(this, std::string(kAdministratorRightsNeeded));
    return false;
}

bool CMainFrame::HandlePreviousVersion() {
    SetupState& state = setupState();
    const PreviousVersionStep step =
        ChoosePreviousVersionStep(Setting("APPINFO", "a26"), Setting("APPINFO", "a27"), Setting("APPINFO", "a29"));
    std::string folder;
    switch (step) {
    case PreviousVersionStep::None:
        return true;
    case PreviousVersionStep::RemoveOld: {
        const std::string program = ExpandVariables(kRemovalProgram, VariableValues());
        const std::string arguments = ExpandVariables(kRemovalArguments, VariableValues());
        const std::string key = ExpandVariables(UninstallKeyPath("<ProductCode>"), VariableValues());
        if (!ReadRegistryString(HKEY_LOCAL_MACHINE, key, "DisplayName").empty()) {
            // A removal program that is not there starts nothing; the run goes on.
            StartProgramAndWait(program, arguments);
        }
        return true;
    }
    case PreviousVersionStep::AutoDetectFolder:
        folder = ReadRegistryString(HKEY_LOCAL_MACHINE, UninstallKeyPath(Setting("APPINFO", "a3")),
                                    "LastInstallationPath");
        if (folder.empty()) {
            if (unattendedRun().Failure(kPreviousVersionNotFound))
                ::MessageBoxA(nullptr, std::string(kPreviousVersionNotFound).c_str(), nullptr, MB_OK);
            return false;
        }
        break;
    case PreviousVersionStep::NamedValueFolder: {
        const std::optional<RegistryValuePath> where = SplitRegistryValuePath(Setting("APPINFO", "a28"));
        if (!where)
            return true;
        if (HKEY hive = UpgradeHive(where->hive))
            folder = ReadRegistryString(hive, where->key, where->value);
        if (folder.empty())
            return true;
        break;
    }
    }
    // An install folder given on the command line is the administrator's choice and stays.
    if (!unattendedRun().commandLine().installFolder)
        state.installFolder = FolderWithBackslash(folder);
    return true;
}

} // namespace cv
