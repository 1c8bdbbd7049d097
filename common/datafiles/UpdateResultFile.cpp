#include "common/datafiles/UpdateResultFile.h"

bool CUpdateResultFile::Load(const std::wstring& path) {
    return LoadOrCreate(path, [this](const std::wstring& p) { return WriteEmptyDocument(p); });
}

void CUpdateResultFile::PositionAfterLoad() { EnterPath({kXmlRootName, L"result"}); }

bool CUpdateResultFile::Reload() {
    if (m_path.empty()) return false;
    const std::wstring path = m_path;
    return Load(path);
}

std::wstring CUpdateResultFile::GetCode() const { return m_doc.ReadAttr(L"code"); }
std::wstring CUpdateResultFile::GetResultCode() { return ReadResultCode(kXmlRootName); }
