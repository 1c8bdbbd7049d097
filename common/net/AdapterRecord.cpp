#include "common/net/AdapterRecord.h"

const wchar_t kAdapterNamePrefix[] = L"\\Device\\Packet_";

namespace {

constexpr wchar_t kHexDigits[] = L"0123456789ABCDEF";

}  // namespace

void NetworkAdapterRecord::AddAddress(std::wstring address, std::wstring mask, unsigned int context) {
    if (ipAddresses.size() >= kMaxAdapterAddresses) return;
    ipAddresses.push_back(std::move(address));
    ipMasks.push_back(std::move(mask));
    addressContexts.push_back(context);
}

void NetworkAdapterRecord::AddGateway(std::wstring gateway) {
    if (gateways.size() < kMaxAdapterAddresses) gateways.push_back(std::move(gateway));
}

void NetworkAdapterRecord::SetMac(const unsigned char* bytes, size_t length) {
    if (length > kMaxMacBytes) length = kMaxMacBytes;
    macLength = static_cast<unsigned int>(length);
    macAddress.clear();
    for (size_t i = 0; i < length; ++i) {
        macAddress += kHexDigits[bytes[i] >> 4];
        macAddress += kHexDigits[bytes[i] & 0x0F];
    }
}
