#include "download/web_fetch.h"

#include "download/http_get_win.h"

#include <windows.h>

#include <memory>

namespace cv {

namespace {

constexpr DWORD kChunk = 1024;

/// One fetch, owned jointly by the caller and the thread that runs it: a caller that stops
/// waiting at the time limit leaves the thread to end on WinINet's own time limits, with
/// nothing of the caller's in its hands.
struct FetchJob {
    std::string url;
    DWORD deadline;
    unsigned time_limit_ms;
    std::string value; ///< written by the thread, read by the caller only after it ended

    DWORD Remaining() const {
        const DWORD now = ::GetTickCount();
        return static_cast<LONG>(deadline - now) > 0 ? deadline - now : 0;
    }

    void Run() {
        HttpGet get;
        HttpGetOptions options;
        options.accept = "text/*";
        options.timeout_ms = time_limit_ms;
        if (!get.Open(url, options))
            return;
        const int status = get.Status();
        if (status < 200 || status > 299)
            return;
        const std::optional<std::uint64_t> length = get.ContentLength();
        std::string body;
        std::uint64_t received = 0;
        char chunk[kChunk];
        for (;;) {
            if (Remaining() == 0)
                return; // too slow: no half page as a value
            const long n = get.Read(chunk, kChunk);
            if (n < 0)
                return;
            if (n == 0)
                break;
            received += static_cast<std::uint64_t>(n);
            const std::size_t room = kMaxWebBody - body.size();
            body.append(chunk, std::min<std::size_t>(room, static_cast<std::size_t>(n)));
            if (body.size() == kMaxWebBody)
                break; // the rest of a longer page is dropped
        }
        if (length && received < *length && body.size() < kMaxWebBody)
            return; // cut off
        value = std::move(body);
    }
};

DWORD WINAPI FetchThread(void* parameter) {
    // The thread holds its own reference to the job.
    std::unique_ptr<std::shared_ptr<FetchJob>> job(static_cast<std::shared_ptr<FetchJob>*>(parameter));
    (*job)->Run();
    return 0;
}

} // namespace

std::string FetchWebPage(const std::string& url, unsigned time_limit_ms) {
    auto job = std::make_shared<FetchJob>();
    job->url = url;
    job->time_limit_ms = time_limit_ms;
    job->deadline = ::GetTickCount() + time_limit_ms;
    auto* thread_share = new std::shared_ptr<FetchJob>(job);
    UniqueKernelHandle thread(::CreateThread(nullptr, 0, FetchThread, thread_share, 0, nullptr));
    if (!thread) {
        delete thread_share;
        return {};
    }
    // WinINet's time limits hold per operation (a name lookup, a connection, each read), not
    // for the whole fetch; the wait here bounds the whole.
    if (::WaitForSingleObject(thread.get(), time_limit_ms) != WAIT_OBJECT_0)
        return {};
    return job->value;
}

} // namespace cv
