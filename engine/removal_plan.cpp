#include "engine/removal_plan.h"

#include <algorithm>
#include <cctype>

namespace cv {

namespace {

constexpr const char* kFontsKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
constexpr const char* kUserEnvironment = "Environment";
constexpr const char* kSystemEnvironment = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";

// Keys that hold other programs' entries: never deleted, even when they look empty.
constexpr const char* kProtectedKeys[] = {
    "Environment",
    "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment",
    "SYSTEM\\CurrentControlSet\\Services",
    "SOFTWARE\\Classes",
    "SOFTWARE\\Microsoft",
    "SOFTWARE\\Microsoft\\Windows",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
    "SOFTWARE\\Microsoft\\Windows NT",
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
};
// Class keys that belong to the shell: never deleted as an association's key.
constexpr const char* kProtectedClassKeys[] = {"*", "Directory", "Folder", "Drive", "AllFilesystemObjects",
                                               "CLSID", "Interface", "TypeLib", "exefile", ".exe"};

int Depth(const std::string& path) {
    return static_cast<int>(std::count(path.begin(), path.end(), '\\'));
}

// Deepest first; among equals the later log line first.
std::vector<std::string> DeepestFirst(std::vector<std::string> paths) {
    std::reverse(paths.begin(), paths.end());
    std::stable_sort(paths.begin(), paths.end(), [](const std::string& a, const std::string& b) {
        return Depth(WindowsPathKey(a)) > Depth(WindowsPathKey(b));
    });
    return paths;
}

bool IsProtectedKey(RegRoot root, const std::string& key) {
    const std::string k = WindowsPathKey(key);
    if (k.empty() || k.find('\\') == std::string::npos)
        return true; // a root or a key directly below it
    if (root == RegRoot::ClassesRoot)
        return false;
    for (const char* p : kProtectedKeys)
        if (k == WindowsPathKey(p))
            return true;
    return false;
}

bool IsProtectedClassKey(const std::string& key) {
    const std::string k = WindowsPathKey(key);
    if (k.empty())
        return true;
    for (const char* p : kProtectedClassKeys)
        if (k == WindowsPathKey(p))
            return true;
    return false;
}

bool IsEnvironmentKey(RegRoot root, const std::string& key) {
    return (root == RegRoot::CurrentUser && SameWindowsPath(key, kUserEnvironment)) ||
           (root == RegRoot::LocalMachine && SameWindowsPath(key, kSystemEnvironment));
}

// "HKEY_CURRENT_USER\\Software\\Acme\\Version" -> key "Software\\Acme", name "Version"; a
// trailing backslash names the key's default value.
bool SplitRegistryValue(const std::string& full, RegRoot& root, std::string& key, std::string& name) {
    const std::size_t cut = full.find('\\');
    if (cut == std::string::npos || !ParseRegRoot(full.substr(0, cut), root))
        return false;
    const std::string rest = full.substr(cut + 1);
    const std::size_t last = rest.rfind('\\');
    if (last == std::string::npos || last == 0)
        return false;
    key = rest.substr(0, last);
    name = rest.substr(last + 1);
    return true;
}

std::string FileNameOf(const std::string& path) {
    const std::size_t at = path.find_last_of("\\/");
    return at == std::string::npos ? path : path.substr(at + 1);
}

std::string ParentOf(const std::string& path) {
    std::string p = path;
    while (!p.empty() && p.back() == '\\')
        p.pop_back();
    const std::size_t at = p.rfind('\\');
    return at == std::string::npos ? std::string() : p.substr(0, at);
}

class Planner {
  public:
    explicit Planner(const RemovalInput& input) : in_(input) {
        // The first record of a subject counts; in a removal, what an earlier installation
        // of the product made is the product's and goes like the rest.
        for (const PriorRecord& r : input.prior) {
            if (r.earlier && !input.rollback)
                continue;
            if (!Find(r.kind, r.root, r.path, r.section, r.name))
                found_.push_back(r);
        }
    }

