#pragma once
/// Fetching a file given by a web address into its destination, with the progress page's
/// download bar. The wizard implements it over the download client; the engine only decides
/// what a failure or a cancel means for the run.

#include <string>

namespace cv {

enum class DownloadResult {
    Done,      ///< the whole file is at the destination
    Failed,    ///< no connection, an error status (its message shown), a transfer cut short
    Cancelled, ///< the user confirmed Cancel during the transfer
};

class IFileDownload {
  public:
    virtual ~IFileDownload() = default;
    /// Shows the page's download bar, fetches `url` into `destination` (created or
    /// replaced) and hides the bar again. After Failed or Cancelled nothing of the transfer
    /// is left at the destination.
    virtual DownloadResult Download(const std::string& url, const std::string& destination) = 0;
};

} // namespace cv
