#pragma once
// The text side of the HTTP/1.0 GET client: URL splitting, the request bytes, the reply body and the
// identification and authorization header lines. Nothing here touches a socket.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Complete header lines, each without its line end, sent in this order.
using HeaderLines = std::vector<std::wstring>;

constexpr unsigned short kDefaultHttpPort = 80;
// A reply longer than this (status line and headers included) is refused.
constexpr size_t kMaxReplyBytes = 1024 * 1024;

extern const wchar_t kUserAgentLine[];  // "User-Agent: Zorvane DDNS Client 3.1.1"

// Appends the User-Agent line, then "Authorization: Basic " with the Base64 of id ":" password.
void BuildAuthHeaders(const std::wstring& id, const std::wstring& password, HeaderLines& lines);

// Where a GET goes: server name, port and object (path with query).
struct HttpTarget {
    std::wstring server;
    unsigned short port = kDefaultHttpPort;
    std::wstring object;
};

// Splits "http://server[:port][/path][?query]". Only the http scheme (in any case) is taken; the port,
// when given, is 1 to 65535 in decimal; a missing path gives "/". Fails on another scheme, an empty
// server name, user information ("@") or a bad port; `target` is then unchanged.
bool SplitHttpUrl(std::wstring_view url, HttpTarget& target);

// The UTF-8 request "GET <object> HTTP/1.0", the header lines, "Host: <server>[:<port>]" (the port only
// when it is not 80) and an empty line, every line ending in CR LF. An empty object is sent as "/".
// Fails, leaving `request` unchanged, on an empty server name, an empty header line or a control
// character in the server name, the object or a header line.
bool BuildGetRequest(const HttpTarget& target, const HeaderLines& headers, std::string& request);

// The reply text after the first empty line (the whole reply when there is none), decoded from UTF-8
// as one piece and trimmed of white space at both ends.
std::wstring ExtractReplyBody(std::string_view reply);
