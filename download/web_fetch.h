#pragma once
/// Fetching a web page for a variable: one GET on port 80 with a time limit.

#include <string>

namespace cv {

/// The longest a fetch may take, from connecting to the last byte of the body.
inline constexpr unsigned kWebFetchTimeLimitMs = 10000;

/// The body of the page at `url` ("http://host/path"), fetched with GET on port 80, when the
/// server answered with a 2xx status within `time_limit_ms`; empty otherwise (no connection,
/// an error status, a reply cut off or too slow).
std::string FetchWebPage(const std::string& url, unsigned time_limit_ms = kWebFetchTimeLimitMs);

} // namespace cv
