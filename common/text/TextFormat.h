#pragma once
// Fills the placeholders of a text from the language file. Such texts are data, never printf formats:
// only "%s" (the next argument) and "%%" (one percent sign) mean anything, so a mistaken or hostile text
// can never read arguments that are not there.
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// Each "%s" takes the next argument in order, or becomes empty when none is left; "%%" becomes "%";
// arguments beyond the last placeholder are dropped; any other '%' sequence stays as it stands.
std::wstring FormatText(std::wstring_view text, std::initializer_list<std::wstring_view> args);
std::wstring FormatText(std::wstring_view text, const std::vector<std::wstring>& args);
std::wstring FormatText(std::wstring_view text, const std::wstring_view* args, size_t count);
