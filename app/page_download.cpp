#include "app/page_download.h"

#include "app/trace.h"
#include "common/setup_state.h"
#include "download/download_win.h"
#include "pages/image_window_win.h"

#include <windows.h>

namespace cv {

namespace {

/// Called on the transfer's thread: the page is reached by messages only.
class PageObserver final : public IDownloadObserver {
  public:
    explicit PageObserver(CImageWindow* page) : page_(page) {}
    void Report(const std::string& text) override {
        if (page_ && page_->m_hWnd)
            page_->UpdateDownloadProgress(text);
    }
    void ShowStatusMessage(const std::string& text) override {
        ::MessageBoxA(page_ ? page_->m_hWnd : nullptr, text.c_str(), "Corvane", MB_OK | MB_ICONSTOP);
    }
    int CancelFlag() override { return setupState().cancelFlag; }

  private:
    CImageWindow* page_;
};

} // namespace

DownloadResult PageDownload::Download(const std::string& url, const std::string& destination) {
    const bool page = page_ && page_->m_hWnd;
    if (page)
        page_->ShowDownloadProgress();
    SendTrace("Download " + url + " -> " + destination);
    PageObserver observer(page_);
    const TransferResult result = cv::Download(url, destination, observer);
    if (page)
        page_->HideDownloadProgress();
    switch (result) {
    case TransferResult::Done:
        return DownloadResult::Done;
    case TransferResult::Cancelled:
        return DownloadResult::Cancelled;
    case TransferResult::Failed:
        break;
    }
    SendTrace("Download failed " + url);
    return DownloadResult::Failed;
}

} // namespace cv
