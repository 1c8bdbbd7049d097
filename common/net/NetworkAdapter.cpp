#include "common/net/NetworkAdapter.h"

#include <winsock2.h>
#include <iphlpapi.h>

#include <cstring>
#include <algorithm>
#include <memory>

#include "common/text/Utf.h"

namespace {

// A fixed-size field of the system's record, up to its first zero byte, in the ANSI code page.
template <size_t N>
std::wstring FieldText(const char (&field)[N]) {
    return AnsiToWide(std::string_view(field, strnlen(field, N)));
}

}  // namespace

CNetworkAdapter::CNetworkAdapter() { Enumerate(); }

CNetworkAdapter::CNetworkAdapter(std::vector<NetworkAdapterRecord> adapters) : m_adapters(std::move(adapters)) {
    if (m_adapters.size() > kMaxAdapters) m_adapters.resize(kMaxAdapters);
    for (NetworkAdapterRecord& adapter : m_adapters) {
        if (adapter.ipAddresses.size() > kMaxAdapterAddresses) adapter.ipAddresses.resize(kMaxAdapterAddresses);
        adapter.ipMasks.resize(adapter.ipAddresses.size());
        adapter.addressContexts.resize(adapter.ipAddresses.size());
        if (adapter.gateways.size() > kMaxAdapterAddresses) adapter.gateways.resize(kMaxAdapterAddresses);
    }
}

CNetworkAdapter::~CNetworkAdapter() = default;

int CNetworkAdapter::Enumerate() {
    m_adapters.clear();
    // First with room for one record, then with the size the system asks for.
    ULONG size = sizeof(IP_ADAPTER_INFO);
    std::unique_ptr<IP_ADAPTER_INFO[]> buffer(new IP_ADAPTER_INFO[1]);
    if (::GetAdaptersInfo(buffer.get(), &size) == ERROR_BUFFER_OVERFLOW) {
        const size_t records = (size + sizeof(IP_ADAPTER_INFO) - 1) / sizeof(IP_ADAPTER_INFO);
        buffer.reset(new IP_ADAPTER_INFO[records]);
        size = static_cast<ULONG>(records * sizeof(IP_ADAPTER_INFO));
    }
    if (::GetAdaptersInfo(buffer.get(), &size) != NO_ERROR) return 0;
    FillFrom(buffer.get());
    return 1;
}

void CNetworkAdapter::FillFrom(const _IP_ADAPTER_INFO* list) {
    m_adapters.clear();
    for (const IP_ADAPTER_INFO* info = list; info != nullptr && m_adapters.size() < kMaxAdapters; info = info->Next) {
        NetworkAdapterRecord& adapter = m_adapters.emplace_back();
        adapter.description = FieldText(info->Description);
        adapter.name = kAdapterNamePrefix + FieldText(info->AdapterName);
        adapter.type = info->Type;
        if (info->AddressLength != 0) {
            adapter.SetMac(info->Address, std::min<size_t>(info->AddressLength, sizeof(info->Address)));
        }
        for (const IP_ADDR_STRING* entry = &info->IpAddressList;
             entry != nullptr && adapter.ipAddresses.size() < kMaxAdapterAddresses; entry = entry->Next) {
            adapter.AddAddress(FieldText(entry->IpAddress.String), FieldText(entry->IpMask.String), entry->Context);
        }
        for (const IP_ADDR_STRING* entry = &info->GatewayList;
             entry != nullptr && adapter.gateways.size() < kMaxAdapterAddresses; entry = entry->Next) {
            adapter.AddGateway(FieldText(entry->IpAddress.String));
        }
    }
}

const NetworkAdapterRecord& CNetworkAdapter::GetAdapter(int index) const {
    static const NetworkAdapterRecord kNone;
    if (index < 0 || static_cast<size_t>(index) >= m_adapters.size()) return kNone;
    return m_adapters[static_cast<size_t>(index)];
}

std::wstring CNetworkAdapter::GetIpAddress(int adapter, int address) const {
    const NetworkAdapterRecord& record = GetAdapter(adapter);
    if (address < 0 || address >= record.IpAddressCount()) return std::wstring();
    return record.ipAddresses[static_cast<size_t>(address)];
}

std::wstring CNetworkAdapter::GetMacAddress(int adapter) const { return GetAdapter(adapter).macAddress; }

std::wstring CNetworkAdapter::GetDescription(int adapter) const { return GetAdapter(adapter).description; }
