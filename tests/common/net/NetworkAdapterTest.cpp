#include <winsock2.h>
#include <iphlpapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "common/net/NetworkAdapter.h"
#include "tests/support/TestSupport.h"

namespace {

void SetText(char* field, size_t size, const char* text) {
    strncpy(field, text, size - 1);
    field[size - 1] = '\0';
}

void SetAddress(IP_ADDR_STRING& entry, const char* address, const char* mask, DWORD context) {
    SetText(entry.IpAddress.String, sizeof(entry.IpAddress.String), address);
    SetText(entry.IpMask.String, sizeof(entry.IpMask.String), mask);
    entry.Context = context;
}

// A system-style adapter list of `count` linked records, as GetAdaptersInfo fills it.
std::vector<IP_ADAPTER_INFO> MakeList(size_t count) {
    std::vector<IP_ADAPTER_INFO> list(count);
    for (size_t i = 0; i < count; ++i) {
        IP_ADAPTER_INFO& info = list[i];
        memset(&info, 0, sizeof(info));
        info.Next = i + 1 < count ? &list[i + 1] : nullptr;
        SetText(info.AdapterName, sizeof(info.AdapterName), ("{adapter-" + std::to_string(i) + "}").c_str());
        SetText(info.Description, sizeof(info.Description), "Recorded Ethernet");
        info.Type = MIB_IF_TYPE_ETHERNET;
        SetAddress(info.IpAddressList, "0.0.0.0", "0.0.0.0", 0);
        SetAddress(info.GatewayList, "0.0.0.0", "", 0);
    }
    return list;
}

TEST(NetworkAdapter, TakesTheSystemListInOrder) {
    std::vector<IP_ADAPTER_INFO> list = MakeList(2);
    const unsigned char mac[] = {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e};
    memcpy(list[0].Address, mac, sizeof(mac));
    list[0].AddressLength = sizeof(mac);
    SetAddress(list[0].IpAddressList, "203.0.113.5", "255.255.255.0", 11);
    IP_ADDR_STRING second = {};
    SetAddress(second, "10.0.0.5", "255.0.0.0", 12);
    list[0].IpAddressList.Next = &second;
    SetAddress(list[0].GatewayList, "203.0.113.1", "", 0);
    // A length larger than the address field takes the field only.
    list[1].AddressLength = 200;
    memset(list[1].Address, 0xAB, sizeof(list[1].Address));
    // The system's texts are in the ANSI code page, not UTF-8 (0xFC is u-umlaut in Windows-1252).
    SetText(list[1].Description, sizeof(list[1].Description), "Netzwerkkarte \xFC");

    CNetworkAdapter adapters(std::vector<NetworkAdapterRecord>{});
    adapters.FillFrom(list.data());
    ASSERT_EQ(adapters.GetAdapterCount(), 2);
    const NetworkAdapterRecord& first = adapters.GetAdapter(0);
    EXPECT_EQ(first.name, L"\\Device\\Packet_{adapter-0}");
    EXPECT_EQ(first.type, static_cast<unsigned>(MIB_IF_TYPE_ETHERNET));
    EXPECT_EQ(adapters.GetDescription(0), L"Recorded Ethernet");
    EXPECT_EQ(adapters.GetMacAddress(0), L"001A2B3C4D5E");
    EXPECT_EQ(first.IpAddressCount(), 2);
    EXPECT_EQ(adapters.GetIpAddress(0, 0), L"203.0.113.5");
    EXPECT_EQ(adapters.GetIpAddress(0, 1), L"10.0.0.5");
    EXPECT_EQ(first.ipMasks, (std::vector<std::wstring>{L"255.255.255.0", L"255.0.0.0"}));
    EXPECT_EQ(first.addressContexts, (std::vector<unsigned int>{11, 12}));
    EXPECT_EQ(first.gateways, std::vector<std::wstring>{L"203.0.113.1"});

    // No gateway: the system reports 0.0.0.0, and that is the one gateway.
    const NetworkAdapterRecord& other = adapters.GetAdapter(1);
    EXPECT_EQ(other.GatewayCount(), 1);
    EXPECT_EQ(other.gateways[0], L"0.0.0.0");
    EXPECT_EQ(other.macLength, sizeof(list[1].Address));
    EXPECT_EQ(other.macAddress, L"ABABABABABABABAB");
    if (GetACP() == 1252) {
        EXPECT_EQ(adapters.GetDescription(1), L"Netzwerkkarte \u00FC");
    }

    // Indexes outside the lists give empty texts.
    EXPECT_EQ(adapters.GetIpAddress(0, 2), L"");
    EXPECT_EQ(adapters.GetIpAddress(2, 0), L"");
    EXPECT_EQ(adapters.GetIpAddress(-1, 0), L"");
    EXPECT_EQ(adapters.GetMacAddress(2), L"");
    EXPECT_EQ(adapters.GetDescription(-1), L"");
}

TEST(NetworkAdapter, ReadsTheSystemList) {
    // The same list read directly, with a buffer far larger than needed.
    std::vector<IP_ADAPTER_INFO> direct(64);
    ULONG size = static_cast<ULONG>(direct.size() * sizeof(IP_ADAPTER_INFO));
    const bool listed = GetAdaptersInfo(direct.data(), &size) == NO_ERROR;

    CNetworkAdapter adapters;
    EXPECT_EQ(adapters.Enumerate(), listed ? 1 : 0);
    int index = 0;
    for (const IP_ADAPTER_INFO* info = listed ? direct.data() : nullptr; info != nullptr; info = info->Next, ++index) {
        EXPECT_EQ(adapters.GetAdapter(index).name, L"\\Device\\Packet_" + ztest::W(info->AdapterName)) << index;
        EXPECT_EQ(adapters.GetIpAddress(index, 0), ztest::W(info->IpAddressList.IpAddress.String)) << index;
        EXPECT_EQ(adapters.GetMacAddress(index).size(), 2u * info->AddressLength) << index;
    }
    EXPECT_EQ(adapters.GetAdapterCount(), index);
}

TEST(NetworkAdapter, KeepsAtMostOneHundredOfEach) {
    std::vector<IP_ADAPTER_INFO> list = MakeList(150);
    std::vector<IP_ADDR_STRING> extra(150);
    for (size_t i = 0; i < extra.size(); ++i) {
        SetAddress(extra[i], ("198.51.100." + std::to_string(i)).c_str(), "255.255.255.0", 0);
        extra[i].Next = i + 1 < extra.size() ? &extra[i + 1] : nullptr;
    }
    list[0].IpAddressList.Next = &extra[0];
    list[0].GatewayList.Next = &extra[0];

    CNetworkAdapter adapters(std::vector<NetworkAdapterRecord>{});
    adapters.FillFrom(list.data());
    EXPECT_EQ(adapters.GetAdapterCount(), 100);
    EXPECT_EQ(adapters.GetAdapter(99).name, L"\\Device\\Packet_{adapter-99}");
    EXPECT_EQ(adapters.GetAdapter(0).IpAddressCount(), 100);
    EXPECT_EQ(adapters.GetAdapter(0).GatewayCount(), 100);
    EXPECT_EQ(adapters.GetIpAddress(0, 99), L"198.51.100.98");

    // Records handed in are held to the same limits.
    std::vector<NetworkAdapterRecord> records(120);
    records[0].ipAddresses.assign(130, L"203.0.113.5");
    records[0].gateways.assign(130, L"203.0.113.1");
    CNetworkAdapter given(std::move(records));
    EXPECT_LT(sizeof(given), 256u);  // the lists live on the heap
    EXPECT_EQ(given.GetAdapterCount(), 100);
    EXPECT_EQ(given.GetAdapter(0).IpAddressCount(), 100);
    EXPECT_EQ(given.GetAdapter(0).ipMasks.size(), 100u);
    EXPECT_EQ(given.GetAdapter(0).GatewayCount(), 100);
}

}  // namespace