    RemovalPlan Build() {
        Program();
        Services();
        Shortcuts();
        ClassKeys();
        RegistryValues();
        RegistryKeys();
        Environment();
        IniEntries();
        Files();
        Folders();
        Closing();
        return std::move(plan_);
    }

  private:
    const PriorRecord* Find(PriorKind kind, RegRoot root, const std::string& path, const std::string& section,
                            const std::string& name) const {
        for (const PriorRecord& r : found_) {
            if (r.kind != kind || !SameWindowsPath(r.path, path))
                continue;
            const bool registry = kind == PriorKind::RegistryKeyExisted || kind == PriorKind::RegistryValueReplaced ||
                                  kind == PriorKind::EnvironmentAppended;
            if (registry && r.root != root)
                continue;
            if (WindowsPathKey(r.section) != WindowsPathKey(section) || WindowsPathKey(r.name) != WindowsPathKey(name))
                continue;
            return &r;
        }
        return nullptr;
    }
    // Every record counts here, an earlier installation's too: the library was registered.
    bool SelfRegistered(const std::string& path) const {
        return std::any_of(in_.prior.begin(), in_.prior.end(), [&](const PriorRecord& r) {
            return r.kind == PriorKind::SelfRegistered && SameWindowsPath(r.path, path);
        });
    }
    bool FoundFile(const std::string& path) const { return Find(PriorKind::FileReplaced, {}, path, "", "") != nullptr; }
    bool FoundIniFile(const std::string& path) const {
        return Find(PriorKind::IniFileExisted, {}, path, "", "") != nullptr;
    }

    void Add(RemovalStep step) { plan_.steps.push_back(std::move(step)); }
    void Refuse(const std::string& key, const std::string& value, const char* reason) {
        plan_.refused.push_back(key + " " + value + ": " + reason);
    }

    bool IsProtectedFolder(const std::string& path) const {
        const std::string k = WindowsPathKey(path);
        for (const std::string& p : in_.protected_folders) {
            const std::string pk = WindowsPathKey(p);
            if (pk.empty())
                continue;
            if (k == pk || (pk.size() > k.size() && pk.compare(0, k.size(), k) == 0 && pk[k.size()] == '\\'))
                return true;
        }
        return false;
    }
    // The checks every removed path passes; false (and the reason noted) when it must stay.
    bool MayRemovePath(const char* key, const std::string& path) {
        if (!IsAbsoluteBelowRoot(path)) {
            Refuse(key, path, "not a full path below a drive or share");
            return false;
        }
        if (IsProtectedFolder(path)) {
            Refuse(key, path, "a protected folder");
            return false;
        }
        return true;
    }

    // A file that was there before the product: its old bytes come back where a copy was
    // kept, otherwise it stays as it is.
    void PutBack(const std::string& path, const PriorRecord& before) {
        if (before.backup.empty())
            return;
        if (in_.rollback)
            Add({RemovalAction::RestoreFile, {}, path, "", "", before.backup});
        else if (!in_.backup_folder.empty())
            Add({RemovalAction::RestoreFile, {}, path, "", "", in_.backup_folder + FileNameOf(before.backup)});
    }

    void Program() {
        const std::string& program = in_.log.uninstall_program;
        if (in_.rollback || program.empty())
            return;
        if (program.find("http://") != std::string::npos || program.find("https://") != std::string::npos) {
            Add({RemovalAction::OpenUrl, {}, program});
            return;
        }
        // The log names the copy in the log folder by its file name.
        std::string path = program;
        if (!IsAbsoluteBelowRoot(path)) {
            if (in_.log_folder.empty() || program.find_first_of("\\/:") != std::string::npos) {
                Refuse("RUN3RD", program, "no program in the log folder");
                return;
            }
            path = in_.log_folder + program;
        }
        std::string command = "\"" + path + "\"";
        if (!in_.log.uninstall_program_command.empty())
            command += " " + in_.log.uninstall_program_command;
        Add({RemovalAction::RunProgram, {}, command});
    }

