#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/net/AdapterRecord.h"

namespace {

TEST(AdapterList, ReadsRecordedAdapters) {
    const std::string text =
        "# two adapters\r\n"
        "adapter {11111111-2222}\r\n"
        "type 6\r\n"
        "description Recorded Ethernet  Adapter\r\n"
        "mac 001a2b3c4d5e\r\n"
        "address 203.0.113.5 255.255.255.0 7\r\n"
        "address 10.0.0.5 255.0.0.0\r\n"
        "gateway 203.0.113.1\r\n"
        "\r\n"
        "adapter second\n";
    std::vector<NetworkAdapterRecord> adapters;
    ASSERT_TRUE(ParseAdapterList(text, adapters));
    ASSERT_EQ(adapters.size(), 2u);

    const NetworkAdapterRecord& first = adapters[0];
    EXPECT_EQ(first.name, L"\\Device\\Packet_{11111111-2222}");
    EXPECT_EQ(first.type, 6u);
    EXPECT_EQ(first.description, L"Recorded Ethernet  Adapter");
    EXPECT_EQ(first.macLength, 6u);
    EXPECT_EQ(first.macAddress, L"001A2B3C4D5E");
    EXPECT_EQ(first.ipAddresses, (std::vector<std::wstring>{L"203.0.113.5", L"10.0.0.5"}));
    EXPECT_EQ(first.ipMasks, (std::vector<std::wstring>{L"255.255.255.0", L"255.0.0.0"}));
    EXPECT_EQ(first.addressContexts, (std::vector<unsigned int>{7, 0}));
    EXPECT_EQ(first.gateways, std::vector<std::wstring>{L"203.0.113.1"});

    // Without an address, a gateway or a MAC, as the system lists such an adapter.
    const NetworkAdapterRecord& second = adapters[1];
    EXPECT_EQ(second.IpAddressCount(), 1);
    EXPECT_EQ(second.ipAddresses[0], L"0.0.0.0");
    EXPECT_EQ(second.GatewayCount(), 1);
    EXPECT_EQ(second.gateways[0], L"0.0.0.0");
    EXPECT_EQ(second.macLength, 0u);
    EXPECT_EQ(second.macAddress, L"");
}

TEST(AdapterList, KeepsAtMostOneHundredOfEach) {
    std::string text;
    for (int i = 0; i < 150; ++i) text += "adapter a" + std::to_string(i) + "\n";
    text += "mac 0102\n";  // items of an adapter past the limit are still checked
    for (int i = 0; i < 150; ++i) text += "address 198.51.100." + std::to_string(i) + " 255.255.255.0\n";
    std::vector<NetworkAdapterRecord> adapters;
    ASSERT_TRUE(ParseAdapterList(text, adapters));
    EXPECT_EQ(adapters.size(), kMaxAdapters);
    EXPECT_EQ(adapters.back().name, L"\\Device\\Packet_a99");

    text = "adapter many\n";
    for (int i = 0; i < 150; ++i) {
        text += "address 198.51.100." + std::to_string(i) + " 255.255.255.0\ngateway 198.51.100." +
                std::to_string(i) + "\n";
    }
    ASSERT_TRUE(ParseAdapterList(text, adapters));
    ASSERT_EQ(adapters.size(), 1u);
    EXPECT_EQ(adapters[0].IpAddressCount(), 100);
    EXPECT_EQ(adapters[0].ipMasks.size(), 100u);
    EXPECT_EQ(adapters[0].addressContexts.size(), 100u);
    EXPECT_EQ(adapters[0].GatewayCount(), 100);
    EXPECT_EQ(adapters[0].ipAddresses.back(), L"198.51.100.99");
}

TEST(AdapterList, RefusesMalformedLists) {
    struct Row {
        const char* name;
        std::string text;
    };
    const Row rows[] = {
        {"item before any adapter", "type 6\nadapter a\n"},
        {"adapter without a name", "adapter\n"},
        {"unknown item", "adapter a\nspeed 100\n"},
        {"type not a number", "adapter a\ntype six\n"},
        {"mac with an odd digit count", "adapter a\nmac 001\n"},
        {"mac with a non-hex digit", "adapter a\nmac 00g1\n"},
        {"mac longer than eight bytes", "adapter a\nmac 000102030405060708\n"},
        {"address without a mask", "adapter a\naddress 203.0.113.5\n"},
        {"address with a bad context", "adapter a\naddress 203.0.113.5 255.0.0.0 x\n"},
        {"tab in a line", "adapter a\ngateway\t1.2.3.4\n"},
        {"zero byte in a line", std::string("adapter a\0b\n", 12)},
        {"over-long line", "adapter a\ndescription " + std::string(2000, 'd') + "\n"},
    };
    for (const Row& row : rows) {
        std::vector<NetworkAdapterRecord> adapters(1);
        EXPECT_FALSE(ParseAdapterList(row.text, adapters)) << row.name;
        EXPECT_EQ(adapters.size(), 1u) << row.name;
    }
}

}  // namespace
