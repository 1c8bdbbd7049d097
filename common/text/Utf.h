#pragma once
// The suite's one pair of text conversions. Wide text is UTF-16 code units in std::wstring on every
// platform (also where wchar_t is 32 bits wide), so offsets agree between the builds.
#include <string>
#include <string_view>

// UTF-8 bytes to UTF-16 units. Invalid or truncated sequences, overlong forms, encoded surrogates and
// values above U+10FFFF each become U+FFFD; characters above U+FFFF become a surrogate pair.
std::wstring Utf8ToWide(std::string_view bytes);

// UTF-16 units to UTF-8 bytes. A lone surrogate becomes U+FFFD; units are taken modulo 0x10000.
std::string WideToUtf8(std::wstring_view text);