    void Services() {
        for (const std::string& name : in_.log.services) {
            RemovalStep s{RemovalAction::DeleteService};
            s.name = name;
            Add(s);
        }
    }

    void Shortcuts() {
        std::vector<std::string> holders;
        for (const std::string& path : in_.log.shortcuts) {
            if (!MayRemovePath("SHORTCUT", path))
                continue;
            if (const PriorRecord* before = Find(PriorKind::FileReplaced, {}, path, "", ""))
                PutBack(path, *before); // the user's own shortcut, replaced by the product's
            else
                Add({RemovalAction::RemoveShortcut, {}, path});
            // The folder that held it goes too when the installation made it (a DIR line).
            const std::string parent = ParentOf(path);
            for (const std::string& dir : in_.log.folders)
                if (SameWindowsPath(dir, parent) &&
                    std::none_of(holders.begin(), holders.end(),
                                 [&](const std::string& h) { return SameWindowsPath(h, parent); }))
                    holders.push_back(dir);
        }
        for (const std::string& folder : DeepestFirst(holders)) {
            if (MayRemovePath("DIR", folder)) {
                Add({RemovalAction::RemoveFolderIfEmpty, {}, folder});
                done_folders_.push_back(folder);
            }
        }
    }

    void ClassKeys() {
        for (const std::string& full : in_.log.class_keys) {
            RegRoot root;
            std::string key;
            if (!SplitRegistryPath(full, root, key) || root != RegRoot::ClassesRoot) {
                Refuse("REMKEY", full, "not a key of HKEY_CLASSES_ROOT");
                continue;
            }
            if (IsProtectedClassKey(key)) {
                Refuse("REMKEY", full, "a key of the shell");
                continue;
            }
            if (Find(PriorKind::RegistryKeyExisted, root, key, "", ""))
                continue; // there before: kept, its values put back below
            Add({RemovalAction::DeleteClassKey, root, key});
            deleted_trees_.push_back(key);
        }
    }

    bool InsideDeletedClassKey(RegRoot root, const std::string& key) const {
        if (root != RegRoot::ClassesRoot)
            return false;
        const std::string k = WindowsPathKey(key);
        for (const std::string& tree : deleted_trees_) {
            const std::string t = WindowsPathKey(tree);
            if (k == t || (k.size() > t.size() && k.compare(0, t.size(), t) == 0 && k[t.size()] == '\\'))
                return true;
        }
        return false;
    }

    void RegistryValues() {
        for (const std::string& full : in_.log.registry_values) {
            RegRoot root;
            std::string key, name;
            if (!SplitRegistryValue(full, root, key, name)) {
                Refuse("REGVAL", full, "not a registry value path");
                continue;
            }
            if (IsEnvironmentKey(root, key)) {
                environment_.push_back({root, key, name});
                continue;
            }
            if (Find(PriorKind::RegistryValueReplaced, root, key, "", name))
                continue; // put back below
            RemovalStep s{RemovalAction::DeleteValue, root, key};
            s.name = name;
            Add(s);
        }
        // Every value that was there before gets its old data back (the environment's below).
        for (const PriorRecord& r : found_) {
            if (r.kind != PriorKind::RegistryValueReplaced || IsEnvironmentKey(r.root, r.path) ||
                InsideDeletedClassKey(r.root, r.path))
                continue;
            RemovalStep s{RemovalAction::RestoreValue, r.root, r.path};
            s.name = r.name;
            s.type = r.type;
            s.data = r.data;
            Add(s);
        }
    }

