#include "common/net/HttpMessage.h"

#include <algorithm>
#include <cstdint>

#include "common/net/Base64.h"
#include "common/text/Utf.h"
#include "common/text/ValueText.h"

const wchar_t kUserAgentLine[] = L"User-Agent: Zorvane DDNS Client 3.1.1";

namespace {

constexpr std::wstring_view kWhiteSpace = L" \t\r\n\v\f";

wchar_t LowerAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool EqualsNoCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

bool ParsePort(std::wstring_view text, unsigned short& port) {
    if (text.empty() || text.size() > 5) return false;
    unsigned value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        value = value * 10 + static_cast<unsigned>(c - L'0');
    }
    if (value == 0 || value > 65535) return false;
    port = static_cast<unsigned short>(value);
    return true;
}

}  // namespace

void BuildAuthHeaders(const std::wstring& id, const std::wstring& password, HeaderLines& lines) {
    std::wstring credentials = id + L":" + password;
    Base64Encode(credentials);
    lines.push_back(kUserAgentLine);
    lines.push_back(L"Authorization: Basic " + credentials);
}

bool SplitHttpUrl(std::wstring_view url, HttpTarget& target) {
    const size_t schemeEnd = url.find(L"://");
    if (schemeEnd == std::wstring_view::npos || !EqualsNoCase(url.substr(0, schemeEnd), L"http")) return false;
    const std::wstring_view rest = url.substr(schemeEnd + 3);
    const size_t authorityEnd = std::min(rest.find(L'/'), rest.find(L'?'));
    std::wstring_view server = rest.substr(0, authorityEnd);
    const std::wstring_view object = authorityEnd == std::wstring_view::npos ? L"" : rest.substr(authorityEnd);
    if (server.find(L'@') != std::wstring_view::npos) return false;

    unsigned short port = kDefaultHttpPort;
    const size_t colon = server.rfind(L':');
    if (colon != std::wstring_view::npos) {
        if (!ParsePort(server.substr(colon + 1), port)) return false;
        server = server.substr(0, colon);
    }
    if (server.empty()) return false;

    target.server.assign(server);
    target.port = port;
    target.object = object.empty() ? L"/" : object[0] == L'?' ? L"/" + std::wstring(object) : std::wstring(object);
    return true;
}

bool BuildGetRequest(const HttpTarget& target, const HeaderLines& headers, std::string& request) {
    if (target.server.empty() || HasControlChar(target.server) || HasControlChar(target.object)) return false;
    std::wstring text = L"GET " + (target.object.empty() ? std::wstring(L"/") : target.object) + L" HTTP/1.0\r\n";
    for (const std::wstring& line : headers) {
        if (line.empty() || HasControlChar(line)) return false;
        text += line + L"\r\n";
    }
    text += L"Host: " + target.server;
    if (target.port != kDefaultHttpPort) text += L":" + std::to_wstring(target.port);
    text += L"\r\n\r\n";
    request = WideToUtf8(text);
    return true;
}

std::wstring ExtractReplyBody(std::string_view reply) {
    const size_t blank = reply.find("\r\n\r\n");
    std::wstring body = Utf8ToWide(blank == std::string_view::npos ? reply : reply.substr(blank));
    const size_t first = body.find_first_not_of(kWhiteSpace);
    if (first == std::wstring::npos) return std::wstring();
    const size_t last = body.find_last_not_of(kWhiteSpace);
    return body.substr(first, last - first + 1);
}
