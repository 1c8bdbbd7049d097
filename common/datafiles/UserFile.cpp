#include "common/datafiles/UserFile.h"

namespace {
const wchar_t kUser[] = L"user";
const wchar_t kId[] = L"id";
const wchar_t kPassword[] = L"password";
}  // namespace

bool CUserFile::Load(const std::wstring& path) {
    return LoadOrCreate(path, [this](const std::wstring& p) { return WriteDefault(p); });
}

void CUserFile::PositionAfterLoad() {
    if (EnterPath({L""})) m_doc.SeekElement(kUser);
}

bool CUserFile::WriteDefault(const std::wstring& path) {
    return WriteOneElementDocument(path, kUser, {{kId, L""}, {kPassword, L""}});
}

std::wstring CUserFile::GetId() const { return m_doc.ReadAttr(kId); }
std::wstring CUserFile::GetPassword() const { return m_doc.ReadAttr(kPassword); }
void CUserFile::SetId(const std::wstring& value) { StoreAttr(kId, value); }
void CUserFile::SetPassword(const std::wstring& value) { StoreAttr(kPassword, value); }