    void RegistryKeys() {
        // The keys the installation created without a line of their own (the parents of a
        // logged key) go too when empty; an earlier installation's are the product's as well.
        std::vector<std::string> keys = in_.log.registry_keys;
        for (const PriorRecord& r : in_.prior) {
            if (r.kind != PriorKind::RegistryKeyCreated || InsideDeletedClassKey(r.root, r.path))
                continue; // a key of an association went with its tree
            const std::string full = std::string(RegRootName(r.root)) + "\\" + r.path;
            if (std::none_of(keys.begin(), keys.end(), [&](const std::string& k) { return SameWindowsPath(k, full); }))
                keys.push_back(full);
        }
        for (const std::string& full : DeepestFirst(keys)) {
            RegRoot root;
            std::string key;
            if (!SplitRegistryPath(full, root, key)) {
                Refuse("REGKEY", full, "not a registry key path");
                continue;
            }
            if (IsProtectedKey(root, key)) {
                Refuse("REGKEY", full, "a root or system key");
                continue;
            }
            if (Find(PriorKind::RegistryKeyExisted, root, key, "", ""))
                continue;
            Add({RemovalAction::DeleteKeyIfEmpty, root, key});
        }
    }

    struct EnvValue {
        RegRoot root;
        std::string key;
        std::string name;
    };

    void Environment() {
        bool changed = false;
        for (const EnvValue& v : environment_) {
            RemovalStep s{RemovalAction::DeleteValue, v.root, v.key};
            s.name = v.name;
            if (const PriorRecord* appended = Find(PriorKind::EnvironmentAppended, v.root, v.key, "", v.name)) {
                s.action = RemovalAction::RemoveEnvironmentEntry;
                s.data = appended->data;
            } else if (const PriorRecord* before = Find(PriorKind::RegistryValueReplaced, v.root, v.key, "", v.name)) {
                s.action = RemovalAction::RestoreValue;
                s.type = before->type;
                s.data = before->data;
            }
            Add(s);
            changed = true;
        }
        // A value set (not logged for removal) but found before still gets its text back in a
        // rollback; a removal keeps what the author chose to leave.
        if (in_.rollback) {
            for (const PriorRecord& r : found_) {
                const bool appended = r.kind == PriorKind::EnvironmentAppended;
                if ((!appended && r.kind != PriorKind::RegistryValueReplaced) || !IsEnvironmentKey(r.root, r.path) ||
                    Logged(r))
                    continue;
                RemovalStep s{appended ? RemovalAction::RemoveEnvironmentEntry : RemovalAction::RestoreValue, r.root,
                              r.path};
                s.name = r.name;
                s.type = r.type;
                s.data = r.data;
                Add(s);
                changed = true;
            }
        }
        if (changed)
            Add({RemovalAction::NotifyEnvironment});
    }

    bool Logged(const PriorRecord& r) const {
        for (const EnvValue& v : environment_)
            if (v.root == r.root && SameWindowsPath(v.key, r.path) && WindowsPathKey(v.name) == WindowsPathKey(r.name))
                return true;
        return false;
    }

    void IniEntries() {
        for (const PriorRecord& r : found_) {
            if (r.kind != PriorKind::IniEntryAdded && r.kind != PriorKind::IniEntryReplaced)
                continue;
            // Entries of a file the product made go with the file.
            if (!FoundIniFile(r.path))
                continue;
            RemovalStep s{r.kind == PriorKind::IniEntryAdded ? RemovalAction::DeleteIniEntry
                                                              : RemovalAction::RestoreIniEntry,
                          {}, r.path};
            s.section = r.section;
            s.name = r.name;
            s.data = r.data;
            Add(s);
        }
    }

