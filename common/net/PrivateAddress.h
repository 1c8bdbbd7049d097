#pragma once
// The private and reserved IPv4 blocks, tested on the address's dotted-quad text.
#include <cstdint>
#include <string>
#include <string_view>

// True when `address` lies in one of the blocks 0/8, 10/8, 127/8, 169.254/16, 172.16/12, 192.0.2/24,
// 192.88.99/24, 192.168/16, 198.18/15, 224/4, 240/4, and for any text that is not a dotted quad.
bool IsPrivateOrReservedIp(std::wstring_view address);

// Exactly four decimal numbers 0 to 255 (one to three digits each) joined by dots, nothing else.
bool IsDottedQuad(std::wstring_view address);

// The four dot-separated parts read as decimal numbers, each written in base 2 and padded to at least
// eight digits: the 32 bits of a dotted quad, most significant first.
std::wstring IpToBitString(std::wstring_view address);

// `value` in base 2 without leading zeros; 0 gives "0".
std::wstring ToBinaryDigits(uint32_t value);
