#include "common/datafiles/UpdateListFile.h"

bool CUpdateListFile::Load(const std::wstring& path) {
    return LoadOrCreate(path, [this](const std::wstring& p) { return WriteEmptyDocument(p); });
}

void CUpdateListFile::PositionAfterLoad() { EnterPath({kXmlRootName}); }

bool CUpdateListFile::AddHost(const std::wstring& name) {
    if (m_doc.GetParentSlot() == 0 || !m_doc.AppendElement(L"host")) return false;
    StoreAttr(L"name", name);
    StoreAttr(L"status", L"ONLINE");
    return true;
}

bool CUpdateListFile::RemoveHost(const std::wstring& name) {
    if (!FindHost(name)) return false;
    m_doc.DeleteElementAt(m_doc.GetCurrentSlot());
    return true;
}

void CUpdateListFile::SetHostStatus(const std::wstring& value) { StoreAttr(L"status", value); }