    void Files() {
        std::vector<std::string> files = in_.log.files;
        if (!in_.uninstall_execute.empty() &&
            std::none_of(files.begin(), files.end(),
                         [&](const std::string& f) { return SameWindowsPath(f, in_.uninstall_execute); }))
            files.push_back(in_.uninstall_execute);
        for (const std::string& path : files) {
            if (!MayRemovePath("FILE", path))
                continue;
            if (const PriorRecord* before = Find(PriorKind::FileReplaced, {}, path, "", "")) {
                PutBack(path, *before);
                continue;
            }
            if (FoundIniFile(path))
                continue; // its entries went above
            if (SelfRegistered(path))
                Add({RemovalAction::RunProgram, {}, "regsvr32.exe /u /s \"" + path + "\""});
            if (path.find("Fonts") != std::string::npos) {
                Add({RemovalAction::RemoveFont, {}, path});
                const std::string name = FileNameOf(path);
                if (!Find(PriorKind::RegistryValueReplaced, RegRoot::LocalMachine, kFontsKey, "", name)) {
                    RemovalStep s{RemovalAction::DeleteValue, RegRoot::LocalMachine, kFontsKey};
                    s.name = name;
                    Add(s);
                }
                continue;
            }
            Add({RemovalAction::RemoveFile, {}, path});
        }
        // A rollback also puts back what it overwrote without logging it (permanent files).
        if (in_.rollback) {
            for (const PriorRecord& r : found_) {
                if (r.kind != PriorKind::FileReplaced || r.backup.empty())
                    continue;
                auto same = [&](const std::string& f) { return SameWindowsPath(f, r.path); };
                if (std::any_of(files.begin(), files.end(), same) ||
                    std::any_of(in_.log.shortcuts.begin(), in_.log.shortcuts.end(), same))
                    continue;
                if (MayRemovePath("FILE", r.path))
                    Add({RemovalAction::RestoreFile, {}, r.path, "", "", r.backup});
            }
        }
    }

    void Folders() {
        if (in_.log.remove_all && !in_.install_folder.empty() && MayRemovePath("REMOVEALL", in_.install_folder))
            Add({RemovalAction::EmptyInstallFolder, {}, in_.install_folder});
        // The parents that making a folder created without a line of their own go too, where
        // they lie inside another folder of the log (the install folder): "DIR=C:\\App\\a\\b"
        // under "DIR=C:\\App" made "C:\\App\\a".
        std::vector<std::string> folders = in_.log.folders;
        for (const std::string& folder : in_.log.folders) {
            for (std::string parent = ParentOf(folder); !parent.empty(); parent = ParentOf(parent)) {
                const std::string pk = WindowsPathKey(parent);
                const bool inside = std::any_of(in_.log.folders.begin(), in_.log.folders.end(), [&](const std::string& d) {
                    const std::string dk = WindowsPathKey(d);
                    return pk.size() > dk.size() && pk.compare(0, dk.size(), dk) == 0 && pk[dk.size()] == '\\';
                });
                if (!inside)
                    break;
                if (std::none_of(folders.begin(), folders.end(), [&](const std::string& f) { return SameWindowsPath(f, parent); }))
                    folders.push_back(parent);
            }
        }
        for (const std::string& folder : DeepestFirst(folders)) {
            if (std::any_of(done_folders_.begin(), done_folders_.end(),
                            [&](const std::string& d) { return SameWindowsPath(d, folder); }))
                continue;
            if (MayRemovePath("DIR", folder))
                Add({RemovalAction::RemoveFolderIfEmpty, {}, folder});
        }
    }

    void Closing() {
        if (!in_.uninstall_key.empty())
            Add({RemovalAction::DeleteUninstallEntry, RegRoot::LocalMachine, in_.uninstall_key});
        if (!in_.log_folder.empty() && MayRemovePath("LOG", in_.log_folder))
            Add({RemovalAction::DeleteLogFolder, {}, in_.log_folder});
        if (!in_.shared_uninstaller.empty() && IsAbsoluteBelowRoot(in_.shared_uninstaller))
            Add({RemovalAction::RemoveSharedUninstaller, {}, in_.shared_uninstaller});
    }

