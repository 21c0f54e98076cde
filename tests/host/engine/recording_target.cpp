#include "recording_target.h"

#include <cctype>
#include <cstdio>

namespace cv::test {

namespace {

std::string ShortRoot(RegRoot root) {
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

std::string RecordingTarget::RegistryValue(const std::string& path) const {
    auto it = registry_.find(path);
    return it == registry_.end() ? std::string() : it->second;
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
    return true;
}

bool RecordingTarget::WriteRegistryString(RegRoot root, const std::string& key, const std::string& name,
                                          const std::string& value) {
    const std::string path = ValuePath(root, key, name);
    registry_[path] = value;
    lines.push_back("REGSZ " + path + "=" + value);
    return true;
}

bool RecordingTarget::WriteRegistryDword(RegRoot root, const std::string& key, const std::string& name,
                                         std::uint32_t value) {
    const std::string path = ValuePath(root, key, name);
    registry_[path] = std::to_string(value);
    lines.push_back("REGDWORD " + path + "=" + std::to_string(value));
    return true;
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
