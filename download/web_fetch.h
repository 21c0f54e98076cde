#pragma once
/// Fetching a web page for a variable: one GET with a hard time limit.

#include <cstddef>
#include <string>

namespace cv {

/// The longest a fetch may take, from connecting to the last byte of the body.
inline constexpr unsigned kWebFetchTimeLimitMs = 10000;

/// The largest body kept; the rest of a longer page is dropped.
inline constexpr std::size_t kMaxWebBody = 64 * 1024;

/// The body of the page at `url` (at most kMaxWebBody bytes), fetched with GET accepting
/// "text/*", when the server answered with a 2xx status and sent the whole body within
/// `time_limit_ms`; empty otherwise (no connection, an error status, a reply cut off or too
/// slow). Returns by the time limit whatever the network does.
std::string FetchWebPage(const std::string& url, unsigned time_limit_ms = kWebFetchTimeLimitMs);

} // namespace cv
