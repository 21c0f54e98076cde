#pragma once
/// CCompress: unpacks the product's cabinet set (file1.cab and the cabinets that continue
/// it) on a worker thread while the window thread keeps dispatching messages, reports its
/// progress per file, and asks for missing disks. Its Windows part is compress_win.cpp.

#include "archive/extract_progress.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>

namespace cv {

/// The installation engine's uninstall log (engine/uninstall_log.h); the unpacking only
/// passes entries to it, so archive/ does not include the engine.
class IUninstallLog;

/// Receives the names of the unpacking's steps for the trace monitor; any thread.
using ExtractTrace = std::function<void(const std::string&)>;

/// Longest destination folder (with its trailing backslash) the unpacking takes; a longer
/// one fails the extraction (status 4).
inline constexpr std::size_t kMaxDestinationFolder = 255;
/// Asked for a missing disk with the request's text; true to look again, false to give up
/// (the unpacking then fails). Empty: a system message box asks, and its Cancel ends the
/// process.
using DiskPrompt = std::function<bool(const std::string& text)>;

/// The process-wide extraction state: one extraction runs at a time.
struct ExtractionState {
    /// -1 after construction and after success; otherwise the failed step 1 to 5.
    std::atomic<int> status{-1};
    /// Why the unpacking failed, in words for the user; written by the worker before it
    /// ends, read after.
    std::string failure;
    std::string destination;      ///< with a trailing backslash, at most 255 characters
    IExtractProgress* progress = nullptr; ///< told the file count and each file, or null
    ExtractTrace trace;           ///< the step names, or empty
    IUninstallLog* log = nullptr; ///< split-files mode only
    DiskPrompt askDisk;           ///< empty: the message box
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

    IUninstallLog* engine = nullptr;      ///< the owning engine in split-files mode
    IExtractProgress* progress = nullptr; ///< where progress goes, or null
    ExtractTrace trace;                   ///< where the step names go, or empty
    DiskPrompt askDisk;                   ///< who is asked for a missing disk, or empty
};

/// The worker: extracts into the destination and sets the status. Runs on its own thread.
unsigned CompactFilesTH();

} // namespace cv
