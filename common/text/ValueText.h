#pragma once
// How values pass between the suite's documents, command lines and replies and the code that reads and
// sets them.
#include <string>
#include <string_view>

// A control character: U+0000..U+001F, U+007F..U+009F.
bool IsControlChar(wchar_t c);
bool HasControlChar(std::wstring_view text);

// A value as it goes into a document: cut at its first NUL character, so that a value copied from a
// fixed buffer never puts a NUL into a file (the next load would fail on it and reset the file).
std::wstring DocumentValue(std::wstring_view value);

// A decimal integer read the way the C library reads one: leading white space skipped, an optional
// sign, digits up to the first other character; a text without leading digits reads 0. Values beyond
// the int range saturate at INT_MIN or INT_MAX.
int ReadDecimalInt(std::wstring_view text);
