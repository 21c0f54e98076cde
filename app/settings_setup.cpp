// Folders, work folder, settings files and product settings: everything the main frame
// reads once at its creation, before the start sequence.
#include "app/main_frame.h"
#include "common/setup_state.h"
#include "common/profile_cache.h"
#include "crypto/rijndael_file.h"
#include "crypto/setup_file_key.h"
#include "engine/variables.h"
#include "pages/control_actions.h"
#include "framework/handle.h"
#include "common/file_system.h"
#include "common/path_text.h"
#include "app/settings_count.h"
#include "app/system_folder_text.h"
#include "app/unattended.h"
#include "app/work_folder_name.h"
#include "registry/reg_key.h"

#include <shlobj.h>

#include <ctime>
#include <stdexcept>

namespace cv {

namespace {

/// A folder the run cannot do without; a folder that cannot be read or is too long for the
/// file calls ends the run with a message that names it.
std::string RequiredFolder(const char* what, const FolderCall& call) {
    const SystemFolder folder = ReadSystemFolder(call);
    if (folder.status != SystemFolder::Status::Read)
        throw std::runtime_error(SystemFolderMessage(what, folder));
    return folder.text;
}

/// Reads a string value under HKEY_LOCAL_MACHINE. The key is asked for with full access first,
/// as the settings reader always did; a user without that right still gets to read it.
std::string ReadMachineString(const char* path, const char* name) {
    RegKey key = OpenRegKey(HKEY_LOCAL_MACHINE, path, KEY_ALL_ACCESS);
    if (!key)
        key = OpenRegKey(HKEY_LOCAL_MACHINE, path, KEY_READ);
    if (!key)
        return {};
    return ReadRegistryText(key.get(), name, 255);
}

std::string ShellFolder(int csidl) {
    char path[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE))
        return {};
    return path;
}

} // namespace

void CMainFrame::ResolveBasicFolders() {
    SetupState& state = setupState();

    paths.windows_folder =
        RequiredFolder("Windows folder", [](char* b, unsigned n) { return ::GetWindowsDirectoryA(b, n); });
    paths.windows_volume = paths.windows_folder.substr(0, 2);
    paths.temp_folder =
        WithTrailingBackslash(RequiredFolder("temp folder", [](char* b, unsigned n) { return ::GetTempPathA(n, b); }));
    state.tempFolder = paths.temp_folder;
    paths.current_directory =
        WithTrailingBackslash(RequiredFolder("setup folder", [](char* b, unsigned n) { return ::GetCurrentDirectoryA(n, b); }));
    state.setupFolder = paths.current_directory;
    paths.current_drive = paths.current_directory.substr(0, paths.current_directory.find('\\')) + "\\";
    strings.defaultLanguageFile = paths.current_directory + "language.lan";
    state.languageFile = strings.defaultLanguageFile;
    paths.system_folder =
        WithTrailingBackslash(RequiredFolder("system folder", [](char* b, unsigned n) { return ::GetSystemDirectoryA(b, n); }));

    strings.themeFolder = paths.current_directory + "theme\\";
    PrepareThemeFolder();

    std::time_t now = std::time(nullptr);
    char name[32] = "cv000000";
    if (std::tm* local = std::localtime(&now))
        std::strftime(name, sizeof name, "cv%H%M%S", local);
    strings.workFolderName = name;
}

void CMainFrame::PrepareThemeFolder() {
    // A setup folder may carry its theme as "^!" files beside setup.exe; the first run moves
    // them into a new theme folder. An existing theme folder is left as it is.
    if (FolderExists(strings.themeFolder))
        return;
    if (!::CreateDirectoryA(strings.themeFolder.c_str(), nullptr))
        return;
    WIN32_FIND_DATAA found{};
    std::string pattern = paths.current_directory + "^!*";
    UniqueFind find(::FindFirstFileA(pattern.c_str(), &found));
    if (!find)
        return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        std::string name = found.cFileName;
        if (name.size() <= 2 || name.compare(0, 2, "^!") != 0)
            continue;
        std::string from = paths.current_directory + name;
        std::string to = strings.themeFolder + name.substr(2);
        ::MoveFileA(from.c_str(), to.c_str());
    } while (::FindNextFileA(find.get(), &found));
}

