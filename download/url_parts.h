#pragma once
/// A web address cut into what a connection needs: host, port, object path and whether the
/// connection is secure.

#include <string>
#include <string_view>

namespace cv {

inline constexpr int kHttpPort = 80;
inline constexpr int kHttpsPort = 443;

struct UrlParts {
    std::string host;   ///< the text before the first "/", without a ":port" ("" when none)
    std::string object; ///< from the first "/" on, with that "/"; "/" when the address has none
    int port = kHttpPort;
    bool https = false;
};

/// Splits `url`. "https://" at the start makes a secure address on port 443; otherwise every
/// "http://" is removed, wherever it stands, as the runtime always did. A ":digits" ending of
/// the host names the port (1 to 65535); a port out of range or not a number leaves the host
/// empty, so the connection fails rather than going elsewhere. A bracketed IPv6 host keeps its
/// colons.
UrlParts SplitUrl(std::string_view url);

/// The file name an address names: the text after its last "/" (the whole text without one).
std::string_view UrlFileName(std::string_view url);

} // namespace cv
