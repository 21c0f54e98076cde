#pragma once
// Test doubles of the engine's interfaces: an install target over an in-memory file system
// and registry that records every change as a line ("COPY a -> b", "REGSZ HKLM\\k\\n=v"), a
// progress page that records what it was told and answers from a script, and a log kept in
// memory.

#include "engine/install_progress.h"
#include "engine/install_target.h"
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
    /// "HKLM\\key\\name" -> value as written ("1" for a DWORD of 1); "" when missing.
    std::string RegistryValue(const std::string& path) const;
    bool HasRegistryValue(const std::string& path) const { return registry_.count(path) != 0; }

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

  private:
    struct File {
        std::string content;
        std::uint32_t attributes;
    };
    /// Paths compare without regard to case and without trailing backslashes, as on Windows.
    static std::string Key(const std::string& path);
    static std::string ParentKey(const std::string& key);
    bool ParentExists(const std::string& path) const;

    std::map<std::string, File> files_;
    std::set<std::string> folders_;
    std::map<std::string, int> copy_failures_;
    std::map<std::string, std::string> registry_;
};

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
