#pragma once
/// CCompress: unpacks the product's cabinet set (file1.cab and the cabinets that continue
/// it) on a worker thread while the window thread keeps dispatching messages, moves the
/// progress bar of a page per file, and asks for missing disks.

#include "registry/registro.h"

#include <windows.h>

#include <atomic>
#include <string>

namespace cv {

class CWnd;

/// Where the uninstall log is written in split-files mode (the installation engine).
class IUninstallLog {
  public:
    virtual ~IUninstallLog() = default;
    virtual void WriteLogEntry(const std::string& key, const std::string& value) = 0;
};

/// The process-wide extraction state: one extraction runs at a time.
struct ExtractionState {
    /// -1 after construction and after success; otherwise the failed step 1 to 5.
    std::atomic<int> status{-1};
    std::string destination;      ///< with a trailing backslash, at most 255 characters
    HWND progressBar = nullptr;   ///< the page's progress bar, or null
    IUninstallLog* log = nullptr; ///< split-files mode only
    std::atomic<int> filesUnpacked{0};
    std::atomic<bool> progressRangeSet{false}; ///< once per process, never reset
};

ExtractionState& extractionState();

class CCompress {
  public:
    CCompress();
    virtual ~CCompress();
    CCompress(const CCompress&) = delete;
    CCompress& operator=(const CCompress&) = delete;

    /// Extracts the archive; true on success. On false `extractionState().status` tells
    /// the failed step.
    bool UnCompress();

    IUninstallLog* engine = nullptr; ///< the owning engine in split-files mode
    CRegistro registry;
    CWnd* progressWindow = nullptr;  ///< the page whose "IDC_PROGRESS1" bar moves
};

/// The worker: extracts into the destination and sets the status. Runs on its own thread.
unsigned CompactFilesTH();

} // namespace cv
