#pragma once
/// Everything one installation run reads besides the installation script's files: the path
/// values, the Windows version, the process-wide switches and the wizard's answers (settings,
/// features, conditions) as callbacks, so the engine depends on no wizard class and host tests
/// need no process-wide state.

#include "engine/path_values.h"
#include "engine/system_token.h"

#include <atomic>
#include <functional>
#include <optional>
#include <string>

namespace cv {

struct SetupState;

/// A value of setup.inf: section and key; a missing key reads as "".
using SettingLookup = std::function<std::string(const std::string& section, const std::string& key)>;
/// The state of a feature of the wizard's feature table (0 installs it), nullopt when the table
/// has no feature of that name.
using FeatureLookup = std::function<std::optional<int>(const std::string& name)>;
/// Whether the named condition of the condition table holds (a name not in the table holds).
using ConditionCheck = std::function<bool(const std::string& name)>;

struct EngineContext {
    PathValues paths;
    /// What the system reports, for the Windows-version token.
    WindowsVersion version;
    /// The work folder's name below <TempFolder> ("cv%H%M%S"), without backslashes.
    std::string work_folder_name;
    /// The decrypted file list.
    std::string data_inf_path;
    /// Today as "YYYYMMDD", the Add/Remove entry's install date.
    std::string install_date;

    bool preview = false;             ///< status texts only, nothing changed on the machine
    bool disk_image = false;          ///< files come from "DiskImage1" beside the setup
    bool split_files = false;         ///< the archive extracts into the install folder itself
    bool work_folder_cleanup = false; ///< the wizard removes the work folder at the finish
    bool add_on_pending = false;      ///< the add-on step still needs the work folder
    bool customer_entered = false;    ///< the customer page was passed: the run keeps its names

    /// Set to 255 when the user aborts; null keeps the value in the engine only.
    std::atomic<int>* install_aborted = nullptr;

    SettingLookup setting;
    FeatureLookup feature_state;
    ConditionCheck condition_holds;
};

/// The folder the files are copied from: the work folder ("<TempFolder><name>\\"), the
/// "DiskImage1\\" folder beside the setup for disk images, or the setup folder itself for a
/// split-files build (that test comes last and wins). Ends with a backslash.
std::string SourceFolder(const EngineContext& context);
/// "<WindowsFolder>\\Installer\\<ProductCode>\\uninstall.log", expanded.
std::string UninstallLogPath(const PathValues& paths);
/// The folder of the uninstall log, with its trailing backslash.
std::string UninstallLogFolder(const PathValues& paths);

/// A context with the flags, the feature table, the abort flag and the data.inf path of the
/// process-wide setup state; the caller adds path values, work-folder name, Windows version,
/// the settings lookup and the condition check.
EngineContext ContextFromSetupState(SetupState& state);

} // namespace cv
