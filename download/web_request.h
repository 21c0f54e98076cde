#pragma once
/// The HTTP side of fetching a web page for a variable: the address split into host and
/// object path, the GET request, and the reading of the reply as its bytes arrive.

#include <cstddef>
#include <string>
#include <string_view>

namespace cv {

/// A web address as the fetch uses it.
struct WebAddress {
    std::string host; ///< everything before the first "/" ("www.example.com")
    std::string path; ///< from the first "/" on; "/" when the address has none
};

/// `url` without its "http://" (wherever it stands, as the runtime has always removed it),
/// split at the first "/".
WebAddress SplitWebAddress(std::string_view url);

/// The GET request for `address`: text replies accepted, nothing taken from a cache, and
/// HTTP/1.0 so that the server sends the body plainly and closes the connection after it.
std::string BuildGetRequest(const WebAddress& address);

/// The largest body kept; the rest of a longer page is dropped.
inline constexpr std::size_t kMaxWebBody = 64 * 1024;

/// Collects an HTTP reply fed in pieces as they arrive.
class HttpReplyReader {
  public:
    /// Takes the next received bytes.
    void Feed(std::string_view bytes);
    /// True once the header has been read and the body is complete (its Content-Length
    /// reached, or kMaxWebBody bytes kept). Without a Content-Length the body ends with the
    /// connection, which the caller reports by stopping.
    bool Complete() const;
    /// True once a full status line and header have arrived and were understood.
    bool HeaderRead() const { return header_read_; }
    /// The status code, 0 before the header or when the status line was not understood.
    int Status() const { return status_; }
    /// The Content-Length, -1 when the reply had none.
    long long ContentLength() const { return content_length_; }
    /// The body received so far (at most kMaxWebBody bytes).
    const std::string& Body() const { return body_; }
    /// The page as a variable value: the body of a complete 2xx reply (or one whose
    /// connection ended without a Content-Length), otherwise empty.
    std::string Value(bool connection_closed) const;

  private:
    void ParseHeader(std::string_view header);

    std::string pending_; ///< header bytes until the blank line has arrived
    std::string body_;
    bool header_read_ = false;
    bool malformed_ = false;
    int status_ = 0;
    long long content_length_ = -1;
};

} // namespace cv
