#pragma once
// One network adapter as the adapter list holds it, and the recorded adapter lists that stand in for
// the system's list where a run must see chosen adapters.
#include <string>
#include <string_view>
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
    // As the system lists them: an adapter without an address or gateway shows "0.0.0.0".
    void FillEmptyLists();
};

// Reads a recorded adapter list, UTF-8 text with one item per line ('#' starts a comment line):
//   adapter <name>                    starts the next adapter; the name gets kAdapterNamePrefix
//   type <decimal>
//   description <text>
//   mac <hex digits>                  e.g. 001A2B3C4D5E; up to kMaxMacBytes bytes
//   address <address> <mask> [<context>]
//   gateway <address>
// Every adapter ends with FillEmptyLists; adapters past kMaxAdapters and addresses past their limit are
// left out. Any other line, an item before the first adapter or an over-long line fails the whole list
// (false, `adapters` unchanged).
bool ParseAdapterList(std::string_view text, std::vector<NetworkAdapterRecord>& adapters);
