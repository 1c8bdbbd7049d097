#include "common/datafiles/DataFile.h"

#include "common/text/ValueText.h"

namespace {
const wchar_t kHost[] = L"host";
const wchar_t kName[] = L"name";
const wchar_t kStatus[] = L"status";
}  // namespace

std::wstring CDataFile::GetHostName() const { return m_doc.ReadAttr(kName); }

std::wstring CDataFile::GetHostStatus() const { return m_doc.ReadAttr(kStatus); }

bool CDataFile::FindHost(const std::wstring& name) {
    if (m_doc.GetParentSlot() == 0) return false;
    m_doc.RewindInParent();
    while (m_doc.SeekElement(kHost)) {
        if (m_doc.ReadAttr(kName) == name) return true;
    }
    return false;
}

bool CDataFile::EnterPath(std::initializer_list<const wchar_t*> names) {
    m_doc.RewindToTop();
    for (const wchar_t* name : names) {
        if (!m_doc.SeekElement(name) || !m_doc.EnterElement()) return false;
    }
    return true;
}

bool CDataFile::StoreAttr(const wchar_t* name, const std::wstring& value) {
    return m_doc.StoreAttrAt(m_doc.GetCurrentSlot(), name, DocumentValue(value));
}

bool CDataFile::WriteOneElementDocument(const std::wstring& path, const wchar_t* element,
                                        std::initializer_list<Attribute> attributes) {
    m_doc.SetText(kXmlHeader);
    m_doc.AppendElement(kXmlRootName);
    m_doc.EnterElement();
    m_doc.AppendElement(element);
    for (const Attribute& attribute : attributes) StoreAttr(attribute.first, attribute.second);
    m_path = path;
    return Save();
}

std::wstring CDataFile::ReadResultCode(const wchar_t* root) {
    if (!EnterPath({root}) || !m_doc.SeekElement(L"result")) return std::wstring();
    std::wstring code = m_doc.ReadAttr(L"code");
    m_doc.EnterElement();
    return code;
}
