#include "common/net/AdapterRecord.h"

#include <algorithm>

#include "common/text/Utf.h"

const wchar_t kAdapterNamePrefix[] = L"\\Device\\Packet_";

namespace {

constexpr size_t kMaxLineBytes = 1024;
constexpr wchar_t kHexDigits[] = L"0123456789ABCDEF";

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ParseUnsigned(std::string_view text, unsigned int& value) {
    if (text.empty() || text.size() > 9) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return true;
}

// Splits off the next blank-separated word of `rest`.
std::string_view NextWord(std::string_view& rest) {
    const size_t start = rest.find_first_not_of(' ');
    if (start == std::string_view::npos) {
        rest = {};
        return {};
    }
    rest = rest.substr(start);
    const size_t end = rest.find(' ');
    const std::string_view word = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end);
    return word;
}

bool ParseMac(std::string_view hex, NetworkAdapterRecord& adapter) {
    if (hex.size() % 2 != 0 || hex.size() / 2 > kMaxMacBytes) return false;
    unsigned char bytes[kMaxMacBytes] = {};
    for (size_t i = 0; i < hex.size(); i += 2) {
        const int high = HexValue(hex[i]);
        const int low = HexValue(hex[i + 1]);
        if (high < 0 || low < 0) return false;
        bytes[i / 2] = static_cast<unsigned char>(high * 16 + low);
    }
    adapter.SetMac(bytes, hex.size() / 2);
    return true;
}

bool ParseItem(std::string_view key, std::string_view rest, NetworkAdapterRecord& adapter) {
    if (key == "description") {
        adapter.description = Utf8ToWide(rest.substr(std::min(rest.find_first_not_of(' '), rest.size())));
        return true;
    }
    const std::string_view first = NextWord(rest);
    if (first.empty()) return false;
    if (key == "type") return ParseUnsigned(first, adapter.type) && NextWord(rest).empty();
    if (key == "mac") return ParseMac(first, adapter) && NextWord(rest).empty();
    if (key == "gateway") {
        adapter.AddGateway(Utf8ToWide(first));
        return NextWord(rest).empty();
    }
    if (key == "address") {
        const std::string_view mask = NextWord(rest);
        const std::string_view contextText = NextWord(rest);
        unsigned int context = 0;
        if (mask.empty() || (!contextText.empty() && !ParseUnsigned(contextText, context))) return false;
        adapter.AddAddress(Utf8ToWide(first), Utf8ToWide(mask), context);
        return NextWord(rest).empty();
    }
    return false;
}

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

void NetworkAdapterRecord::FillEmptyLists() {
    if (ipAddresses.empty()) AddAddress(L"0.0.0.0", L"0.0.0.0", 0);
    if (gateways.empty()) AddGateway(L"0.0.0.0");
}

bool ParseAdapterList(std::string_view text, std::vector<NetworkAdapterRecord>& adapters) {
    std::vector<NetworkAdapterRecord> parsed;
    bool skipping = false;  // past kMaxAdapters: the rest is checked but not kept
    NetworkAdapterRecord ignored;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.size() > kMaxLineBytes) return false;
        for (char c : line) {
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
        }
        std::string_view rest = line;
        const std::string_view key = NextWord(rest);
        if (key.empty() || key[0] == '#') continue;
        if (key == "adapter") {
            const std::string_view name = NextWord(rest);
            if (name.empty() || !NextWord(rest).empty()) return false;
            skipping = parsed.size() >= kMaxAdapters;
            NetworkAdapterRecord& adapter = skipping ? (ignored = NetworkAdapterRecord()) : parsed.emplace_back();
            adapter.name = kAdapterNamePrefix + Utf8ToWide(name);
            continue;
        }
        if (parsed.empty()) return false;
        if (!ParseItem(key, rest, skipping ? ignored : parsed.back())) return false;
    }
    for (NetworkAdapterRecord& adapter : parsed) adapter.FillEmptyLists();
    adapters = std::move(parsed);
    return true;
}
