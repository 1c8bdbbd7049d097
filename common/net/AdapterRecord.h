#pragma once
// One network adapter as the adapter list holds it.
#include <string>
#include <vector>

constexpr size_t kMaxAdapters = 100;          // adapters kept from one list
constexpr size_t kMaxAdapterAddresses = 100;  // addresses, and gateways, kept per adapter
constexpr size_t kMaxMacBytes = 8;
extern const wchar_t kAdapterNamePrefix[];    // "\Device\Packet_"

struct NetworkAdapterRecord {
    unsigned int type = 0;            // the system's adapter type (6: Ethernet)
    std::wstring name;                // kAdapterNamePrefix and the system's adapter name
    std::wstring description;
    std::vector<std::wstring> ipAddresses;
    std::vector<unsigned int> addressContexts;
    std::vector<std::wstring> ipMasks;
    std::vector<std::wstring> gateways;
    unsigned int macLength = 0;       // hardware address bytes
    std::wstring macAddress;          // two upper-case hex digits per byte, no separators

    int IpAddressCount() const { return static_cast<int>(ipAddresses.size()); }
    int GatewayCount() const { return static_cast<int>(gateways.size()); }
    // Adds an address or a gateway unless the list is full (kMaxAdapterAddresses).
    void AddAddress(std::wstring address, std::wstring mask, unsigned int context);
    void AddGateway(std::wstring gateway);
    // Sets the MAC text from the hardware address bytes (at most kMaxMacBytes are taken).
    void SetMac(const unsigned char* bytes, size_t length);
};
