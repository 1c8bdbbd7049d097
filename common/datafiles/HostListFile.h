#pragma once
// etc\host_list.xml: the service's list of the user's hosts, stored whole by the host-list updater. A
// root of any name holds `result` (attribute `code`), which holds one `host` per host (attributes
// `name`, `ip`, `status`, `offtype`). There is no default: a missing or damaged file fails to load.
#include <string>
#include <unordered_map>

#include "common/datafiles/DataFile.h"

// What the service holds for one host.
struct HostListEntry {
    std::wstring ip;
    std::wstring status;
    std::wstring offtype;
};

class CHostListFile : public CDataFile {
public:
    static CHostListFile* GetInstance() { return ProcessInstance<CHostListFile>(); }

    // Reads and parses the file; false when either fails, and then the file and the document's text do
    // not change. After a load the parent is `result` and no host is current: callers walk the hosts with
    // SeekElement("host") or FindHost.
    bool Load(const std::wstring& path);

    // Whether a reply of the service may replace the file: one well-formed document whose root (of any
    // name) holds a `result` element, an error code included. A captive portal's XHTML page is well formed
    // too, but holds no result. The document's position is moved.
    static bool IsServiceReply(CXmlTextDoc& reply, bool wellFormed);

    std::wstring GetHostIp() const;
    std::wstring GetOffType() const;
    // The `code` of `result` (empty when missing); the position is then inside `result` again.
    std::wstring GetResultCode();
    // Every host by name, read in one walk; of hosts that share a name the first counts, as FindHost finds
    // it. The position is moved.
    std::unordered_map<std::wstring, HostListEntry> IndexHosts();

private:
    void PositionAfterLoad() override;
};
