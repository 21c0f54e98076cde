#include "download/web_request.h"

#include <cctype>
#include <cstdlib>

namespace cv {

namespace {

/// A header larger than this is not a reply the fetch understands.
constexpr std::size_t kMaxHeader = 16 * 1024;

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

/// The digits of `text` as a number; -1 when it is not a plain decimal.
long long DecimalOrMinusOne(std::string_view text) {
    if (text.empty() || text.size() > 18)
        return -1;
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

WebAddress SplitWebAddress(std::string_view url) {
    std::string rest(url);
    const std::string_view scheme = "http://";
    for (std::size_t at = rest.find(scheme); at != std::string::npos; at = rest.find(scheme, at))
        rest.erase(at, scheme.size());
    std::size_t slash = rest.find('/');
    if (slash == std::string::npos)
        return WebAddress{rest, "/"};
    return WebAddress{rest.substr(0, slash), rest.substr(slash)};
}

std::string BuildGetRequest(const WebAddress& address) {
    return "GET " + address.path + " HTTP/1.0\r\n"
           "Host: " + address.host + "\r\n"
           "Accept: text/*\r\n"
           "User-Agent: Corvane\r\n"
           "Pragma: no-cache\r\n"
           "Cache-Control: no-cache\r\n"
           "\r\n";
}

void HttpReplyReader::Feed(std::string_view bytes) {
    if (malformed_)
        return;
    if (header_read_) {
        std::size_t room = kMaxWebBody - body_.size();
        body_.append(bytes.substr(0, room));
        return;
    }
    pending_.append(bytes);
    // The header ends at the first blank line, whichever line ends the server uses.
    std::size_t end = pending_.find("\r\n\r\n");
    std::size_t separator = 4;
    std::size_t bare = pending_.find("\n\n");
    if (bare < end) {
        end = bare;
        separator = 2;
    }
    if (end == std::string::npos) {
        if (pending_.size() > kMaxHeader)
            malformed_ = true;
        return;
    }
    std::string rest = pending_.substr(end + separator);
    ParseHeader(std::string_view(pending_).substr(0, end));
    pending_.clear();
    if (malformed_)
        return;
    header_read_ = true;
    Feed(rest);
}

void HttpReplyReader::ParseHeader(std::string_view header) {
    std::size_t line_end = header.find('\n');
    std::string_view status_line = Trim(header.substr(0, line_end));
    // "HTTP/1.x 200 OK": the code is the second word.
    std::size_t space = status_line.find(' ');
    if (status_line.substr(0, 5) != "HTTP/" || space == std::string_view::npos) {
        malformed_ = true;
        return;
    }
    std::string_view code = status_line.substr(space + 1, 3);
    long long status = DecimalOrMinusOne(code);
    if (code.size() != 3 || status < 100) {
        malformed_ = true;
        return;
    }
    status_ = static_cast<int>(status);
    while (line_end != std::string_view::npos) {
        header.remove_prefix(line_end + 1);
        line_end = header.find('\n');
        std::string_view line = header.substr(0, line_end);
        std::size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            continue;
        std::string name(Trim(line.substr(0, colon)));
        for (char& c : name)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (name == "content-length")
            content_length_ = DecimalOrMinusOne(Trim(line.substr(colon + 1)));
    }
}

bool HttpReplyReader::Complete() const {
    if (malformed_)
        return true;
    if (!header_read_)
        return false;
    if (body_.size() >= kMaxWebBody)
        return true;
    return content_length_ >= 0 && static_cast<long long>(body_.size()) >= content_length_;
}

std::string HttpReplyReader::Value(bool connection_closed) const {
    if (malformed_ || !header_read_ || status_ < 200 || status_ > 299)
        return {};
    if (content_length_ >= 0) {
        if (static_cast<long long>(body_.size()) < content_length_ && body_.size() < kMaxWebBody)
            return {}; // cut off before its end
        return body_.substr(0, static_cast<std::size_t>(content_length_));
    }
    return connection_closed || body_.size() >= kMaxWebBody ? body_ : std::string();
}

} // namespace cv
