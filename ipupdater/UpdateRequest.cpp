#include "ipupdater/UpdateRequest.h"

#include "common/base/Singleton.h"
#include "common/text/Utf.h"

namespace {

bool IsUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

}  // namespace

std::wstring PercentEncode(const std::wstring& text) {
    static const wchar_t kHex[] = L"0123456789ABCDEF";
    std::wstring out;
    for (unsigned char c : WideToUtf8(text)) {
        if (IsUnreserved(c)) {
            out.push_back(static_cast<wchar_t>(c));
        } else {
            out.push_back(L'%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 0x0F]);
        }
    }
    return out;
}

CUpdateRequest* CUpdateRequest::GetInstance() { return ProcessInstance<CUpdateRequest>(); }

void CUpdateRequest::AddHost(const std::wstring& name, const std::wstring& value) {
    std::wstring item = L"host[" + PercentEncode(name) + L"]";
    if (!value.empty()) item += L"=" + PercentEncode(value);
    m_items.push_back(std::move(item));
}

bool CUpdateRequest::JoinPending() {
    if (m_nextIndex >= m_items.size()) return false;
    m_query.clear();
    for (; m_nextIndex < m_items.size(); ++m_nextIndex) {
        m_query += m_items[m_nextIndex];
        m_query += L'&';
    }
    return true;
}

std::wstring CUpdateRequest::GetQuery() {
    const size_t last = m_query.find_last_not_of(L'&');
    if (last == std::wstring::npos) {
        m_query.clear();
    } else {
        m_query.erase(last + 1);
        m_query.erase(0, m_query.find_first_not_of(L'&'));
    }
    return m_query;
}
