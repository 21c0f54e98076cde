#pragma once
/// The uninstall log: one "key=value" line per thing the installation created, appended in the
/// order the steps run, read later by the maintenance program. Each line reaches the file as
/// it is written (one write per line, nothing held back in this process), so a log cut short
/// by a crash still lists everything done before it.

#include <string>
#include <string_view>

namespace cv {

/// Where formatted log lines go. `uninstall_log_file_win.h` appends them to the log file; tests
/// keep them in memory.
class ILogSink {
  public:
    virtual ~ILogSink() = default;
    /// Appends one whole line (its CR LF included). False when it could not be written; the
    /// writer goes on with the next line.
    virtual bool Append(std::string_view line) = 0;
    /// Lets go of the file (a rollback deletes or replaces it); a later line opens it again.
    virtual void Close() {}
};

/// "TOTALFILE=12\r\n": key, "=", value, CR LF; no quoting or escaping.
std::string FormatLogLine(std::string_view key, std::string_view value);

class UninstallLogWriter {
  public:
    explicit UninstallLogWriter(ILogSink& sink) : sink_(sink) {}

    /// Appends one line. A line that cannot be written is dropped (the run goes on).
    void WriteLogEntry(std::string_view key, std::string_view value);

    /// Number of lines handed to the sink that it could not write.
    int lost_lines() const { return lost_; }

  private:
    ILogSink& sink_;
    int lost_ = 0;
};

} // namespace cv
