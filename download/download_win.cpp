#include "download/download_win.h"

#include "download/http_get_win.h"
#include "download/transfer_progress.h"
#include "framework/thread.h"

#include <cstdio>

namespace cv {

namespace {

constexpr DWORD kReadSize = 1024;

/// The string table's texts where it has them, the built-in ones otherwise.
DownloadTexts TextsFromStringTable() {
    DownloadTexts texts;
    struct Entry {
        UINT id;
        std::string* text;
    } const entries[] = {
        {104, &texts.kb_per_sec}, {105, &texts.bytes}, {107, &texts.mb},      {108, &texts.of},
        {109, &texts.kb},         {110, &texts.sec},   {111, &texts.min},     {112, &texts.min_sec},
        {113, &texts.copied},     {114, &texts.bytes_per_sec},
    };
    for (const Entry& e : entries) {
        char buffer[128];
        const int n = ::LoadStringA(::GetModuleHandleA(nullptr), e.id, buffer, static_cast<int>(sizeof buffer));
        if (n > 0)
            e.text->assign(buffer, static_cast<std::size_t>(n));
    }
    return texts;
}

/// The local file being written, deleted when the transfer does not keep it.
class PartFile {
  public:
    explicit PartFile(const std::string& path) : path_(path) {
        file_.reset(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    ~PartFile() {
        file_.reset();
        if (!keep_)
            ::DeleteFileA(path_.c_str());
    }
    bool ok() const { return static_cast<bool>(file_); }
    bool Write(const char* bytes, DWORD count) {
        DWORD written = 0;
        return ::WriteFile(file_.get(), bytes, count, &written, nullptr) && written == count;
    }
    void Keep() { keep_ = true; }

  private:
    std::string path_;
    UniqueFile file_;
    bool keep_ = false;
};

} // namespace

std::string StatusCodeMessage(int status) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "Failed to retrieve a HTTP 200 status, Status Code:%d\r\nTry later or download using your "
                  "browser and add this file to Corvane Folder.",
                  status);
    return text;
}

TransferResult CDownload::Transfer(const std::string& url, const std::string& path, IDownloadObserver& observer) {
    // A file that cannot be created fails at once, before anything is asked of the network;
    // PartFile removes what a failed or cancelled transfer wrote.
    PartFile file(path);
    if (!file.ok())
        return TransferResult::Failed;
    HttpGet get;
    if (!get.Open(url, HttpGetOptions{}))
        return TransferResult::Failed;
    if (observer.CancelFlag() != 0)
        return TransferResult::Cancelled;
    const int status = get.Status();
    if (status == 0)
        return TransferResult::Failed;
    // Only the file itself is installed: an error page, or the body of a 401/407 challenge,
    // is no file.
    if (status != 200 && status != 206) {
        observer.ShowStatusMessage(StatusCodeMessage(status));
        return TransferResult::Failed;
    }
    const std::uint64_t length = get.ContentLength().value_or(0);
    TransferProgress progress(length, ::GetTickCount(), texts);
    std::uint64_t received = 0;
    char buffer[kReadSize];
    for (;;) {
        // A waiting read: it returns 0 bytes only at the end of the body, unlike a read
        // without waiting, which also returns 0 while the next bytes are under way.
        const long n = get.Read(buffer, kReadSize);
        if (n < 0)
            return TransferResult::Failed;
        const int cancel = observer.CancelFlag();
        if (n > 0 && cancel == 0 && !file.Write(buffer, static_cast<DWORD>(n)))
            return TransferResult::Failed;
        received += static_cast<std::uint64_t>(n);
        if (std::optional<std::string> report = progress.AfterRead(received, ::GetTickCount())) {
            progressText = progress.progress_text();
            speedText = progress.speed_text();
            observer.Report(*report);
        }
        if (cancel == 1)
            return TransferResult::Cancelled;
        if (cancel != 0) {
            file.Keep();
            return TransferResult::Cancelled;
        }
        if (n == 0)
            break;
    }
    // A reply that ends before its announced length was cut short.
    if (length != 0 && received < length)
        return TransferResult::Failed;
    file.Keep();
    return TransferResult::Done;
}

TransferResult Download(const std::string& url, const std::string& path, IDownloadObserver& observer) {
    TransferResult result = TransferResult::Failed;
    CWinThread worker([&] {
        CDownload download;
        download.texts = TextsFromStringTable();
        result = download.Transfer(url, path, observer);
        return 0u;
    });
    if (!worker.CreateThread())
        return TransferResult::Failed;
    worker.WaitDispatching();
    return result;
}

} // namespace cv
