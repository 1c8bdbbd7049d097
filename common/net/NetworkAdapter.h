#pragma once
// The machine's network adapters with their addresses, read once from the system's adapter list. Nothing
// in the environment changes what is read; tests hand in their adapters through the second constructor.
#include <string>
#include <vector>

#include "common/net/AdapterRecord.h"

struct _IP_ADAPTER_INFO;

class CNetworkAdapter {
public:
    // Reads the adapter list (Enumerate).
    CNetworkAdapter();
    // Holds the given adapters instead (at most kMaxAdapters, each list at most kMaxAdapterAddresses).
    explicit CNetworkAdapter(std::vector<NetworkAdapterRecord> adapters);
    virtual ~CNetworkAdapter();
    CNetworkAdapter(const CNetworkAdapter&) = delete;
    CNetworkAdapter& operator=(const CNetworkAdapter&) = delete;

    // Reads the system's list. 1 when the list was read; 0 with no adapters when not.
    int Enumerate();
    // Takes the adapters of a system adapter list, in list order.
    void FillFrom(const _IP_ADAPTER_INFO* list);

    int GetAdapterCount() const { return static_cast<int>(m_adapters.size()); }
    // The adapter at `index`; an index outside the list gives an empty record.
    const NetworkAdapterRecord& GetAdapter(int index) const;
    // Copies of one adapter's texts; empty for an index outside the lists.
    std::wstring GetIpAddress(int adapter, int address) const;
    std::wstring GetMacAddress(int adapter) const;
    std::wstring GetDescription(int adapter) const;

private:
    std::vector<NetworkAdapterRecord> m_adapters;
};
