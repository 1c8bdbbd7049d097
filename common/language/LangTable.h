#pragma once
// The language texts of the process: one language file (`<root>\lang\<language>.xml`), read whole and
// handed out by section and key. Each child of the file's root is a section, each child of a section
// one text; the root may have any name. In a text, backslash followed by n becomes a line feed.
//
// The table has one document and so one position for the whole process. Every lookup selects its
// section and reads its key in one step under the table's lock, so threads fetching texts of
// different sections at once never see each other's selection. The lock is held only inside a
// lookup: a caller never holds it while it sets a window text or sends any other window message.
#include <mutex>
#include <string>
#include <utility>

#include "common/xml/XmlTextDoc.h"

class CLangTable;

// A section of the language table, chosen by name. It holds no lock and no position of the table,
// so it may be kept and used from any thread.
class CLangSection {
public:
    // The text of `key` in this section; empty when the section or the key is absent.
    std::wstring GetText(const std::wstring& key) const;
    const std::wstring& GetName() const { return m_name; }

private:
    friend class CLangTable;
    CLangSection(CLangTable& table, std::wstring name) : m_table(&table), m_name(std::move(name)) {}

    CLangTable* m_table;
    std::wstring m_name;
};

class CLangTable {
public:
    // The process's table, created empty on first use and freed when the process ends.
    static CLangTable* GetInstance();

    CLangTable() = default;
    CLangTable(const CLangTable&) = delete;
    CLangTable& operator=(const CLangTable&) = delete;

    // Loads folder + "\lang\" + language + ".xml". A language name that is empty or holds a path
    // separator, a drive colon or a NUL is refused (false), so the name never reaches outside lang.
    bool Load(const std::wstring& folder, const std::wstring& language);
    // Reads and parses the file. False when it cannot be read, is not well formed or has not exactly
    // one root element; the table then holds no texts. A file without a `general` section loads.
    // Nothing is ever written: a language file has no default document.
    bool LoadFile(const std::wstring& path);
    // Parses `text` (UTF-8, as the file holds it) as LoadFile does; every load of a file goes through here.
    bool LoadText(const std::string& text);

    // The section named `section`; its texts are fetched with CLangSection::GetText. The table keeps
    // no selection of its own, so a call whose result is dropped would select nothing.
    [[nodiscard]] CLangSection SelectSection(const std::wstring& section);
    // Selects `section` and fetches `key` in one locked step.
    std::wstring GetText(const std::wstring& section, const std::wstring& key);
    // A text of the `general` section, the one a fresh load starts in.
    std::wstring GetText(const std::wstring& key);

    // Replaces every backslash-n pair by a line feed; no other escape is recognised.
    static std::wstring ExpandLineBreaks(const std::wstring& text);

private:
    std::mutex m_mutex;
    CXmlTextDoc m_doc;
};
