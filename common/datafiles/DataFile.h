#pragma once
// What the five data files of etc share: every value lives in an attribute of the current element.
#include <initializer_list>
#include <string>
#include <utility>

#include "common/base/Singleton.h"
#include "common/xml/XmlDataFile.h"

class CDataFile : public CXmlDataFile {
public:
    // The `name` and `status` attributes of the current element (a `host`).
    std::wstring GetHostName() const;
    std::wstring GetHostStatus() const;
    // Walks the `host` elements among the parent's children from the first; the first whose `name`
    // equals `name` exactly stays current. When none does, false, and the last host seen stays
    // current. Hosts never stand at the document level, so nothing is found there.
    bool FindHost(const std::wstring& name);

protected:
    using Attribute = std::pair<const wchar_t*, const wchar_t*>;

    // From the document level, seeks and enters each named element in turn (an empty name matches any
    // element); stops at the first one missing and returns false.
    bool EnterPath(std::initializer_list<const wchar_t*> names);
    // Stores an attribute of the current element; nothing happens when there is none.
    bool StoreAttr(const wchar_t* name, const std::wstring& value);
    // Makes the document the header, the root `zorvane` and one child element with these attributes
    // (the child stays current), remembers the path and writes the file.
    bool WriteOneElementDocument(const std::wstring& path, const wchar_t* element,
                                 std::initializer_list<Attribute> attributes);
    // The `code` attribute of `result` under a root of the given name (empty: any root), empty when
    // either is missing; the position is then inside `result`.
    std::wstring ReadResultCode(const wchar_t* root);
};
