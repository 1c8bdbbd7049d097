#pragma once
// Base64 (RFC 4648 alphabet, "=" padding) of wide text, as the Basic authorization line carries it.
#include <string>
#include <string_view>

// Encodes `units` up to the first zero unit (or the end). When every unit lies within U+0000..U+00FF,
// each unit is one input byte; otherwise the whole text is encoded as its UTF-8 bytes. The output has
// no length limit.
std::wstring Base64EncodeUnits(std::wstring_view units);

// Replaces `text` by its Base64 form (Base64EncodeUnits).
void Base64Encode(std::wstring& text);
