#include "engine/removal_target_win.h"

#include "engine/reg_root_win.h"
#include "framework/handle.h"

#include <shellapi.h>
#include <windows.h>

#include <vector>

namespace cv {

namespace {

bool ClearReadOnly(const std::string& path) {
    const DWORD a = ::GetFileAttributesA(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_READONLY))
        return true;
    return ::SetFileAttributesA(path.c_str(), a & ~FILE_ATTRIBUTE_READONLY) != 0;
}

// Deletes what is inside `folder`; true when all of it went.
bool EmptyBelow(const std::string& folder) {
    bool ok = true;
    WIN32_FIND_DATAA found;
    UniqueFind find(::FindFirstFileA((folder + "\\*").c_str(), &found));
    if (!find)
        return true;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        const std::string path = folder + "\\" + name;
        ClearReadOnly(path);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ok = EmptyBelow(path) && ::RemoveDirectoryA(path.c_str()) && ok;
        else
            ok = ::DeleteFileA(path.c_str()) && ok;
    } while (::FindNextFileA(find.get(), &found));
    return ok;
}

std::string WithoutTrailingBackslash(std::string path) {
    while (path.size() > 3 && path.back() == '\\')
        path.pop_back();
    return path;
}

// Deletes the key with all its sub-keys (RegDeleteKey removes only an empty key on NT).
bool DeleteKeyTree(HKEY parent, const std::string& key) {
    {
        HKEY opened = nullptr;
        if (::RegOpenKeyExA(parent, key.c_str(), 0, KEY_READ | KEY_WRITE, &opened) != ERROR_SUCCESS)
            return ::RegOpenKeyExA(parent, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS;
        UniqueRegKey k(opened);
        char name[256];
        for (;;) {
            DWORD size = sizeof name;
            // Always the first: the one before it was just deleted.
            if (::RegEnumKeyExA(k.get(), 0, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            if (!DeleteKeyTree(k.get(), name))
                return false;
        }
    }
    return ::RegDeleteKeyA(parent, key.c_str()) == ERROR_SUCCESS;
}

void Broadcast(UINT message, LPARAM lparam) {
    DWORD_PTR result = 0;
    // Not SendMessage: a hung window must not hang the uninstaller.
    ::SendMessageTimeoutA(HWND_BROADCAST, message, 0, lparam, SMTO_ABORTIFHUNG, 2000, &result);
}

} // namespace

bool RemovalTargetWin::RunAndWait(const std::string& command_line) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::vector<char> command(command_line.begin(), command_line.end());
    command.push_back('\0');
    if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    UniqueKernelHandle process(info.hProcess);
    UniqueKernelHandle thread(info.hThread);
    // Windows of this thread keep painting while the program runs.
    HANDLE handle = process.get();
    for (;;) {
        const DWORD woke = ::MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_ALLINPUT);
        if (woke != WAIT_OBJECT_0 + 1)
            break;
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    return true;
}

bool RemovalTargetWin::OpenUrl(const std::string& url) {
    const auto result = reinterpret_cast<INT_PTR>(::ShellExecuteA(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

bool RemovalTargetWin::StopAndDeleteService(const std::string& name) {
    UniqueService manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager)
        return false;
    UniqueService service(::OpenServiceA(manager.get(), name.c_str(), SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE));
    if (!service)
        return ::GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST;
    SERVICE_STATUS status{};
    if (::ControlService(service.get(), SERVICE_CONTROL_STOP, &status)) {
        // Up to ten seconds for it to stop; it is deleted either way (Windows removes it once
        // it has stopped).
        for (int i = 0; i < 100 && status.dwCurrentState != SERVICE_STOPPED; ++i) {
            ::Sleep(100);
            if (!::QueryServiceStatus(service.get(), &status))
                break;
        }
    }
    return ::DeleteService(service.get()) || ::GetLastError() == ERROR_SERVICE_MARKED_FOR_DELETE;
}

bool RemovalTargetWin::FileExists(const std::string& path) {
    const DWORD a = ::GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool RemovalTargetWin::FolderExists(const std::string& path) {
    const DWORD a = ::GetFileAttributesA(WithoutTrailingBackslash(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool RemovalTargetWin::RemoveFile(const std::string& path) {
    // Most files are not read-only: one call deletes them; the attribute is looked at only
    // when that fails.
    if (::DeleteFileA(path.c_str()))
        return true;
    ClearReadOnly(path);
    return ::DeleteFileA(path.c_str()) != 0 || !FileExists(path);
}

bool RemovalTargetWin::RestoreFile(const std::string& from, const std::string& to) {
    ClearReadOnly(to);
    return ::CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

bool RemovalTargetWin::RemoveFolderIfEmpty(const std::string& path) {
    const std::string folder = WithoutTrailingBackslash(path);
    return ::RemoveDirectoryA(folder.c_str()) != 0 || !FolderExists(folder);
}

bool RemovalTargetWin::EmptyFolder(const std::string& path) {
    return EmptyBelow(WithoutTrailingBackslash(path));
}

bool RemovalTargetWin::DeleteTree(const std::string& path) {
    const std::string folder = WithoutTrailingBackslash(path);
    EmptyBelow(folder);
    ClearReadOnly(folder);
    return ::RemoveDirectoryA(folder.c_str()) != 0 || !FolderExists(folder);
}

bool RemovalTargetWin::UnregisterFont(const std::string& path) {
    // A font registered more than once is withdrawn as often.
    bool any = false;
    for (int i = 0; i < 8 && ::RemoveFontResourceA(path.c_str()); ++i)
        any = true;
    Broadcast(WM_FONTCHANGE, 0);
    return any;
}

bool RemovalTargetWin::RemoveFileNowOrAtRestart(const std::string& path) {
    ClearReadOnly(path);
    if (::DeleteFileA(path.c_str()) || !FileExists(path))
        return true;
    // A running program's file cannot be deleted: Windows deletes it at its next start.
    return ::MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
}

std::optional<IRemovalTarget::RegistryData> RemovalTargetWin::ReadRegistryValue(RegRoot root, const std::string& key,
                                                                                const std::string& name) {
    UniqueRegKey k = OpenKey(root, key, KEY_QUERY_VALUE);
    if (!k)
        return std::nullopt;
    DWORD type = 0, size = 0;
    if (::RegQueryValueExA(k.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::string data(size, '\0');
    if (size > 0 && ::RegQueryValueExA(k.get(), name.c_str(), nullptr, &type,
                                       reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS)
        return std::nullopt;
    data.resize(size);
    return RegistryData{type, data};
}

bool RemovalTargetWin::WriteRegistryValue(RegRoot root, const std::string& key, const std::string& name,
                                          const RegistryData& value) {
    HKEY opened = nullptr;
    if (::RegCreateKeyExA(RootKey(root), key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                          &opened, nullptr) != ERROR_SUCCESS)
        return false;
    UniqueRegKey k(opened);
    return ::RegSetValueExA(k.get(), name.c_str(), 0, value.type, reinterpret_cast<const BYTE*>(value.data.data()),
                            static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
}

bool RemovalTargetWin::DeleteRegistryValue(RegRoot root, const std::string& key, const std::string& name) {
    UniqueRegKey k = OpenKey(root, key, KEY_SET_VALUE);
    if (!k)
        return !RegistryKeyExists(root, key);
    const LONG r = ::RegDeleteValueA(k.get(), name.c_str());
    return r == ERROR_SUCCESS || r == ERROR_FILE_NOT_FOUND;
}

bool RemovalTargetWin::RegistryKeyExists(RegRoot root, const std::string& key) {
    return static_cast<bool>(OpenKey(root, key, KEY_READ));
}

bool RemovalTargetWin::DeleteRegistryKeyIfEmpty(RegRoot root, const std::string& key) {
    {
        UniqueRegKey k = OpenKey(root, key, KEY_READ);
        if (!k)
            return true;
        DWORD sub_keys = 0, values = 0;
        if (::RegQueryInfoKeyA(k.get(), nullptr, nullptr, nullptr, &sub_keys, nullptr, nullptr, &values, nullptr,
                               nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
            sub_keys != 0 || values != 0)
            return false;
    }
    return ::RegDeleteKeyA(RootKey(root), key.c_str()) == ERROR_SUCCESS;
}

bool RemovalTargetWin::DeleteRegistryTree(RegRoot root, const std::string& key) {
    if (key.empty())
        return false;
    return DeleteKeyTree(RootKey(root), key);
}

void RemovalTargetWin::BroadcastEnvironmentChange() {
    Broadcast(WM_SETTINGCHANGE, reinterpret_cast<LPARAM>("Environment"));
}

std::optional<std::string> RemovalTargetWin::ReadIniEntry(const std::string& file, const std::string& section,
                                                          const std::string& key) {
    // No entry reads as the default; one the file cannot hold tells them apart.
    static constexpr char kMissing[] = "\x01\x02missing\x02\x01";
    char value[1024];
    ::GetPrivateProfileStringA(section.c_str(), key.c_str(), kMissing, value, sizeof value, file.c_str());
    if (std::string(value) == kMissing)
        return std::nullopt;
    return std::string(value);
}

bool RemovalTargetWin::WriteIniEntry(const std::string& file, const std::string& section, const std::string& key,
                                     const std::string& value) {
    return ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != 0;
}

bool RemovalTargetWin::DeleteIniEntry(const std::string& file, const std::string& section, const std::string& key) {
    if (!::WritePrivateProfileStringA(section.c_str(), key.c_str(), nullptr, file.c_str()))
        return false;
    // A section the product's entries alone filled goes with them.
    char keys[4];
    if (::GetPrivateProfileStringA(section.c_str(), nullptr, "", keys, sizeof keys, file.c_str()) == 0)
        ::WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, file.c_str());
    ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str()); // flush the cache
    return true;
}

} // namespace cv
