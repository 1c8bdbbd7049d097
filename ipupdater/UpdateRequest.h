#pragma once
// The items of one update request and the query text that follows the "?" of the update URL.
#include <string>
#include <vector>

class CUpdateRequest {
public:
    static CUpdateRequest* GetInstance();

    CUpdateRequest() = default;
    CUpdateRequest(const CUpdateRequest&) = delete;
    CUpdateRequest& operator=(const CUpdateRequest&) = delete;

    // Appends "host[name]=value" ("host[name]" for an empty value). The name and the value are
    // percent-encoded as UTF-8 (all but A-Z a-z 0-9 - . _ ~), so no character of theirs can break or
    // forge the query; ordinary host names and addresses go out unchanged.
    void AddHost(const std::wstring& name, const std::wstring& value);

    // Joins the items not joined yet into the query, each followed by "&"; false when there is none.
    bool JoinPending();

    // Trims "&" from both ends of the stored query and returns a copy.
    std::wstring GetQuery();

    size_t GetItemCount() const { return m_items.size(); }

private:
    size_t m_nextIndex = 0;
    std::wstring m_query;
    std::vector<std::wstring> m_items;
};

// Percent-encodes a text as UTF-8, leaving the unreserved characters A-Z a-z 0-9 - . _ ~ as they are.
std::wstring PercentEncode(const std::wstring& text);
