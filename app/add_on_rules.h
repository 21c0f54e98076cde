#pragma once
/// The add-on step after the installation: each row of MERGEMODULES may start an extra
/// installer and then the merge-module package through Windows Installer. The decisions are
/// made here against an interface to the machine and the wizard, so the host tests run the
/// whole step; app/add_on_step.cpp brings the Win32 side.

#include "common/table_section.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace cv {

/// Rows of MERGEMODULES read at most; the rest of a longer table is not run.
inline constexpr std::size_t kMaxAddOnEntries = 100;

/// One row of MERGEMODULES.
struct AddOnEntry {
    int systems = 0;          ///< "E": operating-system mask, as for file actions
    std::string feature;      ///< "F": feature the entry belongs to ("|" characters are ignored)
    std::string condition;    ///< "G": condition that must hold, or "No Condition"
    std::string program;      ///< "C": the installer to run (only names with ".exe" run)
    std::string arguments;    ///< "D": its command line
};

/// Reads row `row` of MERGEMODULES through `lookup` (values of up to 255 characters).
AddOnEntry ReadAddOnEntry(const SectionLookup& lookup, int row);

/// What the add-on step needs from the machine and the wizard.
class IAddOnMachine {
  public:
    virtual ~IAddOnMachine() = default;
    /// Whether the operating-system mask admits the running Windows version.
    virtual bool SystemAdmitted(int mask) = 0;
    /// The state of feature `name` in the feature table (0 installs it, 255 leaves it out),
    /// or -1 when the table has no such feature.
    virtual int FeatureState(const std::string& name) = 0;
    /// The check of a condition by its name; runs the condition's actions when it holds.
    virtual bool ConditionHolds(const std::string& name) = 0;
    virtual bool FileExists(const std::string& path) = 0;
    /// The wizard's expansion of variables.
    virtual std::string Expand(const std::string& text) = 0;
    /// Starts `program` with `arguments` and waits until it ends.
    virtual void RunProgram(const std::string& program, const std::string& arguments) = 0;
    /// Runs `command_line` as a new process and waits, while the window thread keeps
    /// dispatching its messages.
    virtual void RunCommand(const std::string& command_line) = 0;
};

/// Whether an entry of `feature` runs: its name without "|" characters is empty, is not in
/// the feature table, or has state 0 there.
bool AddOnFeaturePasses(std::string_view feature, IAddOnMachine& machine);

/// The installer of an entry as it is started: "<ResourceDir>" stands for the setup
/// folder's "SupportFiles" folder (`setup_folder` ends in a backslash). Empty for a "C"
/// text without ".exe", which names nothing to run.
std::string AddOnProgramPath(std::string_view program, std::string_view setup_folder);

/// The merge-module package beside the setup: "SupportFiles\\mergemod.msi" of the setup
/// folder, or "mergemod.msi" in the setup folder itself, which wins when both exist. Empty
/// when there is neither.
std::string FindMergeModulePackage(std::string_view setup_folder, IAddOnMachine& machine);

/// The command that installs `package` quietly, before variable expansion.
std::string MergeModuleCommand(std::string_view package);

/// Runs one entry: its installer (mask, feature and condition admitting), then the
/// merge-module package (condition checked again, package found, mask and feature
/// admitting).
void RunAddOnEntry(const AddOnEntry& entry, std::string_view setup_folder, IAddOnMachine& machine);

/// Runs every entry of MERGEMODULES in order. Gives the count as written and the rows run.
TableCount RunAddOnEntries(const SectionLookup& lookup, std::string_view setup_folder, IAddOnMachine& machine);

} // namespace cv
