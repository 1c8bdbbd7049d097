#include "tests/support/StandinService.h"

#include <winsock2.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "common/fs/File.h"
#include "tests/support/TestSupport.h"

namespace ztest {
namespace {

constexpr DWORD kControlTimeoutMs = 30000;

// The control port of the running service, from the file that the fixture's start step writes, or the file
// that ZORVANE_STANDIN_INFO names (a namespace run's own service, scripts/wine-netns.sh).
unsigned short ControlPort() {
    std::wstring info = EnvPath("ZORVANE_STANDIN_INFO");
    if (info.empty()) info = BinaryDir() + L"\\standin\\service.txt";
    std::string text;
    std::wstring error;
    if (!zfs::ReadFileBytes(info, text, error)) {
        ADD_FAILURE() << "the stand-in service is not running (the test needs the CTest fixture "
                         "standin_service): "
                      << U(error);
        return 0;
    }
    const long port = std::strtol(text.c_str(), nullptr, 10);
    return port > 0 && port < 65536 ? static_cast<unsigned short>(port) : 0;
}

std::string Escape(const std::string& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
            c == '.') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

// One control request; true with the reply body when the service answered 200.
bool Control(const std::string& method, const std::string& order, const std::string& body, std::string& reply) {
    const unsigned short port = ControlPort();
    if (port == 0) return false;
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return false;
    bool ok = false;
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    if (s != INVALID_SOCKET) {
        const DWORD timeout = kControlTimeoutMs;
        setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));
        setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0) {
            const std::string request = method + " " + order + " HTTP/1.0\r\nContent-Length: " +
                                        std::to_string(body.size()) + "\r\n\r\n" + body;
            size_t sent = 0;
            while (sent < request.size()) {
                const int n = send(s, request.data() + sent, static_cast<int>(request.size() - sent), 0);
                if (n <= 0) break;
                sent += static_cast<size_t>(n);
            }
            std::string raw;
            char piece[65536];
            int n;
            while ((n = recv(s, piece, sizeof(piece), 0)) > 0) raw.append(piece, static_cast<size_t>(n));
            const size_t blank = raw.find("\r\n\r\n");
            ok = n == 0 && raw.compare(0, 12, "HTTP/1.0 200") == 0 && blank != std::string::npos;
            if (ok) reply = raw.substr(blank + 4);
        }
        closesocket(s);
    }
    WSACleanup();
    if (!ok) ADD_FAILURE() << "stand-in service: " << method << " " << order << " failed";
    return ok;
}

const char* ModeName(StandinReply::Mode mode) {
    switch (mode) {
        case StandinReply::Mode::Stall: return "stall";
        case StandinReply::Mode::Trickle: return "trickle";
        case StandinReply::Mode::Reply: break;
    }
    return "reply";
}

}  // namespace

StandinReply HttpReply(int status, const std::string& body) {
    const char* reason = status == 200 ? "OK" : status == 404 ? "Not Found" : status == 500 ? "Internal Server Error"
                                                                                            : "Status";
    StandinReply reply;
    reply.bytes = "HTTP/1.0 " + std::to_string(status) + " " + reason + "\r\nContent-Type: text/plain\r\n\r\n" + body;
    return reply;
}

StandinReply RawReply(const std::string& bytes, StandinReply::Mode mode, int intervalMs) {
    StandinReply reply;
    reply.bytes = bytes;
    reply.mode = mode;
    reply.intervalMs = intervalMs;
    return reply;
}

StandinSession::StandinSession(unsigned short port) {
    std::string reply;
    if (!Control("POST", "/__control/session?port=" + std::to_string(port), "", reply)) return;
    const size_t blank = reply.find(' ');
    const long opened = blank == std::string::npos ? 0 : std::strtol(reply.c_str() + blank + 1, nullptr, 10);
    if (opened <= 0 || opened >= 65536) {
        ADD_FAILURE() << "stand-in service: bad session reply " << reply;
        return;
    }
    m_id = reply.substr(0, blank);
    m_port = static_cast<unsigned short>(opened);
}

StandinSession::~StandinSession() {
    std::string reply;
    if (IsOpen()) Control("POST", "/__control/close?session=" + m_id, "", reply);
}

std::wstring StandinSession::Url(const std::string& target) const {
    return W("http://127.0.0.1:" + std::to_string(m_port) + target);
}

bool StandinSession::Script(const std::string& path, const StandinReply& reply) {
    std::string answer;
    return IsOpen() && Control("POST",
                               "/__control/script?session=" + m_id + "&path=" + Escape(path) + "&mode=" +
                                   ModeName(reply.mode) + "&interval_ms=" + std::to_string(reply.intervalMs) +
                                   "&pad=" + std::to_string(reply.pad),
                               reply.bytes, answer);
}

std::vector<std::string> StandinSession::Requests() const {
    std::vector<std::string> requests;
    std::string list;
    if (!IsOpen() || !Control("GET", "/__control/requests?session=" + m_id, "", list)) return requests;
    size_t at = 0;
    while (at < list.size()) {
        const size_t line = list.find('\n', at);
        if (line == std::string::npos) break;
        const size_t length = std::strtoul(list.c_str() + at, nullptr, 10);
        if (length > list.size() - line - 1) break;
        requests.push_back(list.substr(line + 1, length));
        at = line + 1 + length;
    }
    return requests;
}

}  // namespace ztest
