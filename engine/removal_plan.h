#pragma once
/// The removal plan: from the uninstall log and the prior-state records, the list of changes
/// that take a product (or a cancelled run) off the machine, in the order they must happen:
/// the uninstall-time program, services, shortcuts and their folders, file associations,
/// registry values, registry keys, environment entries, INI entries, files, folders (deepest
/// first), then the Add/Remove entry, the log folder and the shared uninstaller.
///
/// The never-remove rules are applied here, where host tests reach them:
/// - what the machine held before the product is kept or put back: a file it overwrote, an
///   INI file it wrote into (only its entries go), a key or value that was there (a value is
///   given its old data back), a variable it appended to (only the appended entry goes);
/// - a path that is not absolute, a drive root, a protected folder (the Windows, system,
///   fonts, program-files and profile folders the caller names) or a folder above one is
///   never removed; a registry root, a key directly below it and a short list of system keys
///   are never deleted;
/// - folders and registry keys (REGKEY, and the parents the installation created with them,
///   REGKEYMADE records) go only when empty, which the target checks when it gets there;
/// - a "FILE" line that names a folder (the live-update lines do) removes nothing;
/// - a library the installation registered (a SELFREG record) is unregistered with
///   "regsvr32.exe /u /s", waited for, right before it is deleted; one that was there before
///   keeps its registration.

#include "engine/install_target.h"
#include "engine/prior_state_file.h"
#include "engine/uninstall_log_reader.h"

#include <cstdint>
#include <string>
#include <vector>

namespace cv {

enum class RemovalAction {
    RunProgram,          ///< path: the command line; waited for
    OpenUrl,             ///< path: the URL
    DeleteService,       ///< name
    RemoveShortcut,      ///< path
    RemoveFolderIfEmpty, ///< path
    DeleteClassKey,      ///< root, path: a key of a file association, with its sub-keys
    DeleteValue,         ///< root, path (key), name
    RestoreValue,        ///< root, path (key), name, type, data
    DeleteKeyIfEmpty,    ///< root, path
    RemoveEnvironmentEntry, ///< root, path (key), name (variable), data (the entry)
    NotifyEnvironment,   ///< tells running programs
    DeleteIniEntry,      ///< path (file), section, name (key)
    RestoreIniEntry,     ///< path (file), section, name (key), data (the value before)
    RemoveFile,          ///< path
    RemoveFont,          ///< path: unregistered, then deleted
    RestoreFile,         ///< path, data: the backup copied back over it
    EmptyInstallFolder,  ///< path: REMOVEALL, what is left inside the install folder
    DeleteUninstallEntry, ///< root, path: the Add/Remove key with its values
    DeleteLogFolder,     ///< path: the log folder with everything in it
    RemoveSharedUninstaller, ///< path: cvexec.exe, now or at the next start
};

struct RemovalStep {
    RemovalStep(RemovalAction a, RegRoot r = RegRoot::LocalMachine, std::string p = {}, std::string s = {},
                std::string n = {}, std::string d = {})
        : action(a), root(r), path(std::move(p)), section(std::move(s)), name(std::move(n)), data(std::move(d)) {}

    RemovalAction action;
    RegRoot root = RegRoot::LocalMachine;
    std::string path;
    std::string section;
    std::string name;
    std::string data;
    std::uint32_t type = 0;
};

/// One line per step, for tests and the uninstaller's report: "DELETE-VALUE HKEY_...\\k\\n".
std::string DescribeRemovalStep(const RemovalStep& step);

struct RemovalInput {
    UninstallLogContent log;
    std::vector<PriorRecord> prior;
    /// A rollback undoes one run: records of things an earlier installation made are put
    /// back like anything else found, overwritten files come back from their backups, and
    /// the uninstall-time program is not run.
    bool rollback = false;
    std::string log_folder;      ///< "" for a rollback (the engine restores the log itself)
    /// A removal: where a finished run kept the copies of the files it overwrote (the log
    /// folder's "backup\"); each is put back under the name its record gives.
    std::string backup_folder;
    std::string uninstall_key;   ///< the Add/Remove key under HKEY_LOCAL_MACHINE; "" for none
    std::string uninstall_execute; ///< "UninstallExecute": the program's copy in the install folder
    std::string install_folder;  ///< for REMOVEALL
    std::string shared_uninstaller; ///< cvexec.exe when no other product still names it; ""
    std::vector<std::string> protected_folders;
};

struct RemovalPlan {
    std::vector<RemovalStep> steps;
    /// Log entries the rules refused, with the reason: "FILE C:\\x: not an absolute path".
    std::vector<std::string> refused;
};

RemovalPlan PlanRemoval(const RemovalInput& input);

/// True when `path` is "X:\\something" or "\\\\server\\share\\something": a path below a
/// drive root or a share.
bool IsAbsoluteBelowRoot(const std::string& path);

/// Splits "HKEY_LOCAL_MACHINE\\Software\\Acme" into root and key; false for an unknown root.
bool SplitRegistryPath(const std::string& full, RegRoot& root, std::string& key);

} // namespace cv
