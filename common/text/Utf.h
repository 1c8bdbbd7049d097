#pragma once
// The suite's text conversions: UTF-8, the suite's own encoding, and the ANSI code page, in which the
// system hands out a few 8-bit texts. Wide text is UTF-16 code units in std::wstring on every platform
// (also where wchar_t is 32 bits wide), so offsets agree between the builds.
#include <string>
#include <string_view>

// UTF-8 bytes to UTF-16 units. Invalid or truncated sequences, overlong forms, encoded surrogates and
// values above U+10FFFF each become U+FFFD; characters above U+FFFF become a surrogate pair.
std::wstring Utf8ToWide(std::string_view bytes);

// UTF-16 units to UTF-8 bytes. A lone surrogate becomes U+FFFD; units are taken modulo 0x10000.
std::string WideToUtf8(std::wstring_view text);
// The same, appended to `out`.
void AppendWideAsUtf8(std::string& out, std::wstring_view text);

// UTF-16 units to the ANSI code page and back, byte for byte as the system converts them (NULs pass).
// Windows: the system's ANSI code page (CP_ACP); a character it cannot hold becomes its nearest look-alike
// or its default character '?'. Natively a stand-in for it: Latin-1, each unit above U+00FF becoming '?'.
// A text too long for the system's conversion (2^31 units or more) gives an empty result.
std::string WideToAnsi(std::wstring_view text);
std::wstring AnsiToWide(std::string_view bytes);