int CMainFrame::PrepareWorkFolderAndDecrypt() {
    SetupState& state = setupState();
    // A folder of this name may belong to another setup started in the same second, or be
    // left by a crashed run: the run takes a name of its own (work_folder_name.h).
    const std::optional<std::string> name =
        CreateUniqueWorkFolder(strings.workFolderName, [this](const std::string& candidate) {
            const std::string path = paths.temp_folder + candidate;
            if (::CreateDirectoryA(path.c_str(), nullptr))
                return FolderCreation::Created;
            const DWORD error = ::GetLastError();
            return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? FolderCreation::Exists
                                                                                : FolderCreation::Failed;
        });
    if (!name) {
        // No folder of ours: nothing may be written into another run's folder.
        throw std::runtime_error("The setup cannot create its work folder in " + paths.temp_folder);
    }
    strings.workFolderName = *name;
    const std::string work = paths.temp_folder + strings.workFolderName;
    state.workFolder = work + "\\";

    if (!cipher) {
        cipher = std::make_unique<CRijndaelFILE>();
        crypto::InitSetupFileKey(*cipher);
    }

    std::string setup_nsx = paths.current_directory + "setup.nsx";
    if (!FileExists(setup_nsx))
        return 0;
    std::string setup_inf = state.workFolder + "setup.inf";
    if (!DecryptSettingsFile(setup_nsx, setup_inf))
        return 0;
    state.setupInfPath = setup_inf;
    settingsPath = setup_inf;

    std::string data_nsx = paths.current_directory + "data.nsx";
    if (!FileExists(data_nsx))
        return 0;
    std::string data_inf = state.workFolder + "data.inf";
    if (!DecryptSettingsFile(data_nsx, data_inf))
        return 0;
    state.dataInfPath = data_inf;
    return 1;
}

bool CMainFrame::DecryptSettingsFile(const std::string& source, const std::string& target) {
    // The cipher throws with its own message when the file is not a settings file of ours.
    cipher->DecryptFileTo(source, target);
    return true;
}

