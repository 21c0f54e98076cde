#pragma once
/// The run log of "/LOG=<file>": a plain-text account of the run for the administrator who
/// deployed it. One line per event, each with the local date and time; every line reaches
/// the disk when it is written, so a run that dies leaves what it did. Lines come from the
/// window thread and from the engine's worker.

#include <cstdio>
#include <ctime>
#include <mutex>
#include <string>
#include <string_view>

namespace cv {

/// "2026-12-08 21:40:03  text" with the text's line breaks turned into single spaces (a
/// message box's text becomes one line) and CR LF at the end.
std::string RunLogLine(const std::tm& when, std::string_view text);

/// The log's line for a message box: "Message: text", or "Message (not shown): text" in a
/// silent run, which shows none.
std::string MessageLogText(bool silent, std::string_view text);

class RunLog {
  public:
    RunLog() = default;
    ~RunLog();
    RunLog(const RunLog&) = delete;
    RunLog& operator=(const RunLog&) = delete;

    /// Creates or empties `path`; false when it cannot be written (the run goes on unlogged).
    bool Open(const std::string& path);
    bool IsOpen() const { return file_ != nullptr; }
    /// Appends one line stamped with the local time now; nothing when the log is not open.
    void Write(std::string_view text);
    void Close();

  private:
    std::mutex mutex_;
    std::FILE* file_ = nullptr;
};

} // namespace cv
