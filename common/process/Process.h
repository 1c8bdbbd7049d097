#pragma once
// Program folders, child processes, ending programs by name, and the single-instance mutexes. Every
// function opens and closes what it uses, except the mutex that ClaimInstanceMutex keeps for the life of
// the process.
#include <windows.h>

#include <string>

// What the run functions give back besides a program's own exit code.
constexpr int kRunFailed = -1;      // the program could not be started
constexpr int kStillRunning = 259;  // not waited for, and still running

// The full path of the running program's executable (empty when it cannot be read).
std::wstring GetModuleFilePath();

// The folder of the running program's executable, without a trailing backslash.
std::wstring GetModuleFolder();

// The installation root: the parent of GetModuleFolder's folder (a program in <root>\bin gets <root>).
std::wstring GetInstallRoot();

// Starts the program at `path` with no command line of its own, in the caller's folder and environment.
// Show value 5 (SW_SHOW) shows its window; any other value leaves the program's default show state.
// Unless `noWait`, waits for its end. Gives its exit code (kStillRunning when not waited for and still
// running) or kRunFailed.
int RunProgram(const std::wstring& path, int show, bool noWait);

// The same with the command line " " + args (of any length). An argument text that holds a NUL cannot be
// passed whole and gives kRunFailed.
int RunProgramWithArgs(const std::wstring& path, const std::wstring& args, int show, bool noWait);

// RunProgramWithArgs, waiting for the program's end or for the event `stop`, whichever comes first. A program
// still running when `stop` is set is ended with exit code 0, and 0 is given. A `stop` already set starts
// nothing and gives 0.
int RunProgramWithArgsUntil(const std::wstring& path, const std::wstring& args, int show, HANDLE stop);

// Starts `file` through the shell with the parameters " " + args in `folder` (the caller's folder when
// empty); `show` goes to the program as it is. Never shows a message of its own. Gives the exit code
// (0 when it cannot be read) or kRunFailed, also when `file` names a folder.
int ShellRunProgram(const std::wstring& folder, const std::wstring& file, const std::wstring& args, int show,
                    bool noWait);

// Opens `file` (a document, a web address, a console file) as a double click does: the shell's verb "open"
// with the parameters, when not empty, and the show value. The start is finished before the call returns, so
// the calling thread may end right after. Never shows a message of its own. Gives 0, or kRunFailed when the
// shell cannot open it.
int OpenWithShell(const std::wstring& file, const std::wstring& parameters = std::wstring(),
                  int show = SW_SHOWNORMAL);

// Ends, with exit code 0, every other process whose program is `name` (see ProgramNameMatches). Never the
// calling process; an empty name ends nothing. Processes that cannot be opened or ended are passed over.
void KillProcessesByName(const std::wstring& name);

// Takes the named mutex (the suite's names: common/suite/SuiteContract.h) for the rest of the process's
// life. True when another holder of the name exists (or opening it is refused), that is, when another
// instance runs.
bool ClaimInstanceMutex(const std::wstring& name);

// Asks whether a holder of the named mutex exists, without ever creating it or keeping it.
bool ProbeInstanceMutex(const std::wstring& name);
