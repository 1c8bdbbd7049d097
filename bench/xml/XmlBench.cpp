// Load from memory and index: CXmlTextDoc (UTF-8 to UTF-16, then BuildIndex) against pugixml's
// load_buffer on the same bytes, for documents shaped like the suite's own files (0.1 to 10 KB) and a
// generated 10 MB one.
#include <pugixml.hpp>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>

#include "common/text/Utf.h"
#include "common/xml/XmlTextDoc.h"

namespace {

// Processor time of this process: steadier than the wall clock on a busy machine.
double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

const char kHeader[] = "<?xml version=\"1.0\"?>\r\n";

// user.xml: one element with two attributes.
std::string UserFile() {
    return std::string(kHeader) + "<zorvane>\r\n<user id=\"someone\" password=\"c2VjcmV0LXdvcmQ=\"/>\r\n</zorvane>\r\n";
}

// config.xml as the suite writes its defaults: one setting per line.
std::string ConfigFile() {
    const char* const settings[][2] = {
        {"ip_url", "http://ddns.zorvane.example/getip.php"}, {"host_url", "http://ddns.zorvane.example/gethost.php"},
        {"update_url", "http://ddns.zorvane.example/update.php"}, {"langauge", "korean"}, {"nt_service", "false"},
        {"auto_start", "true"}, {"save_id", "false"}, {"save_password", "false"}, {"auto_login", "false"},
        {"auto_program_update", "true"}, {"program_update_period", "1440"}, {"ip_update_period", "5"},
        {"show_ddns_config", "true"}, {"show_system_tray", "true"}, {"selected_menu", "0"}, {"log_level", "2"},
    };
    std::string text = std::string(kHeader) + "<zorvane>\r\n";
    for (const auto& s : settings) text += std::string("<") + s[0] + ">" + s[1] + "</" + s[0] + ">\r\n";
    return text + "</zorvane>\r\n";
}

// host_list.xml: the service's reply, one host per line, up to `size` bytes.
std::string HostList(size_t size) {
    std::string text = std::string(kHeader) + "<zorvane>\r\n<result code=\"700\">\r\n";
    const std::string tail = "</result>\r\n</zorvane>\r\n";
    for (unsigned i = 0;; ++i) {
        const std::string n = std::to_string(i);
        const std::string item = "<host name=\"host" + n + ".example\" ip=\"10.0." + std::to_string(i % 250) +
                                 ".1\" status=\"" + (i % 3 ? "ONLINE" : "OFFLINE") + "\" offtype=\"0\"/>\r\n";
        if (text.size() + item.size() + tail.size() > size) break;
        text += item;
    }
    return text + tail;
}

// A document in the suite's style: host lines with attributes, settings with text, some comments,
// escapes and nesting, up to `size` bytes.
std::string Generate(size_t size) {
    std::string text = std::string(kHeader) + "<zorvane>\r\n";
    const std::string tail = "</zorvane>\r\n";
    for (unsigned i = 0; text.size() + tail.size() < size; ++i) {
        const std::string n = std::to_string(i);
        std::string item;
        switch (i % 4) {
            case 0:
                item = "<host name=\"host" + n + ".example\" ip=\"10." + std::to_string(i % 250) +
                       ".0.1\" status=\"ONLINE\" offtype=\"0\"/>\r\n";
                break;
            case 1:
                item = "<setting_" + n + ">value &amp; text " + n + "</setting_" + n + ">\r\n";
                break;
            case 2:
                item = "<result code=\"0\">\r\n<host name='h" + n + "' code=\"721\"/>\r\n<note>caf\xC3\xA9 &lt;" + n +
                       "&gt;</note>\r\n</result>\r\n";
                break;
            default:
                item = "<!-- entry " + n + " -->\r\n<empty/>\r\n";
                break;
        }
        if (text.size() + item.size() + tail.size() > size) break;
        text += item;
    }
    return text + tail;
}

// Seconds that `run` takes.
template <typename F>
double Time(F run) {
    const double start = CpuSeconds();
    run();
    return CpuSeconds() - start;
}

// Each round parses about 4 MB, in as many copies of the document as that takes, by each way in turn;
// the best round of each counts, so that other work on the machine weighs on both alike.
void Measure(const char* label, const std::string& bytes) {
    const int rounds = 15;
    const int repeat = static_cast<int>(std::max<size_t>(1, (4u << 20) / bytes.size()));
    size_t elements = 0;
    std::wstring wide = Utf8ToWide(bytes);
    CXmlTextDoc reused;
    reused.SetText(wide);
    double ours = 1e30, convert = 1e30, index = 1e30, pugi = 1e30;
    for (int round = 0; round < rounds; ++round) {
        ours = std::min(ours, Time([&] {
            for (int r = 0; r < repeat; ++r) {
                CXmlTextDoc doc;
                if (!doc.SetText(Utf8ToWide(bytes))) std::fprintf(stderr, "not well formed\n");
                elements = doc.GetSlotsUsed() - 1;
            }
        }));
        pugi = std::min(pugi, Time([&] {
            for (int r = 0; r < repeat; ++r) {
                pugi::xml_document doc;
                if (!doc.load_buffer(bytes.data(), bytes.size())) std::fprintf(stderr, "pugixml failed\n");
            }
        }));
        convert = std::min(convert, Time([&] {
            for (int r = 0; r < repeat; ++r) wide = Utf8ToWide(bytes);
        }));
        index = std::min(index, Time([&] {
            for (int r = 0; r < repeat; ++r) reused.BuildIndex();
        }));
    }
    const double mb = double(bytes.size()) * repeat / 1e6;
    std::printf("%s: %zu bytes, %zu elements\n", label, bytes.size(), elements);
    std::printf("  CXmlTextDoc load + BuildIndex %8.1f MB/s  (UTF-8 to UTF-16 %.1f MB/s, BuildIndex alone %.1f MB/s)\n",
                mb / ours, mb / convert, mb / index);
    std::printf("  pugixml load_buffer           %8.1f MB/s\n", mb / pugi);
    std::printf("  ratio CXmlTextDoc / pugixml   %8.2f\n", pugi / ours);
}

}  // namespace

int main() {
    Measure("user.xml", UserFile());
    Measure("config.xml", ConfigFile());
    Measure("host_list.xml, 2 KB", HostList(2048));
    Measure("host_list.xml, 10 KB", HostList(10240));
    Measure("mixed 2 KB document", Generate(2048));
    Measure("mixed 10 MB document", Generate(10u << 20));
    return 0;
}
