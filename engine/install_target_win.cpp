#include "engine/install_target_win.h"

#include "engine/reg_root_win.h"
#include "framework/handle.h"

#include <shellapi.h>
#include <windows.h>

#include <algorithm>
#include <vector>

namespace cv {

namespace {

UniqueRegKey CreateKey(RegRoot root, const std::string& key) {
    HKEY opened = nullptr;
    if (::RegCreateKeyExA(RootKey(root), key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                          nullptr, &opened, nullptr) != ERROR_SUCCESS)
        return UniqueRegKey();
    return UniqueRegKey(opened);
}

// The shell's file operations take lists ending in two zeros.
std::string DoubleZero(const std::string& path) {
    std::string list = path;
    list.push_back('\0');
    return list;
}

bool DeleteTreeBelow(const std::string& folder) {
    bool ok = true;
    WIN32_FIND_DATAA found;
    UniqueFind find(::FindFirstFileA((folder + "\\*").c_str(), &found));
    if (find) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
                ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                ok = DeleteTreeBelow(path) && ok;
            else
                ok = ::DeleteFileA(path.c_str()) && ok;
        } while (::FindNextFileA(find.get(), &found));
    }
    return ::RemoveDirectoryA(folder.c_str()) && ok;
}

} // namespace

CreateFolderResult InstallTargetWin::CreateFolder(const std::string& path) {
    if (::CreateDirectoryA(path.c_str(), nullptr))
        return CreateFolderResult::Created;
    const DWORD error = ::GetLastError();
    if (error == ERROR_PATH_NOT_FOUND)
        return CreateFolderResult::PathNotFound;
    // A drive root answers "access denied" rather than "exists"; a file of the folder's name
    // answers "exists" but is no folder.
    return FolderExists(path) ? CreateFolderResult::AlreadyExists : CreateFolderResult::Failed;
}

bool InstallTargetWin::FileExists(const std::string& path) {
    const DWORD a = ::GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool InstallTargetWin::FolderExists(const std::string& path) {
    const DWORD a = ::GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool InstallTargetWin::CopyFileReplacing(const std::string& from, const std::string& to) {
    // A copy that stops half-way (a full disk) may leave what it wrote under the file's name,
    // as Wine's CopyFileA does: a new file it made goes again, so that neither the retry
    // question nor an abort leaves a partial file that looks installed. A file that was there
    // before is left to the backup and the rollback.
    const bool existed = ::GetFileAttributesA(to.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (::CopyFileA(from.c_str(), to.c_str(), FALSE))
        return true;
    const DWORD error = ::GetLastError();
    if (!existed)
        ::DeleteFileA(to.c_str());
    ::SetLastError(error);
    return false;
}

std::optional<std::string> InstallTargetWin::ReadWholeFile(const std::string& path) {
    UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        return std::nullopt;
    LARGE_INTEGER size{};
    // A text file of the script above 1 GB is no script.
    if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart > (1LL << 30))
        return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got, nullptr))
            return std::nullopt;
        if (got == 0)
            break;
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

bool InstallTargetWin::WriteWholeFile(const std::string& path, std::string_view bytes) {
    UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD wrote = 0;
        if (!::WriteFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &wrote,
                         nullptr) ||
            wrote == 0)
            return false;
        done += wrote;
    }
    return true;
}

std::optional<std::uint32_t> InstallTargetWin::GetAttributes(const std::string& path) {
    const DWORD a = ::GetFileAttributesA(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES)
        return std::nullopt;
    return static_cast<std::uint32_t>(a);
}

bool InstallTargetWin::SetAttributes(const std::string& path, std::uint32_t attributes) {
    return ::SetFileAttributesA(path.c_str(), attributes) != 0;
}

bool InstallTargetWin::RemoveFile(const std::string& path) {
    return ::DeleteFileA(path.c_str()) != 0;
}

bool InstallTargetWin::DeleteTree(const std::string& path) {
    std::string folder = path;
    while (folder.size() > 3 && folder.back() == '\\')
        folder.pop_back();
    return DeleteTreeBelow(folder);
}

bool InstallTargetWin::CopyTree(const std::string& from, const std::string& into) {
    const std::string source = DoubleZero(from);
    const std::string target = DoubleZero(into);
    SHFILEOPSTRUCTA op{};
    op.wFunc = FO_COPY;
    op.pFrom = source.c_str();
    op.pTo = target.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI | FOF_SILENT;
    return ::SHFileOperationA(&op) == 0 && !op.fAnyOperationsAborted;
}

