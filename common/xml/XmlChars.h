#pragma once
// Character classes shared by the scanner and the editor of CXmlTextDoc.
#include <string>

namespace zxml {

inline bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r'; }

// A name that the suite may write as an element or attribute name: it starts like a tag name and holds
// nothing that the scanner or the attribute search would read as the end of a name.
bool IsWritableName(const std::wstring& name);

}  // namespace zxml
