#include "common/net/HttpClient.h"

#include <winsock2.h>

#include <algorithm>
#include <chrono>
#include <cstring>

#include "common/base/UniqueSocket.h"
#include "common/text/Utf.h"
#include "common/xml/XmlTextDoc.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr DWORD kSocketTimeoutMs = 10000;
constexpr milliseconds kQuietLimit{kSocketTimeoutMs};  // longest wait for any one step
constexpr milliseconds kExchangeLimit{30000};        // connect, send and receive together
constexpr size_t kPieceBytes = 8192;

// Windows Sockets for the length of one request.
class WinsockSession {
public:
    WinsockSession() {
        WSADATA data;
        m_started = ::WSAStartup(MAKEWORD(1, 1), &data) == 0;
    }
    ~WinsockSession() {
        if (m_started) ::WSACleanup();
    }
    WinsockSession(const WinsockSession&) = delete;
    WinsockSession& operator=(const WinsockSession&) = delete;
    bool started() const { return m_started; }

private:
    bool m_started = false;
};

enum class Direction { Read, Write, Connect };

// Waits until the socket is ready, for at most kQuietLimit and never past `deadline`. A connection
// attempt that failed counts as not ready.
bool WaitReady(SOCKET s, Direction direction, Clock::time_point deadline) {
    const Clock::time_point now = Clock::now();
    if (now >= deadline) return false;
    const auto wait = std::min(std::chrono::duration_cast<milliseconds>(deadline - now) + milliseconds(1),
                               kQuietLimit);
    timeval tv;
    tv.tv_sec = static_cast<long>(wait.count() / 1000);
    tv.tv_usec = static_cast<long>((wait.count() % 1000) * 1000);
    fd_set ready;
    fd_set failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(s, &ready);
    FD_SET(s, &failed);
    const bool reading = direction == Direction::Read;
    const bool connecting = direction == Direction::Connect;
    const int count = ::select(0, reading ? &ready : nullptr, reading ? nullptr : &ready,
                               connecting ? &failed : nullptr, &tv);
    return count > 0 && FD_ISSET(s, &ready) && !(connecting && FD_ISSET(s, &failed));
}

// The socket stays non-blocking from here on, so no send or receive can wait past WaitReady's limits.
bool ConnectBefore(SOCKET s, const sockaddr_in& address, Clock::time_point deadline) {
    u_long nonBlocking = 1;
    if (::ioctlsocket(s, FIONBIO, &nonBlocking) != 0) return false;
    if (::connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0) return true;
    if (::WSAGetLastError() != WSAEWOULDBLOCK || !WaitReady(s, Direction::Connect, deadline)) return false;
    int error = 0;
    int length = sizeof(error);
    return ::getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) == 0 && error == 0;
}

// A call that would have blocked after the socket showed ready is simply retried.
bool WouldBlock(int result) { return result < 0 && ::WSAGetLastError() == WSAEWOULDBLOCK; }

bool SendAll(SOCKET s, const std::string& bytes, Clock::time_point deadline) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        if (!WaitReady(s, Direction::Write, deadline)) return false;
        const size_t chunk = std::min<size_t>(bytes.size() - sent, 0x10000);
        const int n = ::send(s, bytes.data() + sent, static_cast<int>(chunk), 0);
        if (WouldBlock(n)) continue;
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

// Reads until the server ends the connection in order.
bool ReceiveAll(SOCKET s, std::string& reply, Clock::time_point deadline) {
    char piece[kPieceBytes];
    for (;;) {
        if (!WaitReady(s, Direction::Read, deadline)) return false;
        const int n = ::recv(s, piece, sizeof(piece), 0);
        if (n == 0) return true;
        if (WouldBlock(n)) continue;
        if (n < 0 || reply.size() + static_cast<size_t>(n) > kMaxReplyBytes) return false;
        reply.append(piece, static_cast<size_t>(n));
    }
}

bool SetTimeout(SOCKET s, int option) {
    const DWORD ms = kSocketTimeoutMs;
    return ::setsockopt(s, SOL_SOCKET, option, reinterpret_cast<const char*>(&ms), sizeof(ms)) == 0;
}

}  // namespace

int HttpGet(const std::wstring& server, const std::wstring& object, std::wstring& reply,
            const HeaderLines& headers, unsigned short port) {
    HttpTarget target;
    target.server = server;
    target.port = port;
    target.object = object;
    std::string request;
    if (port == 0 || !BuildGetRequest(target, headers, request)) return 0;

    WinsockSession winsock;
    if (!winsock.started()) return 0;
    const hostent* host = ::gethostbyname(WideToUtf8(server).c_str());
    if (host == nullptr || host->h_addrtype != AF_INET || host->h_length != sizeof(in_addr) ||
        host->h_addr_list == nullptr || host->h_addr_list[0] == nullptr) {
        return 0;
    }
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = ::htons(port);
    memcpy(&address.sin_addr, host->h_addr_list[0], sizeof(address.sin_addr));

    UniqueSocket s(::socket(AF_INET, SOCK_STREAM, 0));
    if (!s || !SetTimeout(s.get(), SO_RCVTIMEO) || !SetTimeout(s.get(), SO_SNDTIMEO)) return 0;

    const Clock::time_point deadline = Clock::now() + kExchangeLimit;
    std::string raw;
    if (!ConnectBefore(s.get(), address, deadline) || !SendAll(s.get(), request, deadline) ||
        !ReceiveAll(s.get(), raw, deadline)) {
        return 0;
    }
    reply = ExtractReplyBody(raw);
    return 1;
}

int HttpGetUrl(const std::wstring& url, std::wstring& reply, const HeaderLines& headers) {
    HttpTarget target;
    if (!SplitHttpUrl(url, target)) return 0;
    return HttpGet(target.server, target.object, reply, headers, target.port);
}

int HttpGetUrlNoHeaders(const std::wstring& url, std::wstring& reply) {
    return HttpGetUrl(url, reply, HeaderLines());
}

bool HttpGetToXmlFile(const std::wstring& url, const std::wstring& path, const HeaderLines& headers,
                      const XmlReplyCheck& check) {
    std::wstring reply;
    if (!HttpGetUrl(url, reply, headers)) return false;
    CXmlTextDoc doc;
    const bool wellFormed = doc.SetText(std::move(reply));
    if (check && !check(doc, wellFormed)) return false;
    std::wstring status;
    return CXmlTextDoc::WriteUtf8File(path, doc.GetText(), status);
}
