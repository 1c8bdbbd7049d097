// Arbitrary bytes as each outside input that is not a file of the suite: a command line, a URL, a
// service reply, an address text. Nothing may crash, and what is accepted must hold together.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/cmdline/CmdLineParser.h"
#include "common/net/Base64.h"
#include "common/net/HttpMessage.h"
#include "common/net/PrivateAddress.h"
#include "common/text/Utf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::wstring text = Utf8ToWide(bytes);

    CCmdLineParser parser(text.c_str());
    for (const auto& [name, value] : parser.Options()) {
        if (!parser.HasOption(name)) std::abort();  // every stored name is found again
    }
    parser.GetOptionValue(L"id");

    HttpTarget target;
    if (SplitHttpUrl(text, target)) {
        if (target.server.empty()) std::abort();
        std::string request;
        BuildGetRequest(target, HeaderLines{kUserAgentLine, text}, request);
    }
    ExtractReplyBody(bytes);

    // A dotted quad is the only text that can count as public.
    if (!IsPrivateOrReservedIp(text) && !IsDottedQuad(text)) std::abort();

    std::wstring encoded = text;
    Base64Encode(encoded);
    if (encoded.size() % 4 != 0) std::abort();
    return 0;
}
