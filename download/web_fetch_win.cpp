#include "download/web_fetch.h"

#include "download/web_request.h"

// Winsock 2 before <windows.h>, which the handle owners include.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "framework/handle.h"

namespace cv {

namespace {

constexpr const char* kHttpPort = "80";
constexpr int kChunk = 1024;

/// Winsock started for the length of one fetch (the count is kept by Winsock itself).
class WinsockScope {
  public:
    WinsockScope() { ok_ = ::WSAStartup(MAKEWORD(2, 2), &data_) == 0; }
    ~WinsockScope() {
        if (ok_)
            ::WSACleanup();
    }
    bool ok() const { return ok_; }

  private:
    WSADATA data_{};
    bool ok_ = false;
};

class AddressList {
  public:
    AddressList(const std::string& host) {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_protocol = IPPROTO_TCP;
        if (::getaddrinfo(host.c_str(), kHttpPort, &hints, &list_) != 0)
            list_ = nullptr;
    }
    AddressList(const AddressList&) = delete;
    AddressList& operator=(const AddressList&) = delete;
    ~AddressList() {
        if (list_)
            ::freeaddrinfo(list_);
    }
    const addrinfo* first() const { return list_; }

  private:
    addrinfo* list_ = nullptr;
};

/// Milliseconds left until `deadline` (a GetTickCount value), 0 once it has passed.
DWORD Remaining(DWORD deadline) {
    DWORD now = ::GetTickCount();
    return static_cast<LONG>(deadline - now) > 0 ? deadline - now : 0;
}

/// Waits until `s` is readable (or writable) or the deadline has passed.
bool WaitFor(SOCKET s, bool writable, DWORD deadline) {
    DWORD left = Remaining(deadline);
    if (left == 0)
        return false;
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    fd_set failed;
    FD_ZERO(&failed);
    FD_SET(s, &failed);
    timeval wait{static_cast<long>(left / 1000), static_cast<long>((left % 1000) * 1000)};
    int ready = ::select(0, writable ? nullptr : &set, writable ? &set : nullptr, &failed, &wait);
    return ready > 0 && FD_ISSET(s, &set);
}

/// Connects `s` to `address` without blocking past the deadline.
bool Connect(SOCKET s, const addrinfo& address, DWORD deadline) {
    u_long non_blocking = 1;
    if (::ioctlsocket(s, FIONBIO, &non_blocking) != 0)
        return false;
    if (::connect(s, address.ai_addr, static_cast<int>(address.ai_addrlen)) == 0)
        return true;
    if (::WSAGetLastError() != WSAEWOULDBLOCK)
        return false;
    return WaitFor(s, true, deadline);
}

bool SendAll(SOCKET s, const std::string& data, DWORD deadline) {
    std::size_t sent = 0;
    while (sent < data.size()) {
        if (!WaitFor(s, true, deadline))
            return false;
        int n = ::send(s, data.data() + sent, static_cast<int>(data.size() - sent), 0);
        if (n == SOCKET_ERROR) {
            if (::WSAGetLastError() == WSAEWOULDBLOCK)
                continue;
            return false;
        }
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

std::string FetchWebPage(const std::string& url, unsigned time_limit_ms) {
    const DWORD deadline = ::GetTickCount() + time_limit_ms;
    WebAddress address = SplitWebAddress(url);
    if (address.host.empty())
        return {};
    WinsockScope winsock;
    if (!winsock.ok())
        return {};
    AddressList addresses(address.host);
    const addrinfo* target = addresses.first();
    if (!target)
        return {};
    UniqueSocket s(::socket(target->ai_family, target->ai_socktype, target->ai_protocol));
    if (s.get() == INVALID_SOCKET || !Connect(s.get(), *target, deadline))
        return {};
    if (!SendAll(s.get(), BuildGetRequest(address), deadline))
        return {};
    HttpReplyReader reply;
    char chunk[kChunk];
    bool closed = false;
    while (!reply.Complete()) {
        if (!WaitFor(s.get(), false, deadline))
            return {}; // too slow: no half page as a value
        int n = ::recv(s.get(), chunk, kChunk, 0);
        if (n == SOCKET_ERROR) {
            if (::WSAGetLastError() == WSAEWOULDBLOCK)
                continue;
            break;
        }
        if (n == 0) {
            closed = true;
            break;
        }
        reply.Feed(std::string_view(chunk, static_cast<std::size_t>(n)));
    }
    return reply.Value(closed);
}

} // namespace cv