    const RemovalInput& in_;
    std::vector<PriorRecord> found_;
    RemovalPlan plan_;
    std::vector<std::string> done_folders_;
    std::vector<std::string> deleted_trees_;
    std::vector<EnvValue> environment_;
};

} // namespace

RemovalPlan PlanRemoval(const RemovalInput& input) { return Planner(input).Build(); }

bool IsAbsoluteBelowRoot(const std::string& path) {
    if (path.find('\0') != std::string::npos)
        return false;
    const std::string k = WindowsPathKey(path);
    // No "." or ".." component may lead the path out of where it seems to be.
    for (std::size_t at = 0; at <= k.size();) {
        std::size_t end = k.find('\\', at);
        if (end == std::string::npos)
            end = k.size();
        const std::string part = k.substr(at, end - at);
        if (part == "." || part == "..")
            return false;
        at = end + 1;
    }
    if (k.size() > 3 && std::isalpha(static_cast<unsigned char>(k[0])) && k[1] == ':' && k[2] == '\\')
        return k.find_first_not_of('\\', 3) != std::string::npos;
    if (k.size() > 2 && k[0] == '\\' && k[1] == '\\') {
        // \\server\share\something
        const std::size_t server = k.find('\\', 2);
        if (server == std::string::npos || server == 2)
            return false;
        const std::size_t share = k.find('\\', server + 1);
        return share != std::string::npos && share > server + 1 && share + 1 < k.size();
    }
    return false;
}

bool SplitRegistryPath(const std::string& full, RegRoot& root, std::string& key) {
    const std::size_t cut = full.find('\\');
    if (!ParseRegRoot(cut == std::string::npos ? full : full.substr(0, cut), root))
        return false;
    key = cut == std::string::npos ? std::string() : full.substr(cut + 1);
    while (!key.empty() && key.back() == '\\')
        key.pop_back();
    return true;
}

std::string DescribeRemovalStep(const RemovalStep& s) {
    const std::string reg = std::string(RegRootName(s.root)) + "\\" + s.path;
    switch (s.action) {
    case RemovalAction::RunProgram:
        return "RUN " + s.path;
    case RemovalAction::OpenUrl:
        return "OPEN " + s.path;
    case RemovalAction::DeleteService:
        return "DELETE-SERVICE " + s.name;
    case RemovalAction::RemoveShortcut:
        return "REMOVE-SHORTCUT " + s.path;
    case RemovalAction::RemoveFolderIfEmpty:
        return "REMOVE-FOLDER " + s.path;
    case RemovalAction::DeleteClassKey:
        return "DELETE-CLASS " + reg;
    case RemovalAction::DeleteValue:
        return "DELETE-VALUE " + reg + "\\" + s.name;
    case RemovalAction::RestoreValue:
        return "RESTORE-VALUE " + reg + "\\" + s.name + "=" + std::to_string(s.type) + ":" + s.data;
    case RemovalAction::DeleteKeyIfEmpty:
        return "DELETE-KEY " + reg;
    case RemovalAction::RemoveEnvironmentEntry:
        return "REMOVE-ENTRY " + reg + "\\" + s.name + " " + s.data;
    case RemovalAction::NotifyEnvironment:
        return "NOTIFY-ENVIRONMENT";
    case RemovalAction::DeleteIniEntry:
        return "DELETE-INI " + s.path + " [" + s.section + "] " + s.name;
    case RemovalAction::RestoreIniEntry:
        return "RESTORE-INI " + s.path + " [" + s.section + "] " + s.name + "=" + s.data;
    case RemovalAction::RemoveFile:
        return "REMOVE-FILE " + s.path;
    case RemovalAction::RemoveFont:
        return "REMOVE-FONT " + s.path;
    case RemovalAction::RestoreFile:
        return "RESTORE-FILE " + s.path + " <- " + s.data;
    case RemovalAction::EmptyInstallFolder:
        return "EMPTY-FOLDER " + s.path;
    case RemovalAction::DeleteUninstallEntry:
        return "DELETE-ENTRY " + reg;
    case RemovalAction::DeleteLogFolder:
        return "DELETE-LOG-FOLDER " + s.path;
    case RemovalAction::RemoveSharedUninstaller:
        return "REMOVE-UNINSTALLER " + s.path;
    }
    return "?";
}

} // namespace cv
