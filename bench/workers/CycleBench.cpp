// One ZorvaneAddr update cycle against its yardstick (cycle_yardstick.exe: the same three GETs and one child
// start, nothing else), every host to change, run in turn: prints the median and the minimum of each and the
// ratios of both (a process start under Wine takes one of two quite different times, so either figure alone
// can mislead). The yardstick sends the very requests that a first cycle of the row sent. Run it with
// bench/workers/run.sh.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/WorkerRoot.h"

namespace {

struct Row {
    int hosts;
    int logLevel;
    int rounds;
};

std::string Name(int i) { return "host" + std::to_string(i) + ".example"; }

std::wstring OwnFolder() {
    wchar_t path[MAX_PATH];
    const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return std::wstring();
    std::wstring folder(path, n);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double Minimum(const std::vector<double>& values) {
    return values.empty() ? 0 : *std::min_element(values.begin(), values.end());
}

double Ratio(double a, double b) { return b > 0 ? a / b : 0; }

class Stopwatch {
public:
    Stopwatch() {
        ::QueryPerformanceFrequency(&m_frequency);
        ::QueryPerformanceCounter(&m_start);
    }
    double Seconds() const {
        LARGE_INTEGER now;
        ::QueryPerformanceCounter(&now);
        return double(now.QuadPart - m_start.QuadPart) / double(m_frequency.QuadPart);
    }

private:
    LARGE_INTEGER m_frequency, m_start;
};

void RunRow(const Row& row) {
    ztest::StandinSession service;
    ztest::WorkerRoot root;
    root.WriteConfig(service, row.logLevel);
    std::vector<ztest::HostEntry> serviceHosts;
    std::vector<std::pair<std::string, std::string>> wanted;
    for (int i = 0; i < row.hosts; ++i) {
        serviceHosts.push_back({Name(i), "198.51.100.1", "ONLINE"});
        wanted.emplace_back(Name(i), "ONLINE");
    }
    const std::string hostList = ztest::HostListXml("700", serviceHosts);
    root.WriteEtc(L"update_list.xml", ztest::UpdateListXml(wanted));
    service.Script("/getip.php", ztest::HttpReply(200, "203.0.113.7"));
    service.Script("/update.php", ztest::HttpReply(200, "<zorvane><result code=\"701\"/></zorvane>"));
    service.Script("/gethost.php", ztest::HttpReply(200, "<zorvane><result code=\"700\"/></zorvane>"));

    auto cycle = [&] {
        root.WriteEtc(L"host_list.xml", hostList);  // every host differs again
        const Stopwatch watch;
        const long code = root.Run(L"ZorvaneAddr.exe");
        const double seconds = watch.Seconds();
        if (code != 701) std::printf("  ZorvaneAddr: unexpected exit code %ld\n", code);
        return seconds;
    };

    // A first cycle, not counted, records the requests for the yardstick.
    cycle();
    const std::vector<std::string> requests = service.Requests();
    if (requests.size() != 3) {
        std::printf("  %zu requests recorded instead of 3\n", requests.size());
        return;
    }
    std::string file = std::to_string(service.Port()) + "\n";
    for (const std::string& request : requests) file += request;
    root.WriteEtc(L"yardstick_requests.txt", file);
    const std::wstring yardstick = OwnFolder() + L"\\cycle_yardstick.exe";
    const std::wstring args = L"\"" + root.Etc(L"yardstick_requests.txt") + L"\"";

    std::vector<double> cycles, yardsticks;
    for (int r = 0; r < row.rounds; ++r) {
        const Stopwatch watch;
        const ztest::RunnerResult result = ztest::RunThroughRunner(yardstick, args);
        yardsticks.push_back(watch.Seconds());
        if (!result.ran || result.exitCode != 0) std::printf("  yardstick failed (%lu)\n", result.exitCode);
        cycles.push_back(cycle());
    }
    const double c = Median(cycles), y = Median(yardsticks);
    const double cMin = Minimum(cycles), yMin = Minimum(yardsticks);
    std::printf("%8d %9d %10.3f %10.3f %10.3f %10.3f %8.2fx %8.2fx\n", row.hosts, row.logLevel, c, cMin, y, yMin,
                Ratio(c, y), Ratio(cMin, yMin));
    std::fflush(stdout);
}

}  // namespace

int main() {
    const Row rows[] = {{10, 2, 21}, {1000, 2, 15}, {10000, 2, 11}, {10000, 0, 11}};
    std::printf("%8s %9s %10s %10s %10s %10s %9s %9s\n", "hosts", "log_level", "cycle med", "cycle min", "yard med",
                "yard min", "med ratio", "min ratio");
    for (const Row& row : rows) RunRow(row);
    return 0;
}
