#include <gtest/gtest.h>

#include "ipupdater/UpdateRequest.h"
#include "tests/support/TestSupport.h"

namespace {

using Items = std::vector<std::pair<std::string, std::string>>;

std::wstring QueryOf(const Items& items) {
    CUpdateRequest request;
    for (const auto& [name, value] : items) request.AddHost(ztest::W(name), ztest::W(value));
    request.JoinPending();
    return request.GetQuery();
}

TEST(UpdateRequest, QueryJoinsItemsInOrder) {
    const struct {
        const char* name;
        Items items;
        const char* query;
    } rows[] = {
        {"two hosts", {{"h1", "198.51.100.7"}, {"h2", "OFFLINE"}}, "host[h1]=198.51.100.7&host[h2]=OFFLINE"},
        {"one host", {{"a.example.net", "203.0.113.9"}}, "host[a.example.net]=203.0.113.9"},
        {"empty value has no equals sign", {{"x", ""}}, "host[x]"},
        {"same host twice is kept twice", {{"h", "OFFLINE"}, {"h", "OFFLINE"}}, "host[h]=OFFLINE&host[h]=OFFLINE"},
        {"unreserved characters stay", {{"Az09-._~", "1.2.3.4"}}, "host[Az09-._~]=1.2.3.4"},
        // Characters that would break or forge the query are encoded.
        {"ampersand and equals", {{"a&host[b]=1", "x"}}, "host[a%26host%5Bb%5D%3D1]=x"},
        {"blank, hash, line break", {{"a b#\r\n", "1"}}, "host[a%20b%23%0D%0A]=1"},
        {"trailing ampersand in the value", {{"h", "1.2.3.4&"}}, "host[h]=1.2.3.4%26"},
        {"non-ascii as utf-8", {{"\xED\x95\x9C", "1"}}, "host[%ED%95%9C]=1"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ztest::U(QueryOf(row.items)), row.query) << row.name;
    }
}

TEST(UpdateRequest, JoinOnlyTakesNewItems) {
    CUpdateRequest request;
    EXPECT_FALSE(request.JoinPending());
    EXPECT_EQ(request.GetQuery(), L"");

    request.AddHost(L"h1", L"1.2.3.4");
    EXPECT_TRUE(request.JoinPending());
    EXPECT_FALSE(request.JoinPending());  // nothing new: the joined query stays
    EXPECT_EQ(request.GetQuery(), L"host[h1]=1.2.3.4");

    request.AddHost(L"h2", L"OFFLINE");
    EXPECT_TRUE(request.JoinPending());
    EXPECT_EQ(request.GetQuery(), L"host[h2]=OFFLINE");
    EXPECT_EQ(request.GetItemCount(), 2u);
}

}  // namespace
