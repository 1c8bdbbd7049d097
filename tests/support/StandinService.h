#pragma once
// Win32 tests' side of the stand-in service (standin_service.py): a session is one loopback port whose
// replies the test scripts and whose raw requests it reads back. The service runs for the whole test run;
// a test that uses it names the CTest fixture "standin_service" (zorvane_test(... FIXTURES standin_service)).
// Rows run in a network namespace (zorvane_test NAMESPACE) talk to the namespace's own service instead.
#include <cstddef>
#include <string>
#include <vector>

namespace ztest {

// One scripted reply: the bytes sent to every request for its path, and how they are sent.
struct StandinReply {
    enum class Mode {
        Reply,    // send, then end the connection in order
        Stall,    // send, then stay silent until the client goes
        Trickle,  // send one byte at a time, intervalMs apart, then end in order
    };
    std::string bytes;
    Mode mode = Mode::Reply;
    int intervalMs = 0;
    size_t pad = 0;  // filler bytes "x" sent after `bytes`
};

// "HTTP/1.0 <status> <reason>", a Content-Type line, an empty line, then the body.
StandinReply HttpReply(int status, const std::string& body);
// Exactly these bytes, sent as `mode` says.
StandinReply RawReply(const std::string& bytes, StandinReply::Mode mode = StandinReply::Mode::Reply,
                      int intervalMs = 0);

class StandinSession {
public:
    // Opens a session on a free port, or on `port` (waiting a while for it to come free). Failures are
    // reported to the running test.
    explicit StandinSession(unsigned short port = 0);
    ~StandinSession();
    StandinSession(const StandinSession&) = delete;
    StandinSession& operator=(const StandinSession&) = delete;

    bool IsOpen() const { return m_port != 0; }
    unsigned short Port() const { return m_port; }
    // "http://127.0.0.1:<port>" followed by `target` (a path with its query).
    std::wstring Url(const std::string& target) const;

    // Scripts the reply to requests for `path`: a target with "?" matches exactly, one without matches
    // the target up to "?", and "*" matches any request. A later script for the same path replaces it.
    bool Script(const std::string& path, const StandinReply& reply);
    // Every request the session received so far, in arrival order: request line, header lines and the
    // empty line, as bytes.
    std::vector<std::string> Requests() const;

private:
    std::string m_id;
    unsigned short m_port = 0;
};

}  // namespace ztest
