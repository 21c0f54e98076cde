#pragma once
/// IUninstallLog: where the installation engine writes the uninstall log; the unpacking
/// writes a "FILE" entry per file in split-files mode.

#include <string>

namespace cv {

class IUninstallLog {
  public:
    virtual ~IUninstallLog() = default;
    virtual void WriteLogEntry(const std::string& key, const std::string& value) = 0;
};

} // namespace cv
