#pragma once
/// CDownload: one file fetched from a web address into a local file on a worker thread, with
/// a report to the page about once a second and the user's cancel, and `Download`, which runs
/// it while the calling thread keeps dispatching window messages.

#include "download/progress_text.h"

#include <string>

namespace cv {

enum class TransferResult {
    Done,      ///< the whole body is in the file (all of it, when the server gave a length)
    Failed,    ///< no file, connection, request or reply; an error status; a cut transfer
    Cancelled, ///< the cancel flag was set; the partial file is gone
};

/// Where a running transfer reports and what stops it. Called on the transfer's thread.
class IDownloadObserver {
  public:
    virtual ~IDownloadObserver() = default;
    /// "<percent>,<progress text>,<speed text>" for the page's download bar.
    virtual void Report(const std::string& text) = 0;
    /// The message of an error status, shown to the user before the transfer ends.
    virtual void ShowStatusMessage(const std::string& text) = 0;
    /// The process-wide cancel flag: 0 goes on, 1 is the user's cancel (the partial file is
    /// deleted), any other value stops the transfer and keeps what was written.
    virtual int CancelFlag() = 0;
};

/// The message shown for a status other than 200 or 206.
std::string StatusCodeMessage(int status);

class CDownload {
  public:
    virtual ~CDownload() = default;

    /// The transfer, on the calling thread. Nothing is left at `path` unless the result is
    /// Done, or the transfer was stopped by a cancel flag other than 1.
    TransferResult Transfer(const std::string& url, const std::string& path, IDownloadObserver& observer);

    std::string speedText;    ///< the last speed text built
    std::string progressText; ///< the last progress text built
    DownloadTexts texts;      ///< the templates, from the string table
};

/// Runs a CDownload on a thread of its own and waits for it while dispatching messages.
TransferResult Download(const std::string& url, const std::string& path, IDownloadObserver& observer);

} // namespace cv
