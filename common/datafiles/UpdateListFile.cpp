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

void CUpdateListFile::RemoveHostsWhere(const std::function<bool(const std::wstring& name)>& remove) {
    if (m_doc.GetParentSlot() == 0) return;
    m_doc.RewindInParent();
    // A removed host leaves the one before it current, so the walk goes on with the one after it.
    while (m_doc.SeekElement(L"host")) {
        if (remove(GetHostName())) m_doc.DeleteElementAt(m_doc.GetCurrentSlot());
    }
}

void CUpdateListFile::SetHostStatus(const std::wstring& value) { StoreAttr(L"status", value); }
