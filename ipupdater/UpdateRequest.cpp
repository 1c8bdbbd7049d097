#include "ipupdater/UpdateRequest.h"

#include <cstdint>

#include "common/base/Singleton.h"
#include "common/text/Utf.h"

namespace {

bool IsUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

bool IsPlain(const std::wstring& text) {
    for (wchar_t c : text) {
        if (static_cast<uint32_t>(c) >= 0x80 || !IsUnreserved(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

// Appends the percent-encoded text to `out`.
void AppendPercentEncoded(std::wstring& out, const std::wstring& text) {
    // Host names and addresses are mostly plain: they go out as they stand.
    if (IsPlain(text)) {
        out += text;
        return;
    }
    static const wchar_t kHex[] = L"0123456789ABCDEF";
    for (unsigned char c : WideToUtf8(text)) {
        if (IsUnreserved(c)) {
            out.push_back(static_cast<wchar_t>(c));
        } else {
            out.push_back(L'%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 0x0F]);
        }
    }
}

}  // namespace

std::wstring PercentEncode(const std::wstring& text) {
    std::wstring out;
    AppendPercentEncoded(out, text);
    return out;
}

CUpdateRequest* CUpdateRequest::GetInstance() { return ProcessInstance<CUpdateRequest>(); }

void CUpdateRequest::AddHost(const std::wstring& name, const std::wstring& value) {
    std::wstring item;
    item.reserve(name.size() + value.size() + 7);  // the usual size: nothing to encode
    item += L"host[";
    AppendPercentEncoded(item, name);
    item += L']';
    if (!value.empty()) {
        item += L'=';
        AppendPercentEncoded(item, value);
    }
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
