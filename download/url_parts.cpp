#include "download/url_parts.h"

#include <cctype>

namespace cv {

namespace {

constexpr std::string_view kHttp = "http://";
constexpr std::string_view kHttps = "https://";

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    return true;
}

std::string WithoutEveryHttp(std::string_view url) {
    std::string text(url);
    for (std::size_t at = text.find(kHttp); at != std::string::npos; at = text.find(kHttp, at))
        text.erase(at, kHttp.size());
    return text;
}

/// The port of a ":digits" text, 0 when it is not a port.
int PortNumber(std::string_view digits) {
    if (digits.empty() || digits.size() > 5)
        return 0;
    int port = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return 0;
        port = port * 10 + (c - '0');
    }
    return port >= 1 && port <= 65535 ? port : 0;
}

} // namespace

UrlParts SplitUrl(std::string_view url) {
    UrlParts parts;
    std::string rest;
    if (StartsWithNoCase(url, kHttps)) {
        parts.https = true;
        parts.port = kHttpsPort;
        rest = std::string(url.substr(kHttps.size()));
    } else {
        rest = WithoutEveryHttp(url);
    }
    const std::size_t slash = rest.find('/');
    parts.host = rest.substr(0, slash);
    parts.object = slash == std::string::npos ? "/" : rest.substr(slash);
    // The port follows the last colon, unless that colon lies inside an IPv6 literal.
    const std::size_t colon = parts.host.rfind(':');
    const std::size_t bracket = parts.host.rfind(']');
    if (colon != std::string::npos && (bracket == std::string::npos || colon > bracket)) {
        const int port = PortNumber(std::string_view(parts.host).substr(colon + 1));
        if (port == 0) {
            parts.host.clear();
            return parts;
        }
        parts.port = port;
        parts.host.erase(colon);
    }
    if (parts.host.size() >= 2 && parts.host.front() == '[' && parts.host.back() == ']')
        parts.host = parts.host.substr(1, parts.host.size() - 2);
    return parts;
}

std::string_view UrlFileName(std::string_view url) {
    const std::size_t slash = url.rfind('/');
    return slash == std::string_view::npos ? url : url.substr(slash + 1);
}

} // namespace cv
