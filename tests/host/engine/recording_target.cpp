#include "recording_target.h"

#include <cctype>
#include <cstdio>

namespace cv::test {

namespace {

std::string ShortRoot(RegRoot root) { return ShortRootName(root); }

} // namespace

std::string ShortRootName(RegRoot root) {
    switch (root) {
    case RegRoot::ClassesRoot:
        return "HKCR";
    case RegRoot::CurrentUser:
        return "HKCU";
    case RegRoot::LocalMachine:
        return "HKLM";
    case RegRoot::Users:
        return "HKU";
    case RegRoot::CurrentConfig:
        return "HKCC";
    }
    return "?";
}

namespace {

std::string KeyPath(RegRoot root, const std::string& key) {
    std::string k = key;
    while (!k.empty() && k.back() == '\\')
        k.pop_back();
    return ShortRoot(root) + "\\" + k;
}

std::string ValuePath(RegRoot root, const std::string& key, const std::string& name) {
    std::string k = key;
    if (!k.empty() && k.back() == '\\')
        k.pop_back();
    return ShortRoot(root) + "\\" + k + "\\" + name;
}

} // namespace

RecordingTarget::RecordingTarget() {
    folders_.insert("c:");
}

std::string RecordingTarget::Key(const std::string& path) {
    std::string k;
    for (char c : path)
        k.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    while (!k.empty() && k.back() == '\\')
        k.pop_back();
    return k;
}

std::string RecordingTarget::ParentKey(const std::string& key) {
    std::size_t at = key.rfind('\\');
    return at == std::string::npos ? std::string() : key.substr(0, at);
}

bool RecordingTarget::ParentExists(const std::string& path) const {
    return folders_.count(ParentKey(Key(path))) != 0;
}

void RecordingTarget::AddFolder(const std::string& path) {
    std::string k = Key(path);
    while (!k.empty()) {
        folders_.insert(k);
        k = ParentKey(k);
    }
}

void RecordingTarget::AddFile(const std::string& path, const std::string& content, std::uint32_t attributes) {
    AddFolder(ParentKey(Key(path)));
    files_[Key(path)] = File{content, attributes};
}

std::string RecordingTarget::Content(const std::string& path) const {
    auto it = files_.find(Key(path));
    return it == files_.end() ? std::string() : it->second.content;
}

std::uint32_t RecordingTarget::Attributes(const std::string& path) const {
    auto it = files_.find(Key(path));
    return it == files_.end() ? 0 : it->second.attributes;
}

std::string RecordingTarget::Lower(const std::string& text) {
    std::string out;
    for (char c : text)
        out.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    return out;
}

std::string RecordingTarget::RegistryValue(const std::string& path) const {
    auto it = registry_.find(Lower(path));
    if (it == registry_.end())
        return std::string();
    const RegistryData& v = it->second;
    if (v.type == kRegSz || v.type == kRegExpandSz)
        return v.bytes.substr(0, v.bytes.find('\0'));
    if (v.type == kRegDword && v.bytes.size() == 4) {
        std::uint32_t n = 0;
        for (int i = 3; i >= 0; --i)
            n = (n << 8) | static_cast<unsigned char>(v.bytes[static_cast<std::size_t>(i)]);
        return std::to_string(n);
    }
    return v.bytes;
}

std::optional<RegistryData> RecordingTarget::StoredValue(RegRoot root, const std::string& key,
                                                         const std::string& name) const {
    auto it = registry_.find(Lower(ValuePath(root, key, name)));
    if (it == registry_.end())
        return std::nullopt;
    return it->second;
}

void RecordingTarget::AddRegistryKey(RegRoot root, const std::string& key) {
    std::string k = Lower(KeyPath(root, key));
    while (k.find('\\') != std::string::npos) {
        registry_keys_.insert(k);
        k = k.substr(0, k.rfind('\\'));
    }
}

void RecordingTarget::AddRegistryValue(RegRoot root, const std::string& key, const std::string& name,
                                       const RegistryData& value) {
    AddRegistryKey(root, key);
    registry_[Lower(ValuePath(root, key, name))] = value;
}

bool RecordingTarget::HasRegistryKey(RegRoot root, const std::string& key) const {
    return registry_keys_.count(Lower(KeyPath(root, key))) != 0;
}

void RecordingTarget::FailRegistryRead(RegRoot root, const std::string& key, const std::string& name) {
    failing_reads_.insert(Lower(ValuePath(root, key, name)));
}

void RecordingTarget::StoreValue(RegRoot root, const std::string& key, const std::string& name,
                                 const RegistryData& value) {
    registry_[Lower(ValuePath(root, key, name))] = value;
}

void RecordingTarget::AddIniEntry(const std::string& file, const std::string& section, const std::string& key,
                                  const std::string& value) {
    if (!HasFile(file))
        AddFile(file, "");
    ini_[Lower(file + "|" + section + "|" + key)] = value;
}

std::optional<std::string> RecordingTarget::IniEntry(const std::string& file, const std::string& section,
                                                     const std::string& key) const {
    auto it = ini_.find(Lower(file + "|" + section + "|" + key));
    if (it == ini_.end())
        return std::nullopt;
    return it->second;
}

CreateFolderResult RecordingTarget::CreateFolder(const std::string& path) {
    ++create_folder_calls;
    const std::string k = Key(path);
    if (folders_.count(k))
        return CreateFolderResult::AlreadyExists;
    if (files_.count(k) || k.empty())
        return CreateFolderResult::Failed;
    if (!folders_.count(ParentKey(k)))
        return CreateFolderResult::PathNotFound;
    folders_.insert(k);
    lines.push_back("MKDIR " + path);
    return CreateFolderResult::Created;
}

bool RecordingTarget::CopyFileReplacing(const std::string& from, const std::string& to) {
    auto source = files_.find(Key(from));
    bool ok = source != files_.end() && ParentExists(to) && !folders_.count(Key(to));
    auto existing = files_.find(Key(to));
    if (ok && existing != files_.end() && (existing->second.attributes & kAttrReadOnly))
        ok = false; // the system refuses to overwrite a read-only file
    auto failure = copy_failures_.find(Key(to));
    if (ok && failure != copy_failures_.end() && failure->second != 0) {
        ok = false;
        if (failure->second > 0)
            --failure->second;
    }
    if (ok)
        files_[Key(to)] = File{source->second.content, source->second.attributes | kAttrArchive};
    lines.push_back("COPY " + from + " -> " + to + (ok ? "" : " FAILED"));
    return ok;
}

std::optional<std::string> RecordingTarget::ReadWholeFile(const std::string& path) {
    auto it = files_.find(Key(path));
    if (it == files_.end())
        return std::nullopt;
    return it->second.content;
}

bool RecordingTarget::WriteWholeFile(const std::string& path, std::string_view bytes) {
    if (!ParentExists(path)) {
        lines.push_back("WRITE " + path + " FAILED");
        return false;
    }
    files_[Key(path)] = File{std::string(bytes), kAttrArchive};
    lines.push_back("WRITE " + path);
    return true;
}

std::optional<std::uint32_t> RecordingTarget::GetAttributes(const std::string& path) {
    const std::string k = Key(path);
    if (folders_.count(k))
        return kAttrDirectory;
    auto it = files_.find(k);
    if (it == files_.end())
        return std::nullopt;
    return it->second.attributes;
}

bool RecordingTarget::SetAttributes(const std::string& path, std::uint32_t attributes) {
    auto it = files_.find(Key(path));
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%X", attributes);
    lines.push_back("ATTR " + path + "=" + hex + (it == files_.end() ? " FAILED" : ""));
    if (it == files_.end())
        return false;
    it->second.attributes = attributes;
    return true;
}

bool RecordingTarget::RemoveFile(const std::string& path) {
    const bool ok = files_.erase(Key(path)) != 0;
    lines.push_back("DEL " + path + (ok ? "" : " FAILED"));
    return ok;
}

bool RecordingTarget::DeleteTree(const std::string& path) {
    const std::string k = Key(path);
    const bool ok = folders_.count(k) != 0;
    lines.push_back("DELTREE " + path + (ok ? "" : " FAILED"));
    auto below = [&](const std::string& other) { return other == k || other.rfind(k + "\\", 0) == 0; };
    for (auto it = files_.begin(); it != files_.end();)
        it = below(it->first) ? files_.erase(it) : std::next(it);
    for (auto it = folders_.begin(); it != folders_.end();)
        it = below(*it) ? folders_.erase(it) : std::next(it);
    return ok;
}

bool RecordingTarget::RemoveFolderIfEmpty(const std::string& path) {
    const std::string k = Key(path);
    auto below = [&](const std::string& other) { return other.rfind(k + "\\", 0) == 0; };
    for (const auto& f : files_)
        if (below(f.first))
            return false;
    for (const std::string& f : folders_)
        if (below(f))
            return false;
    lines.push_back("RMDIR " + path);
    folders_.erase(k);
    return true;
}

bool RecordingTarget::CopyTree(const std::string& from, const std::string& into) {
    const bool ok = folders_.count(Key(from)) != 0;
    lines.push_back("COPYTREE " + from + " -> " + into + (ok ? "" : " FAILED"));
    return ok;
}

bool RecordingTarget::RegisterFont(const std::string& path) {
    lines.push_back("FONT " + path);
    return HasFile(path);
}

bool RecordingTarget::CreateRegistryKey(RegRoot root, const std::string& key) {
    lines.push_back("REGKEY " + ShortRoot(root) + "\\" + key);
    AddRegistryKey(root, key);
    return true;
}

bool RecordingTarget::WriteRegistryString(RegRoot root, const std::string& key, const std::string& name,
                                          const std::string& value) {
    AddRegistryKey(root, key);
    StoreValue(root, key, name, RegistryData{kRegSz, value + std::string(1, '\0')});
    lines.push_back("REGSZ " + ValuePath(root, key, name) + "=" + value);
    return true;
}

bool RecordingTarget::WriteRegistryDword(RegRoot root, const std::string& key, const std::string& name,
                                         std::uint32_t value) {
    AddRegistryKey(root, key);
    std::string bytes;
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    StoreValue(root, key, name, RegistryData{kRegDword, bytes});
    lines.push_back("REGDWORD " + ValuePath(root, key, name) + "=" + std::to_string(value));
    return true;
}

RegistryRead RecordingTarget::ReadRegistryValue(RegRoot root, const std::string& key, const std::string& name,
                                                std::size_t max_bytes) {
    const std::string path = Lower(ValuePath(root, key, name));
    if (failing_reads_.count(path))
        return RegistryRead{RegistryRead::Status::Failed, {}};
    auto it = registry_.find(path);
    if (it == registry_.end())
        return RegistryRead{RegistryRead::Status::Missing, {}};
    if (it->second.bytes.size() > max_bytes)
        return RegistryRead{RegistryRead::Status::Failed, {}};
    return RegistryRead{RegistryRead::Status::Found, it->second};
}

bool RecordingTarget::SetRegistryValue(RegRoot root, const std::string& key, const std::string& name,
                                       const RegistryData& value) {
    const bool ok = HasRegistryKey(root, key);
    if (ok)
        StoreValue(root, key, name, value);
    lines.push_back("REGSET " + ValuePath(root, key, name) + " type=" + std::to_string(value.type) + " " +
                    ShowRegistryData(value) + (ok ? "" : " FAILED"));
    return ok;
}

bool RecordingTarget::DeleteRegistryValue(RegRoot root, const std::string& key, const std::string& name) {
    const bool ok = registry_.erase(Lower(ValuePath(root, key, name))) != 0;
    lines.push_back("REGDEL " + ValuePath(root, key, name) + (ok ? "" : " FAILED"));
    return ok;
}

bool RecordingTarget::WriteIniEntry(const std::string& file, const std::string& section, const std::string& key,
                                    const std::string& value) {
    const bool ok = ParentExists(file) && !HasFolder(file);
    if (ok) {
        if (!HasFile(file))
            files_[Key(file)] = File{"", kAttrArchive};
        ini_[Lower(file + "|" + section + "|" + key)] = value;
    }
    lines.push_back("INI " + file + " [" + section + "] " + key + "=" + value + (ok ? "" : " FAILED"));
    return ok;
}

bool RecordingTarget::CreateShellLink(const ShellLinkSpec& link) {
    const bool ok = ParentExists(link.path) && !HasFolder(link.path);
    std::string line = "LNK " + link.path + " -> " + link.target;
    if (!link.arguments.empty())
        line += " args=" + link.arguments;
    if (!link.working_folder.empty())
        line += " dir=" + link.working_folder;
    if (!link.description.empty())
        line += " desc=" + link.description;
    if (!link.icon.empty())
        line += " icon=" + link.icon + "," + std::to_string(link.icon_index);
    if (link.show_command != 0)
        line += " show=" + std::to_string(link.show_command);
    if (ok)
        files_[Key(link.path)] = File{"lnk " + link.target, kAttrArchive};
    lines.push_back(line + (ok ? "" : " FAILED"));
    return ok;
}

bool RecordingTarget::CreateInternetShortcut(const std::string& path, const std::string& url) {
    const bool ok = ParentExists(path) && !HasFolder(path);
    if (ok)
        files_[Key(path)] = File{"[InternetShortcut]\r\nURL=" + url + "\r\n", kAttrArchive};
    lines.push_back("URL " + path + " -> " + url + (ok ? "" : " FAILED"));
    return ok;
}

bool RecordingTarget::OpenWithShell(const std::string& path) {
    lines.push_back("OPEN " + path);
    return HasFolder(path) || HasFile(path);
}

CreateServiceResult RecordingTarget::InstallService(const ServiceSpec& service) {
    CreateServiceResult result = CreateServiceResult::Created;
    if (!service_results.empty()) {
        result = service_results.front();
        service_results.pop_front();
    }
    char constants[64];
    std::snprintf(constants, sizeof constants, " type=0x%X start=%u error=%u", service.service_type,
                  service.start_type, service.error_control);
    const char* outcome = result == CreateServiceResult::Created     ? ""
                          : result == CreateServiceResult::NoManager ? " NOMANAGER"
                                                                     : " FAILED";
    lines.push_back("SERVICE " + service.name + " \"" + service.display_name + "\"" + constants + " " +
                    service.binary_path + outcome);
    return result;
}

std::string ShowRegistryData(const RegistryData& value) {
    if (value.type == kRegSz || value.type == kRegExpandSz) {
        const std::size_t nul = value.bytes.find('\0');
        if (nul == std::string::npos)
            return value.bytes + "<no NUL>";
        return value.bytes.substr(0, nul);
    }
    if (value.type == kRegDword && value.bytes.size() == 4) {
        std::uint32_t n = 0;
        for (int i = 3; i >= 0; --i)
            n = (n << 8) | static_cast<unsigned char>(value.bytes[static_cast<std::size_t>(i)]);
        return std::to_string(n);
    }
    std::string hex;
    for (unsigned char c : value.bytes) {
        char b[4];
        std::snprintf(b, sizeof b, "%02X", c);
        hex += (hex.empty() ? "" : " ") + std::string(b);
    }
    return hex;
}

void RecordingPriorState::RegistryKeyExisted(RegRoot root, const std::string& key) {
    lines.push_back("KEY " + KeyPath(root, key));
}

void RecordingPriorState::RegistryValueReplaced(RegRoot root, const std::string& key, const std::string& name,
                                                std::uint32_t type, const std::string& data) {
    lines.push_back("VALUE " + ValuePath(root, key, name) + " type=" + std::to_string(type) + " " +
                    ShowRegistryData(RegistryData{type, data}));
}

void RecordingPriorState::EnvironmentAppended(RegRoot root, const std::string& key, const std::string& name,
                                              const std::string& entry) {
    lines.push_back("APPENDED " + ValuePath(root, key, name) + " " + entry);
}

std::optional<std::uint64_t> RecordingTarget::FileSize(const std::string& path) {
    auto it = files_.find(Key(path));
    if (it == files_.end())
        return std::nullopt;
    return it->second.content.size();
}

bool RecordingTarget::StartProcess(const std::string& command_line) {
    lines.push_back("RUN " + command_line);
    return true;
}

int RecordingProgress::AskRetryIgnoreAbort(const std::string& text, bool abort_only) {
    lines.push_back((abort_only ? "ASK-ABORT " : "ASK ") + text);
    if (on_ask)
        on_ask();
    if (answers.empty())
        return kAnswerAbort;
    int answer = answers.front();
    answers.pop_front();
    return answer;
}

std::vector<std::string> RecordingProgress::StatusLines() const {
    std::vector<std::string> out;
    for (const std::string& l : lines)
        if (l.rfind("STATUS", 0) == 0)
            out.push_back(l);
    return out;
}

std::vector<std::string> MemoryLog::Lines() const {
    std::vector<std::string> out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find("\r\n", pos);
        if (end == std::string::npos) {
            out.push_back("<unterminated>");
            break;
        }
        out.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return out;
}

} // namespace cv::test
