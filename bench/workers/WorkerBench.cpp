// Update cycles of ZorvaneAddr against the stand-in service with growing host lists, every host to change:
// prints the time per cycle and how it grows with the number of hosts. Run it with bench/workers/run.sh.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/WorkerRoot.h"

namespace {

std::string Name(int i) { return "host" + std::to_string(i) + ".example"; }

double CycleSeconds(int hosts, int rounds) {
    ztest::StandinSession service;
    ztest::WorkerRoot root;
    root.WriteConfig(service, 2);
    std::vector<ztest::HostEntry> serviceHosts;
    std::vector<std::pair<std::string, std::string>> wanted;
    for (int i = 0; i < hosts; ++i) {
        serviceHosts.push_back({Name(i), "198.51.100.1", "ONLINE"});
        wanted.emplace_back(Name(i), "ONLINE");
    }
    const std::string hostList = ztest::HostListXml("700", serviceHosts);
    root.WriteEtc(L"update_list.xml", ztest::UpdateListXml(wanted));
    service.Script("/getip.php", ztest::HttpReply(200, "203.0.113.7"));
    service.Script("/update.php", ztest::HttpReply(200, "<zorvane><result code=\"701\"/></zorvane>"));
    service.Script("/gethost.php", ztest::HttpReply(200, "<zorvane><result code=\"700\"/></zorvane>"));

    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    double total = 0;
    for (int r = 0; r < rounds; ++r) {
        root.WriteEtc(L"host_list.xml", hostList);  // every host differs again
        ::QueryPerformanceCounter(&start);
        const long code = root.Run(L"ZorvaneAddr.exe");
        ::QueryPerformanceCounter(&end);
        if (code != 701) std::printf("  unexpected exit code %ld\n", code);
        total += double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
    }
    return total / rounds;
}

}  // namespace

int main() {
    const int sizes[] = {10, 1000, 10000};
    double first = 0;
    std::printf("%8s %14s %12s\n", "hosts", "s per cycle", "vs 10 hosts");
    for (int hosts : sizes) {
        const double seconds = CycleSeconds(hosts, 3);
        if (first == 0) first = seconds;
        std::printf("%8d %14.3f %11.2fx\n", hosts, seconds, seconds / first);
    }
    return 0;
}