void CMainFrame::ReadRegistryValues() {
    static const char kCurrentVersion[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
    paths.program_files = ReadMachineString(kCurrentVersion, "ProgramFilesDir");
    paths.common_files = ReadMachineString(kCurrentVersion, "CommonFilesDir");
    if (paths.program_files.empty()) {
        programFilesMissing = kOn;
        char env[MAX_PATH] = {};
        DWORD n = ::GetEnvironmentVariableA("PROGRAMFILES", env, sizeof env);
        if (n > 0 && n < sizeof env)
            paths.program_files = env;
        if (paths.program_files.empty() &&
            unattendedRun().Message("You don't have permission to run setup in this computer..."))
            ::MessageBoxA(nullptr, "You don't have permission to run setup in this computer...", nullptr,
                          MB_OK | MB_ICONEXCLAMATION);
    }
    choices_.companyName =
        ReadMachineString("Software\\Microsoft\\Windows NT\\CurrentVersion", "RegisteredOrganization");

    char user[256] = {};
    DWORD size = sizeof user;
    choices_.userName = ::GetUserNameA(user, &size) ? user : "";
}

void CMainFrame::DetermineBuildKind() {
    SetupState& state = setupState();
    if (FolderExists(paths.current_directory + "DiskImage1"))
        state.diskImageMode = kOn;
    supportFilesInWorkFolder = Setting("BUILDING", "4") == "Yes" ? kOn : kOff;
    if (Setting("BUILDING", "CURRENTBUILD") == "Split Files") {
        state.diskImageMode = kOn;
        state.splitBuild = kOn;
        supportFilesInWorkFolder = kOff;
    }
}

void CMainFrame::ReadProductSettings() {
    SetupState& state = setupState();
    paths.product_name = Setting("APPINFO", "a1");
    paths.product_version = Setting("APPINFO", "a2");
    paths.product_code = Setting("APPINFO", "a3");
    state.productCode = paths.product_code;

    std::string install = WithTrailingBackslash(ExpandVariables(Setting("APPINFO", "a4"), VariableValues()));
    paths.default_install_dir = install;
    state.installFolder = install;
    state.defaultInstallFolder = install;

    choices_.allUsers = Setting("APPINFO", "a8") == "Per-User" ? kOff : kOn;
    state.openShortcutFolder = Setting("APPINFO", "a9") == "Yes" ? kOn : kOff;
    paths.publisher = Setting("APPINFO", "a19");
    strings.language = Setting("APPINFO", "Language");
    strings.languageSetting = strings.language;
    strings.languageMethod = Setting("APPINFO", "METHOD");
    if (Setting("APPINFO", "PREVIEW") == "255")
        state.previewMode = kOn;
    if (Setting("BUILDING", "2") == "Yes")
        state.hiddenWizard = kOn;

    choices_.launchFileOffered = IsLaunchOffered(Setting("DIALOGLIST", "CT9"));
    choices_.launchReadmeOffered = IsLaunchOffered(Setting("DIALOGLIST", "CT12"));
    strings.launchFile = Setting("DIALOGLIST", "CT10");
    strings.launchParameters = Setting("DIALOGLIST", "CT11");
    strings.readmeFile = ExpandVariables(Setting("DIALOGLIST", "CT13"), VariableValues());
    restartRequested = Setting("DIALOGLIST", "CT14") == "Yes" ? kOn : kOff;
    strings.pageText17 = Setting("DIALOGLIST", "CT17");
    strings.pageText18 = Setting("DIALOGLIST", "CT18");
    strings.pageText19 = Setting("DIALOGLIST", "CT19");
}

void CMainFrame::ResolveShellFolders() {
    // The all-users choice comes from the settings; it is read here because the folders
    // depend on it.
    const bool all = Setting("APPINFO", "a8") != "Per-User";
    choices_.allUsers = all ? kOn : kOff;
    auto pick = [all](int common, int own) { return ShellFolder(all ? common : own); };
    paths.favorites_folder = pick(CSIDL_COMMON_FAVORITES, CSIDL_FAVORITES);
    strings.commonDocuments = ShellFolder(CSIDL_COMMON_DOCUMENTS);
    paths.my_pictures_folder = pick(CSIDL_COMMON_PICTURES, CSIDL_MYPICTURES);
    paths.programs_menu = pick(CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS);
    strings.music = pick(CSIDL_COMMON_MUSIC, CSIDL_MYMUSIC);
    paths.send_to_folder = ShellFolder(CSIDL_SENDTO);
    paths.fonts_folder = ShellFolder(CSIDL_FONTS);
    paths.app_data_folder = pick(CSIDL_COMMON_APPDATA, CSIDL_APPDATA);
    paths.personal_folder = ShellFolder(CSIDL_PERSONAL);
    paths.startup_folder = pick(CSIDL_COMMON_STARTUP, CSIDL_STARTUP);
    paths.start_menu = pick(CSIDL_COMMON_STARTMENU, CSIDL_STARTMENU);
    paths.desktop_folder = pick(CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_DESKTOPDIRECTORY);
}

void CMainFrame::ReadFeatures() {
    SetupState& state = setupState();
    // One row more than the table holds is read, so that the refusal below is reached.
    const TableCount count = SettingsTableCount(*this, "SETUPTYPE", kMaxFeatures + 1);
    const long total = count.total;
    for (int i = 0; i < count.rows; ++i) {
        std::string key = "FeatureName" + std::to_string(i);
        if (!state.AddFeature(Setting("SETUPTYPE", key.c_str()))) {
            const std::string text = "This setup lists " + std::to_string(total) + " features; only the first " +
                                     std::to_string(kMaxFeatures) + " are offered.";
            if (unattendedRun().Message(text))
                ::MessageBoxA(nullptr, text.c_str(), nullptr, MB_OK | MB_ICONEXCLAMATION);
            break;
        }
    }
}

} // namespace cv
