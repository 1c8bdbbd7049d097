#include "common/datafiles/UpdateMethodFile.h"

namespace {
const wchar_t kUpdateMethod[] = L"update_method";
const wchar_t kType[] = L"type";
const wchar_t kData[] = L"data";
}  // namespace

bool CUpdateMethodFile::Load(const std::wstring& path) {
    return LoadOrCreate(path, [this](const std::wstring& p) { return WriteDefault(p); });
}

void CUpdateMethodFile::PositionAfterLoad() {
    if (EnterPath({L""})) m_doc.SeekElement(kUpdateMethod);
}

bool CUpdateMethodFile::WriteDefault(const std::wstring& path) {
    return WriteOneElementDocument(path, kUpdateMethod, {{kType, L"IP"}, {kData, L""}});
}

std::wstring CUpdateMethodFile::GetType() const { return m_doc.ReadAttr(kType); }
std::wstring CUpdateMethodFile::GetData() const { return m_doc.ReadAttr(kData); }
void CUpdateMethodFile::SetType(const std::wstring& value) { StoreAttr(kType, value); }
void CUpdateMethodFile::SetData(const std::wstring& value) { StoreAttr(kData, value); }
