#pragma once
// The text rules behind the process functions: which running program a name means, the command line a
// child is given, and option values quoted for the suite's command-line parser.
#include <optional>
#include <string>
#include <string_view>

// True when a running program's file name (as the process list shows it; a folder before it is ignored)
// is the wanted program: the names are equal without regard to case once one ".exe" at the end of either
// is set aside. A name that only contains the wanted text is another program. An empty wanted name, or a
// bare ".exe", names no program.
bool ProgramNameMatches(std::wstring_view exeFile, std::wstring_view wanted);

// Equality without regard to case. The Windows build folds as the file system does; the native build
// folds ASCII and Latin-1 letters.
bool NamesEqualNoCase(std::wstring_view a, std::wstring_view b);

// The command line of a program started with an argument text: one blank, then the text.
std::wstring ArgsCommandLine(std::wstring_view args);

// An option value ready to follow "/name:" on such a command line, read back whole by the parser: as it
// stands, or in double quotes when it holds a blank. Nothing when the parser cannot get it back whole
// (a value that opens with a double quote, holds one besides a blank, or holds a NUL).
std::optional<std::wstring> QuoteArgValue(std::wstring_view value);

// The text before the last backslash (the backslash dropped); empty when there is none.
std::wstring TextBeforeLastBackslash(std::wstring_view path);
