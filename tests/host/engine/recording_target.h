#pragma once
// Test doubles of the engine's interfaces: an install target over an in-memory file system
// and registry that records every change as a line ("COPY a -> b", "REGSZ HKLM\\k\\n=v"), a
// progress page that records what it was told and answers from a script, and a log kept in
// memory.

#include "engine/install_progress.h"
#include "engine/install_target.h"
#include "engine/prior_state.h"
#include "engine/uninstall_log_writer.h"

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace cv::test {

class RecordingTarget : public IInstallTarget {
  public:
    RecordingTarget();

    // Setting the machine up (not recorded).
    void AddFolder(const std::string& path);
    void AddFile(const std::string& path, const std::string& content = "x", std::uint32_t attributes = kAttrArchive);
    /// Copies to `destination` fail the next `times` times (-1: always).
    void FailCopiesTo(const std::string& destination, int times = -1) { copy_failures_[Key(destination)] = times; }

    bool HasFile(const std::string& path) const { return files_.count(Key(path)) != 0; }
    bool HasFolder(const std::string& path) const { return folders_.count(Key(path)) != 0; }
    std::string Content(const std::string& path) const;
    std::uint32_t Attributes(const std::string& path) const;
    /// "HKLM\\key\\name" -> value as written ("1" for a DWORD of 1, the text of a string
    /// without its terminator, a binary value's bytes); "" when missing.
    std::string RegistryValue(const std::string& path) const;
    bool HasRegistryValue(const std::string& path) const { return registry_.count(Lower(path)) != 0; }
    /// The value as stored (type and raw bytes); nullopt when missing.
    std::optional<RegistryData> StoredValue(RegRoot root, const std::string& key, const std::string& name) const;
    /// A key (and its parents) already on the machine (not recorded).
    void AddRegistryKey(RegRoot root, const std::string& key);
    /// A value already on the machine, its key created with it (not recorded).
    void AddRegistryValue(RegRoot root, const std::string& key, const std::string& name, const RegistryData& value);
    bool HasRegistryKey(RegRoot root, const std::string& key) const;
    /// Reading this value fails (as access denied would).
    void FailRegistryRead(RegRoot root, const std::string& key, const std::string& name);
    /// An INI entry already on the machine; the file is created with it (not recorded).
    void AddIniEntry(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value);
    /// The entry as the INI file holds it; nullopt when missing.
    std::optional<std::string> IniEntry(const std::string& file, const std::string& section,
                                        const std::string& key) const;
    /// Results of InstallService, in order; Created once they run out.
    std::deque<CreateServiceResult> service_results;

    /// Every change, in order.
    std::vector<std::string> lines;
    /// Recorded CreateFolder attempts of any result (to count them).
    int create_folder_calls = 0;
    std::string current_directory = "C:\\Setup";

    CreateFolderResult CreateFolder(const std::string& path) override;
    bool FileExists(const std::string& path) override { return HasFile(path); }
    bool FolderExists(const std::string& path) override { return HasFolder(path); }
    bool CopyFileReplacing(const std::string& from, const std::string& to) override;
    std::optional<std::string> ReadWholeFile(const std::string& path) override;
    bool WriteWholeFile(const std::string& path, std::string_view bytes) override;
    std::optional<std::uint32_t> GetAttributes(const std::string& path) override;
    bool SetAttributes(const std::string& path, std::uint32_t attributes) override;
    bool RemoveFile(const std::string& path) override;
    bool DeleteTree(const std::string& path) override;
    /// Removes the folder when nothing is in it ("RMDIR path"); for the removal tests.
    bool RemoveFolderIfEmpty(const std::string& path);
    bool CopyTree(const std::string& from, const std::string& into) override;
    bool RegisterFont(const std::string& path) override;
    bool CreateRegistryKey(RegRoot root, const std::string& key) override;
    bool WriteRegistryString(RegRoot root, const std::string& key, const std::string& name,
                             const std::string& value) override;
    bool WriteRegistryDword(RegRoot root, const std::string& key, const std::string& name,
                            std::uint32_t value) override;
    bool StartProcess(const std::string& command_line) override;
    std::string CurrentDirectory() override { return current_directory; }
    bool RegistryKeyExists(RegRoot root, const std::string& key) override { return HasRegistryKey(root, key); }
    RegistryRead ReadRegistryValue(RegRoot root, const std::string& key, const std::string& name,
                                   std::size_t max_bytes) override;
    bool SetRegistryValue(RegRoot root, const std::string& key, const std::string& name,
                          const RegistryData& value) override;
    bool DeleteRegistryValue(RegRoot root, const std::string& key, const std::string& name) override;
    void BroadcastEnvironmentChange() override { lines.push_back("SETTINGCHANGE Environment"); }
    std::optional<std::string> ReadIniEntry(const std::string& file, const std::string& section,
                                            const std::string& key) override {
        return IniEntry(file, section, key);
    }
    bool WriteIniEntry(const std::string& file, const std::string& section, const std::string& key,
                       const std::string& value) override;
    bool CreateShellLink(const ShellLinkSpec& link) override;
    bool CreateInternetShortcut(const std::string& path, const std::string& url) override;
    bool OpenWithShell(const std::string& path) override;
    CreateServiceResult InstallService(const ServiceSpec& service) override;
    std::optional<std::uint64_t> FileSize(const std::string& path) override;

  private:
    struct File {
        std::string content;
        std::uint32_t attributes;
    };
    /// Paths compare without regard to case and without trailing backslashes, as on Windows.
    static std::string Key(const std::string& path);
    static std::string ParentKey(const std::string& key);
    bool ParentExists(const std::string& path) const;
    static std::string Lower(const std::string& text);
    void StoreValue(RegRoot root, const std::string& key, const std::string& name, const RegistryData& value);

    std::map<std::string, File> files_;
    std::set<std::string> folders_;
    std::map<std::string, int> copy_failures_;
    /// Lower-case "HKLM\\key\\name" -> value.
    std::map<std::string, RegistryData> registry_;
    /// Lower-case "HKLM\\key", parents included.
    std::set<std::string> registry_keys_;
    std::set<std::string> failing_reads_;
    /// Lower-case "file|section|key" -> value.
    std::map<std::string, std::string> ini_;
};

/// Records what the steps report about the machine's prior state, one line per call:
/// "FILE path backup", "INIFILE file", "INIENTRY file [section] key=before",
/// "KEY HKLM\\key", "VALUE HKCU\\key\\name type=2 data", "APPENDED HKCU\\key\\name entry".
class RecordingPriorState : public IPriorState {
  public:
    std::vector<std::string> lines;
    void FileReplaced(const std::string& path, const std::string& backup) override {
        lines.push_back("FILE " + path + " " + backup);
    }
    void IniFileExisted(const std::string& file) override { lines.push_back("INIFILE " + file); }
    void IniEntryReplaced(const std::string& file, const std::string& section, const std::string& key,
                          const std::string& before) override {
        lines.push_back("INIENTRY " + file + " [" + section + "] " + key + "=" + before);
    }
    void RegistryKeyExisted(RegRoot root, const std::string& key) override;
    void RegistryValueReplaced(RegRoot root, const std::string& key, const std::string& name, std::uint32_t type,
                               const std::string& data) override;
    void EnvironmentAppended(RegRoot root, const std::string& key, const std::string& name,
                             const std::string& entry) override;
    void SelfRegistered(const std::string& file) override { lines.push_back("SELFREG " + file); }
    void IniEntryAdded(const std::string& file, const std::string& section, const std::string& key) override {
        lines.push_back("INIADDED " + file + " [" + section + "] " + key);
    }
};

/// A value's bytes as the recording lines show them: a string's text (a missing terminator
/// shown as "<no NUL>"), a DWORD in decimal, other types as hex bytes ("41 42 00").
std::string ShowRegistryData(const RegistryData& value);
/// "HKLM" and the like.
std::string ShortRootName(RegRoot root);

class RecordingProgress : public IInstallProgress {
  public:
    /// "STATUS text", "STATUS2 text", "RANGE n", "ASK text" / "ASK-ABORT text", "MSG text".
    std::vector<std::string> lines;
    std::vector<int> positions;
    std::vector<std::string> traces;
    /// Answers to the copy-error question, in order; kAnswerAbort once they run out.
    std::deque<int> answers;
    /// CancelRequested is true once the bar reached this position (-1: never).
    int cancel_at_position = -1;
    /// Called before each question is answered (a test frees a blocked file there).
    std::function<void()> on_ask;

    void SetStatusText(const std::string& text, bool second) override {
        lines.push_back((second ? "STATUS2 " : "STATUS ") + text);
    }
    void SetRange(int count) override { lines.push_back("RANGE " + std::to_string(count)); }
    void SetPosition(int position) override { positions.push_back(position); }
    int AskRetryIgnoreAbort(const std::string& text, bool abort_only) override;
    void ShowMessage(const std::string& text) override { lines.push_back("MSG " + text); }
    bool CancelRequested() override {
        return cancel_at_position >= 0 && !positions.empty() && positions.back() >= cancel_at_position;
    }
    void Trace(const std::string& text) override { traces.push_back(text); }
    void RunLogLine(const std::string& text) override { run_log.push_back(text); }
    /// The run log's lines, in order.
    std::vector<std::string> run_log;

    /// Only the status lines.
    std::vector<std::string> StatusLines() const;
};

class MemoryLog : public ILogSink {
  public:
    std::string text;
    /// When set, a line is refused while the folder of `path` does not exist on `disk`, as the
    /// log file would be.
    RecordingTarget* disk = nullptr;
    std::string path;
    bool Append(std::string_view line) override {
        if (disk && !disk->FolderExists(path.substr(0, path.rfind('\\'))))
            return false;
        text.append(line);
        return true;
    }
    /// The lines without their CR LF; a last line without one is reported as "<unterminated>".
    std::vector<std::string> Lines() const;
};

} // namespace cv::test
