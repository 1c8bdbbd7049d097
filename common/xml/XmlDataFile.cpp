#include "common/xml/XmlDataFile.h"

#include "common/fs/File.h"

bool CXmlDataFile::Save(const std::wstring& path) {
    const std::wstring& target = path.empty() ? m_path : path;
    if (target.empty()) return false;
    return m_doc.SaveFile(target);
}

bool CXmlDataFile::WriteEmptyDocument(const std::wstring& path) {
    m_doc.SetText(kXmlHeader);
    m_doc.AppendElement(kXmlRootName);
    m_doc.EnterElement();
    m_path = path;
    return m_doc.SaveFile(path);
}

bool CXmlDataFile::LoadOrCreate(const std::wstring& path, const XmlDefaultWriter& writeDefault) {
    const bool read = CXmlTextDoc::ReadUtf8File(m_doc.m_text, path, m_doc.m_statusText);
    if (read && m_doc.BuildIndex()) {
        m_path = path;
        return true;
    }
    if (!writeDefault) return false;
    // A file that holds something but does not load is kept beside itself before the default replaces it.
    const bool damaged = read ? !m_doc.m_text.empty() : zfs::FileExists(path);
    if (damaged && !zfs::MoveFileReplacing(path, path + L".bad")) return false;
    if (!writeDefault(path)) return false;
    if (!m_doc.LoadFile(path)) return false;
    m_path = path;
    return true;
}
