#pragma once
// An XML file of the suite: a document and the path it was loaded from or last created at, plus the
// one rule by which the settings store and the data files load their file or create it.
#include <functional>
#include <string>

#include "common/xml/XmlTextDoc.h"

namespace zfs {
struct FileId;
}

// The header of every document the suite creates (23 characters) and its root element's name.
inline constexpr wchar_t kXmlHeader[] = L"<?xml version=\"1.0\"?>\r\n";
inline constexpr wchar_t kXmlRootName[] = L"zorvane";

// Writes a class's default document to a path (and remembers the path); true when the file was written.
using XmlDefaultWriter = std::function<bool(const std::wstring& path)>;

class CXmlDataFile {
public:
    CXmlDataFile() = default;
    virtual ~CXmlDataFile() = default;
    CXmlDataFile(const CXmlDataFile&) = delete;
    CXmlDataFile& operator=(const CXmlDataFile&) = delete;

    // Parses `text` (UTF-8, as the file holds it) as the document and positions it as the class's load
    // does; every load of a file goes through here. A text that does not parse makes no default: false,
    // and the document keeps its former text (indexed and positioned afresh). The path stays.
    bool LoadText(const std::string& text);
    // The document's text as UTF-8: the bytes that Save writes.
    std::string SaveText() const;

    // Writes the document's text to `path`, or to the remembered path when `path` is empty. False when
    // both are empty or the write fails (the old file then stays whole). The remembered path stays.
    bool Save(const std::wstring& path = std::wstring());
    // Makes the document `<?xml version="1.0"?>` CR LF `<zorvane/>` CR LF, positioned inside the root,
    // remembers `path` and writes the file there.
    bool WriteEmptyDocument(const std::wstring& path);

    const std::wstring& GetPath() const { return m_path; }
    CXmlTextDoc& GetDoc() { return m_doc; }
    const CXmlTextDoc& GetDoc() const { return m_doc; }

protected:
    // Loads `path`; when it cannot be read or does not parse, writes the default with `writeDefault`
    // and loads once more. A file that holds something but does not parse is first kept beside itself
    // under the first free name of `<path>.bad`, `<path>.bad1` ... `<path>.bad9` (over `<path>.bad9`
    // when all are taken); no other kept copy is ever replaced. When another program loading the same
    // file at once keeps it aside first, the load starts again from the read (three rounds at most): only
    // the very file that was read and found damaged is ever moved, never one written at its path since.
    // Temporary files that writers killed while writing left beside the file are removed first.
    // An empty `writeDefault` means the class has no default: the load then just fails. On success the
    // path is remembered and the document is positioned by PositionAfterLoad.
    bool LoadOrCreate(const std::wstring& path, const XmlDefaultWriter& writeDefault);
    // Positions the document after every load, of a file or of a text (over the former text after a failed one).
    virtual void PositionAfterLoad() {}

    std::wstring m_path;
    CXmlTextDoc m_doc;

private:
    // zfs::ReadFileBytes, telling which file was read when `id` is given; on failure the status holds the error.
    bool ReadText(const std::wstring& path, std::string& bytes, zfs::FileId* id);
};
