#pragma once
/// The uninstall log on disk. The file is opened at the first line (its folder is created
/// early in the run) and kept open, so each line costs one WriteFile and nothing is buffered
/// in this process: a line is in the file as soon as Append returns. Other processes may read
/// it meanwhile but not write it.

#include "engine/uninstall_log_writer.h"
#include "framework/handle.h"

#include <string>

namespace cv {

class UninstallLogFile : public ILogSink {
  public:
    explicit UninstallLogFile(std::string path) : path_(std::move(path)) {}

    /// Appends at the end of the file, creating it if needed. A file that cannot be opened is
    /// tried again at the next line.
    bool Append(std::string_view line) override;
    /// Closes the file; a later line opens it again at its end.
    void Close() override { file_.reset(); }

  private:
    std::string path_;
    UniqueFile file_;
};

} // namespace cv
