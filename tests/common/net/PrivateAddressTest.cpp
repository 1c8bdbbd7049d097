#include <gtest/gtest.h>

#include "common/net/PrivateAddress.h"
#include "tests/support/TestSupport.h"

namespace {

using ztest::W;

struct Row {
    const char* address;
    bool reserved;
};

void CheckRows(const Row* begin, const Row* end) {
    for (const Row* row = begin; row != end; ++row) {
        EXPECT_EQ(IsPrivateOrReservedIp(W(row->address)), row->reserved) << "'" << row->address << "'";
    }
}

TEST(PrivateAddress, BothEdgesOfEveryBlock) {
    // For each block: the address below it, its first and last address, the address above it.
    const Row rows[] = {
        {"0.0.0.0", true},          {"0.255.255.255", true},    {"1.0.0.0", false},
        {"9.255.255.255", false},   {"10.0.0.0", true},         {"10.255.255.255", true},   {"11.0.0.0", false},
        {"126.255.255.255", false}, {"127.0.0.0", true},        {"127.255.255.255", true},  {"128.0.0.0", false},
        {"169.253.255.255", false}, {"169.254.0.0", true},      {"169.254.255.255", true},  {"169.255.0.0", false},
        {"172.15.255.255", false},  {"172.16.0.0", true},       {"172.31.255.255", true},   {"172.32.0.0", false},
        {"192.0.1.255", false},     {"192.0.2.0", true},        {"192.0.2.255", true},      {"192.0.3.0", false},
        {"192.88.98.255", false},   {"192.88.99.0", true},      {"192.88.99.255", true},    {"192.88.100.0", false},
        {"192.167.255.255", false}, {"192.168.0.0", true},      {"192.168.255.255", true},  {"192.169.0.0", false},
        {"198.17.255.255", false},  {"198.18.0.0", true},       {"198.19.255.255", true},   {"198.20.0.0", false},
        {"223.255.255.255", false}, {"224.0.0.0", true},        {"239.255.255.255", true},
        {"240.0.0.0", true},        {"255.255.255.255", true},
    };
    CheckRows(std::begin(rows), std::end(rows));
}

TEST(PrivateAddress, ListedExamplesAndTheTableAsItStands) {
    const Row rows[] = {
        {"10.1.2.3", true},     {"127.0.0.1", true},   {"169.254.10.1", true}, {"172.16.0.1", true},
        {"192.0.2.7", true},    {"192.88.99.1", true}, {"192.168.1.1", true},  {"198.19.0.1", true},
        {"224.0.0.1", true},    {"0.1.2.3", true},     {"172.32.0.1", false},  {"198.20.0.1", false},
        {"192.0.3.1", false},   {"8.8.8.8", false},
        // Blocks that the table does not hold stay public.
        {"100.64.0.1", false},   {"198.51.100.7", false}, {"203.0.113.5", false},
        // Leading zeros are still decimal numbers.
        {"008.008.008.008", false}, {"010.0.0.1", true},
    };
    CheckRows(std::begin(rows), std::end(rows));
}

TEST(PrivateAddress, AnythingButADottedQuadIsReserved) {
    const Row rows[] = {
        {"", true},
        {"<html><body>8.8.8.8</body></html>", true},
        {"1.2.3.4&x", true},
        {" 8.8.8.8", true},
        {"8.8.8.8 ", true},
        {"8.8.8.8\n", true},
        {"8.8. 8.8", true},
        {"8.8.8", true},
        {"8.8.8.8.8", true},
        {"8.8.8.8.", true},
        {".8.8.8.8", true},
        {"8..8.8", true},
        {"8.8.8.256", true},
        {"8.8.8.1000", true},
        {"0008.8.8.8", true},
        {"+8.8.8.8", true},
        {"8.-8.8.8", true},
        {"8.8.8.0x8", true},
        {"4294967304.8.8.8", true},
    };
    CheckRows(std::begin(rows), std::end(rows));
}

TEST(PrivateAddress, BitStrings) {
    struct BitRow {
        const char* text;
        const char* bits;
    };
    const BitRow rows[] = {
        {"1.2.3.4", "00000001000000100000001100000100"},
        {"255.255.255.255", "11111111111111111111111111111111"},
        {"", "00000000000000000000000000000000"},
        // Too few parts: the missing part is empty and the next one starts again at the beginning.
        {"1.2", "00000001000000100000000000000001"},
        // A number above 255 takes more than eight digits.
        {"256.0.0.1", "100000000000000000000000000000001"},
    };
    for (const BitRow& row : rows) {
        EXPECT_EQ(IpToBitString(W(row.text)), W(row.bits)) << row.text;
    }
    EXPECT_EQ(ToBinaryDigits(0), L"0");
    EXPECT_EQ(ToBinaryDigits(5), L"101");
    EXPECT_EQ(ToBinaryDigits(0xFFFFFFFFu), std::wstring(32, L'1'));
}

}  // namespace
