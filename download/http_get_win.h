#pragma once
/// One HTTP or HTTPS GET over WinINet: the program's only web client. The downloads of the
/// file list and the web values of the conditions both use it, each with its own rules.

#include "framework/handle.h"

#include <wininet.h>

#include <cstdint>
#include <optional>
#include <string>

namespace cv {

struct HttpGetOptions {
    /// The one type the request accepts ("*/*" for files, "text/*" for web values).
    const char* accept = "*/*";
    /// Connect, send and receive time limits of WinINet in milliseconds; 0 keeps its own.
    DWORD timeout_ms = 0;
};

class HttpGet {
  public:
    /// Opens a session (the system's proxy settings), connects to the address's host and port
    /// and sends the GET: nothing cached, "https://" over TLS, a redirect from http to https
    /// followed. False when any of that fails.
    bool Open(const std::string& url, const HttpGetOptions& options);
    /// The status code, 0 when it cannot be read.
    int Status() const;
    /// The Content-Length as a 64-bit count; nullopt when the reply has none (or an unreadable
    /// one).
    std::optional<std::uint64_t> ContentLength() const;
    /// Reads the next bytes of the body, waiting for them: the count (0 at its end), or -1
    /// when the read failed (a connection cut or timed out).
    long Read(char* buffer, DWORD size);

  private:
    UniqueInternet session_;
    UniqueInternet connection_;
    UniqueInternet request_;
};

} // namespace cv
