#pragma once
/// The engine's downloads over the progress page: the page's download bar shown around each
/// transfer and fed its reports, the status-code message over the page, the user's cancel
/// through the process-wide cancel flag.

#include "engine/file_download.h"

namespace cv {

class CImageWindow;

class PageDownload final : public IFileDownload {
  public:
    explicit PageDownload(CImageWindow* page) : page_(page) {}
    DownloadResult Download(const std::string& url, const std::string& destination) override;

  private:
    CImageWindow* page_;
};

} // namespace cv
