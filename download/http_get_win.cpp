#include "download/http_get_win.h"

#include "download/url_parts.h"

namespace cv {

namespace {

constexpr const char* kAgent = "Corvane";

void SetTimeouts(HINTERNET session, DWORD ms) {
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                         INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_DATA_SEND_TIMEOUT,
                         INTERNET_OPTION_DATA_RECEIVE_TIMEOUT})
        ::InternetSetOptionA(session, option, &ms, sizeof ms);
}

} // namespace

bool HttpGet::Open(const std::string& url, const HttpGetOptions& options) {
    const UrlParts parts = SplitUrl(url);
    if (parts.host.empty())
        return false;
    session_.reset(::InternetOpenA(kAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session_)
        return false;
    if (options.timeout_ms != 0)
        SetTimeouts(session_.get(), options.timeout_ms);
    connection_.reset(::InternetConnectA(session_.get(), parts.host.c_str(),
                                         static_cast<INTERNET_PORT>(parts.port), nullptr, nullptr,
                                         INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection_)
        return false;
    const char* accept[] = {options.accept, nullptr};
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_KEEP_CONNECTION |
                  INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS;
    if (parts.https)
        flags |= INTERNET_FLAG_SECURE;
    request_.reset(::HttpOpenRequestA(connection_.get(), "GET", parts.object.c_str(), nullptr, nullptr, accept,
                                      flags, 0));
    if (!request_)
        return false;
    return ::HttpSendRequestA(request_.get(), nullptr, 0, nullptr, 0) != FALSE;
}

int HttpGet::Status() const {
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!request_ ||
        !::HttpQueryInfoA(request_.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
        return 0;
    return static_cast<int>(status);
}

std::optional<std::uint64_t> HttpGet::ContentLength() const {
    // Read as text: the number form of the query is 32 bits wide.
    char text[32] = {};
    DWORD size = sizeof text - 1;
    if (!request_ || !::HttpQueryInfoA(request_.get(), HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr))
        return std::nullopt;
    std::uint64_t length = 0;
    bool digits = false;
    for (const char* c = text; *c; ++c) {
        if (*c < '0' || *c > '9')
            return std::nullopt;
        if (length > (UINT64_MAX - 9) / 10)
            return std::nullopt;
        length = length * 10 + static_cast<std::uint64_t>(*c - '0');
        digits = true;
    }
    if (!digits)
        return std::nullopt;
    return length;
}

long HttpGet::Read(char* buffer, DWORD size) {
    DWORD read = 0;
    if (!::InternetReadFile(request_.get(), buffer, size, &read))
        return -1;
    return static_cast<long>(read);
}

} // namespace cv
