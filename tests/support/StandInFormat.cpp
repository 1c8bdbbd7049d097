#include "tests/support/StandInFormat.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

#include "common/text/Utf.h"

namespace ztest {
namespace {

// A script is written by a test; a longer list than this is a mistake, not a plan.
constexpr size_t kMaxScriptEntries = 1000;

std::string Escape(const std::wstring& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char c : WideToUtf8(text)) {
        if (c == '%' || c == '\t' || c == '\r' || c == '\n') {
            out += '%';
            out += kHex[(static_cast<unsigned char>(c) >> 4) & 0xF];
            out += kHex[static_cast<unsigned char>(c) & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::wstring Unescape(const std::string& text) {
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
            bytes += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            bytes += text[i];
        }
    }
    return Utf8ToWide(bytes);
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return parts;
        start = end + 1;
    }
}

bool ParseNumber(const std::string& word, long long& value) {
    if (word.empty()) return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtoll(word.c_str(), &end, 10);
    return errno == 0 && end && *end == '\0';
}

}  // namespace

std::string FormatStandInScript(const StandInScript& script) {
    std::ostringstream out;
    out << "exit";
    for (long long code : script.exitCodes) out << ' ' << code;
    out << "\ndelay";
    for (unsigned ms : script.delaysMs) out << ' ' << ms;
    out << '\n';
    for (const auto& [from, to] : script.placedFiles) out << "place " << Escape(from) << '\t' << Escape(to) << '\n';
    return out.str();
}

StandInScript ParseStandInScript(const std::string& text) {
    StandInScript script;
    for (std::string line : Split(text, '\n')) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("place ", 0) == 0) {
            const std::vector<std::string> paths = Split(line.substr(6), '\t');
            if (paths.size() == 2 && script.placedFiles.size() < kMaxScriptEntries) {
                script.placedFiles.emplace_back(Unescape(paths[0]), Unescape(paths[1]));
            }
            continue;
        }
        const std::vector<std::string> words = Split(line, ' ');
        for (size_t i = 1; i < words.size(); ++i) {
            long long value = 0;
            if (!ParseNumber(words[i], value)) continue;
            if (words[0] == "exit" && script.exitCodes.size() < kMaxScriptEntries) {
                script.exitCodes.push_back(value);
            } else if (words[0] == "delay" && script.delaysMs.size() < kMaxScriptEntries && value >= 0 &&
                       value <= 0x7FFFFFFF) {
                script.delaysMs.push_back(static_cast<unsigned>(value));
            }
        }
    }
    return script;
}

std::string FormatStandInRun(const StandInRun& run) {
    std::ostringstream out;
    out << run.processId << '\t' << run.startFlags << '\t' << run.showWindow << '\t' << Escape(run.workingFolder)
        << '\t' << Escape(run.commandLine) << '\n';
    return out.str();
}

std::vector<StandInRun> ParseStandInRuns(const std::string& text) {
    std::vector<StandInRun> runs;
    for (const std::string& line : Split(text, '\n')) {
        const std::vector<std::string> fields = Split(line, '\t');
        long long pid = 0, flags = 0, show = 0;
        if (fields.size() != 5 || !ParseNumber(fields[0], pid) || !ParseNumber(fields[1], flags) ||
            !ParseNumber(fields[2], show)) {
            continue;
        }
        StandInRun run;
        run.processId = static_cast<unsigned long>(pid);
        run.startFlags = static_cast<unsigned long>(flags);
        run.showWindow = static_cast<unsigned>(show);
        run.workingFolder = Unescape(fields[3]);
        run.commandLine = Unescape(fields[4]);
        runs.push_back(std::move(run));
    }
    return runs;
}

}  // namespace ztest
