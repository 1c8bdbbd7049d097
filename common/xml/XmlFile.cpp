// Reading and writing a document's text as a UTF-8 file.
#include "common/fs/File.h"
#include "common/text/Utf.h"
#include "common/xml/XmlTextDoc.h"

bool CXmlTextDoc::ReadUtf8File(std::wstring& text, const std::wstring& path, std::wstring& status) {
    std::string bytes;
    std::wstring error;
    if (!zfs::ReadFileBytes(path, bytes, error)) {
        status = error;
        return false;
    }
    text = Utf8ToWide(bytes);
    status = std::to_wstring(bytes.size()) + L" bytes to " + std::to_wstring(text.size()) + L" wide chars";
    return true;
}

bool CXmlTextDoc::WriteUtf8File(const std::wstring& path, const std::wstring& text, std::wstring& status) {
    const std::string bytes = WideToUtf8(text);
    std::wstring error;
    if (!zfs::WriteFileAtomic(path, bytes, error)) {
        status = error;
        return false;
    }
    status = std::to_wstring(text.size()) + L" wide chars to " + std::to_wstring(bytes.size()) + L" bytes";
    return true;
}
