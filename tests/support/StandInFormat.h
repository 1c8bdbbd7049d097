#pragma once
// The stand-in program's two files beside its copy: the script that the test writes (exit codes and
// delays for successive runs) and the record that the stand-in appends to on every run.
#include <string>
#include <utility>
#include <vector>

namespace ztest {

struct StandInScript {
    using PlacedFiles = std::vector<std::pair<std::wstring, std::wstring>>;
    StandInScript(std::vector<long long> codes = {}, std::vector<unsigned> delays = {}, PlacedFiles placed = {})
        : exitCodes(std::move(codes)), delaysMs(std::move(delays)), placedFiles(std::move(placed)) {}

    // Run number i (from 0) exits with exitCodes[i] after waiting delaysMs[i]; past the end of a list its
    // last entry repeats; an empty list means 0. Exit codes are taken modulo 2^32 (-1 is 0xFFFFFFFF).
    std::vector<long long> exitCodes;
    std::vector<unsigned> delaysMs;
    // Files every run copies into place (from, to) after its wait, just before it exits, as a worker program
    // leaves the files it wrote; a file that cannot be copied is passed over.
    PlacedFiles placedFiles;
};

// What one run of the stand-in saw.
struct StandInRun {
    unsigned long processId = 0;
    unsigned long startFlags = 0;  // dwFlags of the start-up information it was given
    unsigned showWindow = 0;       // wShowWindow of it
    std::wstring workingFolder;
    std::wstring commandLine;
};

// The files beside a stand-in copied to `exePath`.
inline std::wstring StandInScriptPath(const std::wstring& exePath) { return exePath + L".script"; }
inline std::wstring StandInRecordPath(const std::wstring& exePath) { return exePath + L".record"; }

// Script text: the lines "exit <code>...", "delay <milliseconds>..." and one "place <from>\t<to>" per placed
// file (the paths escaped as in the record). Unknown lines and words that are not numbers are passed over.
std::string FormatStandInScript(const StandInScript& script);
StandInScript ParseStandInScript(const std::string& text);

// The record holds one line per run; texts are UTF-8 with tab, CR, LF and '%' escaped as %XX.
std::string FormatStandInRun(const StandInRun& run);
std::vector<StandInRun> ParseStandInRuns(const std::string& text);

// Entry `index` of a script list, the last repeating; `none` for an empty list.
template <typename T>
T ScriptEntry(const std::vector<T>& list, size_t index, T none) {
    if (list.empty()) return none;
    return index < list.size() ? list[index] : list.back();
}

}  // namespace ztest
