#pragma once
// The owner of a Windows Sockets socket. Includes winsock2.h, which must come before windows.h.
#include <winsock2.h>

#include "common/base/UniqueHandle.h"

struct SocketTraits {
    using type = SOCKET;
    static type invalid() { return INVALID_SOCKET; }
    static bool valid(type s) { return s != INVALID_SOCKET; }
    static void close(type s) { ::closesocket(s); }
};

using UniqueSocket = UniqueWinHandle<SocketTraits>;