bool InstallTargetWin::RegisterFont(const std::string& path) {
    if (::AddFontResourceA(path.c_str()) == 0)
        return false;
    // A window that does not answer must not hold the installation up.
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(HWND_BROADCAST, WM_FONTCHANGE, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
    return true;
}

bool InstallTargetWin::CreateRegistryKey(RegRoot root, const std::string& key) {
    return CreateKey(root, key).valid();
}

bool InstallTargetWin::WriteRegistryString(RegRoot root, const std::string& key, const std::string& name,
                                           const std::string& value) {
    UniqueRegKey k = CreateKey(root, key);
    if (!k)
        return false;
    return ::RegSetValueExA(k.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

bool InstallTargetWin::WriteRegistryDword(RegRoot root, const std::string& key, const std::string& name,
                                          std::uint32_t value) {
    UniqueRegKey k = CreateKey(root, key);
    if (!k)
        return false;
    DWORD data = value;
    return ::RegSetValueExA(k.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                            sizeof data) == ERROR_SUCCESS;
}

std::optional<std::uint64_t> InstallTargetWin::FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool InstallTargetWin::StartProcess(const std::string& command_line) {
    std::vector<char> command(command_line.begin(), command_line.end());
    command.push_back('\0'); // CreateProcessA may write into its command line
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                          nullptr, &startup, &info))
        return false;
    UniqueKernelHandle process(info.hProcess);
    UniqueKernelHandle thread(info.hThread);
    return true;
}

std::string InstallTargetWin::CurrentDirectory() {
    std::string buffer(MAX_PATH, '\0');
    DWORD n = ::GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
    if (n > buffer.size()) {
        buffer.resize(n);
        n = ::GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
    }
    buffer.resize(n <= buffer.size() ? n : 0);
    return buffer;
}

bool InstallTargetWin::RegistryKeyExists(RegRoot root, const std::string& key) {
    return OpenKey(root, key, KEY_READ).valid();
}

RegistryRead InstallTargetWin::ReadRegistryValue(RegRoot root, const std::string& key, const std::string& name,
                                                 std::size_t max_bytes) {
    HKEY raw = nullptr;
    LONG opened = ::RegOpenKeyExA(RootKey(root), key.c_str(), 0, KEY_QUERY_VALUE, &raw);
    if (opened == ERROR_FILE_NOT_FOUND)
        return RegistryRead{RegistryRead::Status::Missing, {}};
    if (opened != ERROR_SUCCESS)
        return RegistryRead{RegistryRead::Status::Failed, {}};
    UniqueRegKey k(raw);
    // The size is asked first and the value read into exactly that; a value that grew in
    // between answers ERROR_MORE_DATA, and the read is tried again rather than cut.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = REG_NONE;
        DWORD size = 0;
        LONG asked = ::RegQueryValueExA(k.get(), name.c_str(), nullptr, &type, nullptr, &size);
        if (asked == ERROR_FILE_NOT_FOUND)
            return RegistryRead{RegistryRead::Status::Missing, {}};
        if (asked != ERROR_SUCCESS || size > max_bytes)
            return RegistryRead{RegistryRead::Status::Failed, {}};
        std::string bytes(size, '\0');
        DWORD got = size;
        LONG read = ::RegQueryValueExA(k.get(), name.c_str(), nullptr, &type,
                                       reinterpret_cast<BYTE*>(bytes.data()), &got);
        if (read == ERROR_MORE_DATA)
            continue;
        if (read == ERROR_FILE_NOT_FOUND)
            return RegistryRead{RegistryRead::Status::Missing, {}};
        if (read != ERROR_SUCCESS || got > size)
            return RegistryRead{RegistryRead::Status::Failed, {}};
        bytes.resize(got);
        return RegistryRead{RegistryRead::Status::Found, RegistryData{type, bytes}};
    }
    return RegistryRead{RegistryRead::Status::Failed, {}};
}

bool InstallTargetWin::SetRegistryValue(RegRoot root, const std::string& key, const std::string& name,
                                        const RegistryData& value) {
    UniqueRegKey k = OpenKey(root, key, KEY_SET_VALUE);
    if (!k)
        return false;
    return ::RegSetValueExA(k.get(), name.c_str(), 0, value.type, reinterpret_cast<const BYTE*>(value.bytes.data()),
                            static_cast<DWORD>(value.bytes.size())) == ERROR_SUCCESS;
}

bool InstallTargetWin::DeleteRegistryValue(RegRoot root, const std::string& key, const std::string& name) {
    UniqueRegKey k = OpenKey(root, key, KEY_SET_VALUE);
    if (!k)
        return false;
    return ::RegDeleteValueA(k.get(), name.c_str()) == ERROR_SUCCESS;
}

void InstallTargetWin::BroadcastEnvironmentChange() {
    // A window that does not answer must not hold the installation up. The wide call: the
    // system converts the text for every window; Wine's narrow broadcast hands the narrow
    // text to the windows as a wide one, and they read "?????t".
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"Environment"),
                          SMTO_ABORTIFHUNG, 5000, &ignored);
}

std::optional<std::string> InstallTargetWin::ReadIniEntry(const std::string& file, const std::string& section,
                                                          const std::string& key) {
    // The section's key names tell a missing entry from an empty one, which reading the
    // entry alone cannot.
    std::vector<char> names(32768);
    DWORD n = ::GetPrivateProfileStringA(section.c_str(), nullptr, "", names.data(),
                                         static_cast<DWORD>(names.size()), file.c_str());
    bool present = false;
    for (DWORD at = 0; at < n && names[at] != '\0';) {
        const std::string name(names.data() + at);
        if (::lstrcmpiA(name.c_str(), key.c_str()) == 0)
            present = true;
        at += static_cast<DWORD>(name.size()) + 1;
    }
    if (!present)
        return std::nullopt;
    std::vector<char> value(32768);
    DWORD got = ::GetPrivateProfileStringA(section.c_str(), key.c_str(), "", value.data(),
                                           static_cast<DWORD>(value.size()), file.c_str());
    return std::string(value.data(), got);
}

bool InstallTargetWin::WriteIniEntry(const std::string& file, const std::string& section, const std::string& key,
                                     const std::string& value) {
    return ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != 0;
}

} // namespace cv
