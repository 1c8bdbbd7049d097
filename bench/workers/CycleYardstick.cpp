// The least a Win32 program does for one update cycle: two plain HTTP GETs, then itself started once as the
// child that makes the third, waited for, as ZorvaneAddr starts ZorvaneHosts. Nothing is parsed or stored.
//
//   cycle_yardstick.exe <request file>          the parent: requests 1 and 2, then the child
//   cycle_yardstick.exe <request file> /child   request 3
//
// The request file holds the port in decimal and a line end, then the bytes of the three requests one after the
// other, each ending in its empty line. Exits with 0 when every reply arrived, 1 otherwise.
#include "common/base/UniqueSocket.h"

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr DWORD kMaxRequestFile = 4u * 1024u * 1024u;

struct Requests {
    unsigned short port = 0;
    std::vector<std::string> items;
};

bool ReadRequests(const wchar_t* path, Requests& out) {
    UniqueFile file(::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.get(), &size) || size.QuadPart > kMaxRequestFile) return false;
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD got = 0;
    if (!bytes.empty() && (!::ReadFile(file.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr) ||
                           got != bytes.size())) {
        return false;
    }
    size_t at = bytes.find('\n');
    if (at == std::string::npos) return false;
    const unsigned long port = std::strtoul(bytes.c_str(), nullptr, 10);
    if (port == 0 || port > 65535) return false;
    out.port = static_cast<unsigned short>(port);
    ++at;
    while (at < bytes.size()) {
        const size_t end = bytes.find("\r\n\r\n", at);
        if (end == std::string::npos) return false;
        out.items.push_back(bytes.substr(at, end + 4 - at));
        at = end + 4;
    }
    return out.items.size() == 3;
}

// Sends the request to the loopback port and reads the reply until the server ends the connection.
bool Get(unsigned short port, const std::string& request) {
    UniqueSocket s(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (!s) return false;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = ::htons(port);
    to.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
    if (::connect(s.get(), reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0) return false;
    for (size_t sent = 0; sent < request.size();) {
        const int n = ::send(s.get(), request.data() + sent, static_cast<int>(request.size() - sent), 0);
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    char buffer[65536];
    size_t total = 0;
    for (;;) {
        const int n = ::recv(s.get(), buffer, sizeof buffer, 0);
        if (n < 0) return false;
        if (n == 0) return total > 0;
        total += static_cast<size_t>(n);
    }
}

int RunChild(const std::wstring& file) {
    wchar_t self[MAX_PATH];
    const DWORD n = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return 1;
    std::wstring command = L"\"" + std::wstring(self) + L"\" \"" + file + L"\" /child";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(self, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 1;
    UniqueHandle process(pi.hProcess);
    UniqueHandle thread(pi.hThread);
    DWORD code = 1;
    if (::WaitForSingleObject(process.get(), INFINITE) != WAIT_OBJECT_0 ||
        !::GetExitCodeProcess(process.get(), &code)) {
        return 1;
    }
    return static_cast<int>(code);
}

int Run(int argc, wchar_t** argv) {
    if (argc < 2) return 1;
    Requests requests;
    if (!ReadRequests(argv[1], requests)) return 1;
    WSADATA wsa{};
    if (::WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return 1;
    int code = 0;
    if (argc > 2 && std::wstring(argv[2]) == L"/child") {
        code = Get(requests.port, requests.items[2]) ? 0 : 1;
    } else if (!Get(requests.port, requests.items[0]) || !Get(requests.port, requests.items[1])) {
        code = 1;
    } else {
        code = RunChild(argv[1]);
    }
    ::WSACleanup();
    return code;
}

}  // namespace

// The C library's split of the command line: CommandLineToArgvW would load shell32 into the measure.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return Run(__argc, __wargv); }
