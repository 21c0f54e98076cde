#include "tools/cvexec/removal_session_win.h"

#include "engine/prior_state_file.h"
#include "framework/handle.h"

#include <shlobj.h>
#include <windows.h>

namespace cv::uninstall {

namespace {

constexpr const char* kUninstallRoot = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::optional<std::string> ReadFile(const std::string& path) {
    UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    if (!file)
        return std::nullopt;
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
        bytes.append(buffer, got);
        if (bytes.size() > (256u << 20))
            return std::nullopt; // no log is that long
    }
    return bytes;
}

std::string ReadString(HKEY key, const char* name) {
    char value[1024];
    DWORD size = sizeof value - 1;
    DWORD type = 0;
    if (::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return {};
    value[size < sizeof value ? size : sizeof value - 1] = '\0';
    return value;
}

bool ContainsUninstaller(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return text.find("cvexec.exe") != std::string::npos;
}

} // namespace

std::vector<std::string> ProtectedFolders() {
    static constexpr int kFolders[] = {
        CSIDL_WINDOWS,        CSIDL_SYSTEM,          CSIDL_FONTS,           CSIDL_PROGRAM_FILES,
        CSIDL_PROGRAM_FILES_COMMON, CSIDL_PROGRAMS,  CSIDL_COMMON_PROGRAMS, CSIDL_STARTMENU,
        CSIDL_COMMON_STARTMENU, CSIDL_STARTUP,       CSIDL_COMMON_STARTUP,  CSIDL_DESKTOPDIRECTORY,
        CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_PERSONAL, CSIDL_APPDATA,       CSIDL_LOCAL_APPDATA,
        CSIDL_COMMON_APPDATA, CSIDL_PROFILE,         CSIDL_FAVORITES,       CSIDL_TEMPLATES,
        CSIDL_SENDTO,         CSIDL_COMMON_DOCUMENTS,
    };
    std::vector<std::string> folders;
    char path[MAX_PATH];
    for (int id : kFolders)
        if (::SHGetSpecialFolderPathA(nullptr, path, id, FALSE))
            folders.emplace_back(path);
    if (::GetTempPathA(MAX_PATH, path))
        folders.emplace_back(path);
    if (::GetWindowsDirectoryA(path, MAX_PATH))
        folders.push_back(std::string(path) + "\\Installer");
    return folders;
}

bool OtherProductNeedsUninstaller(const std::string& code) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallRoot, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    UniqueRegKey root(opened);
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (::RegEnumKeyExA(root.get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (WindowsPathKey(name) == WindowsPathKey(code))
            continue;
        HKEY product = nullptr;
        if (::RegOpenKeyExA(root.get(), name, 0, KEY_QUERY_VALUE, &product) != ERROR_SUCCESS)
            continue;
        UniqueRegKey entry(product);
        if (ContainsUninstaller(ReadString(entry.get(), "UninstallString")) ||
            ContainsUninstaller(ReadString(entry.get(), "ModifyPath")))
            return true;
    }
    return false;
}

std::optional<Session> OpenSession(const std::string& code) {
    Session s;
    s.code = code;
    char windows[MAX_PATH];
    const UINT length = ::GetWindowsDirectoryA(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::nullopt;
    s.windows_folder = windows;
    while (!s.windows_folder.empty() && s.windows_folder.back() == '\\')
        s.windows_folder.pop_back();
    s.log_folder = s.windows_folder + "\\Installer\\" + code + "\\";
    std::optional<std::string> log = ReadFile(s.log_folder + "uninstall.log");
    if (!log)
        return std::nullopt;
    s.log = ReadUninstallLog(*log);
    if (std::optional<std::string> prior = ReadFile(s.log_folder + kPriorStateFileName))
        s.prior = ReadPriorState(*prior).records;
    s.language = ProfileFile::load(s.log_folder + "language.lan");

    s.uninstall_key = std::string(kUninstallRoot) + "\\" + code;
    s.display_name = code;
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, s.uninstall_key.c_str(), 0, KEY_QUERY_VALUE, &opened) == ERROR_SUCCESS) {
        UniqueRegKey entry(opened);
        s.entry_found = true;
        if (std::string name = ReadString(entry.get(), "DisplayName"); !name.empty())
            s.display_name = name;
        s.display_version = ReadString(entry.get(), "DisplayVersion");
        s.publisher = ReadString(entry.get(), "Publisher");
        s.install_folder = ReadString(entry.get(), "LastInstallationPath");
        s.install_source = ReadString(entry.get(), "InstallSource");
        s.uninstall_execute = ReadString(entry.get(), "UninstallExecute");
    }
    if (s.install_folder.empty() && !s.log.folders.empty())
        s.install_folder = s.log.folders.front();
    return s;
}

RemovalPlan PlanFor(const Session& s) {
    RemovalInput in;
    in.log = s.log;
    in.prior = s.prior;
    in.log_folder = s.log_folder;
    in.backup_folder = s.log_folder + "backup\\";
    in.uninstall_key = s.uninstall_key;
    in.uninstall_execute = s.uninstall_execute;
    in.install_folder = s.install_folder;
    if (!OtherProductNeedsUninstaller(s.code))
        in.shared_uninstaller = s.windows_folder + "\\cvexec.exe";
    in.protected_folders = ProtectedFolders();
    return PlanRemoval(in);
}

} // namespace cv::uninstall
