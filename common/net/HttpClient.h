#pragma once
// Single HTTP/1.0 GET requests over Windows Sockets: no redirects, no chunked replies, no kept
// connections; the reply ends when the server closes the connection. Each call starts and ends
// Windows Sockets for itself, so calls on different threads share nothing.
#include <functional>
#include <string>

#include "common/net/HttpMessage.h"

// Sends "GET <object>" with the header lines to port `port` of `server` and, when the server ends the
// connection in order, sets `reply` to the body (ExtractReplyBody) and returns 1, whatever the status.
// Returns 0, leaving `reply` unchanged, when the request is refused (BuildGetRequest), the name does not
// resolve, the connection or a send or receive fails, 10 seconds pass without progress, the whole
// exchange takes more than 30 seconds, or the reply is longer than kMaxReplyBytes.
int HttpGet(const std::wstring& server, const std::wstring& object, std::wstring& reply,
            const HeaderLines& headers, unsigned short port = kDefaultHttpPort);

// HttpGet of an http URL (SplitHttpUrl); 0 when the URL does not split.
int HttpGetUrl(const std::wstring& url, std::wstring& reply, const HeaderLines& headers);
int HttpGetUrlNoHeaders(const std::wstring& url, std::wstring& reply);

class CXmlTextDoc;

// Decides whether a reply body may be stored: the body parsed as a document, and whether it is one
// well-formed document. The caller who knows what the file must hold gives it.
using XmlReplyCheck = std::function<bool(CXmlTextDoc& reply, bool wellFormed)>;

// GETs the URL and replaces the file at `path` with the reply body as UTF-8 without a byte-order mark.
// True when the file was written; a failed GET, a body that `check` refuses or a failed write give false,
// and the file is then left as it was. Without a check every body is stored.
bool HttpGetToXmlFile(const std::wstring& url, const std::wstring& path, const HeaderLines& headers,
                      const XmlReplyCheck& check = nullptr);
