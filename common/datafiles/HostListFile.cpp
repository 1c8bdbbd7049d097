#include "common/datafiles/HostListFile.h"

#include "common/fs/File.h"

bool CHostListFile::Load(const std::wstring& path) {
    // A reply that is not XML leaves the hosts of the last good load in place (see LoadText).
    std::string bytes;
    std::wstring error;
    if (!zfs::ReadFileBytes(path, bytes, error) || !LoadText(bytes)) return false;
    m_path = path;
    return true;
}

void CHostListFile::PositionAfterLoad() { EnterPath({L"", L"result"}); }

bool CHostListFile::IsServiceReply(CXmlTextDoc& reply, bool wellFormed) {
    return wellFormed && reply.SeekElement(std::wstring()) && reply.EnterElement() && reply.SeekElement(L"result");
}

std::wstring CHostListFile::GetHostIp() const { return m_doc.ReadAttr(L"ip"); }
std::wstring CHostListFile::GetOffType() const { return m_doc.ReadAttr(L"offtype"); }
std::wstring CHostListFile::GetResultCode() { return ReadResultCode(L""); }

std::unordered_map<std::wstring, HostListEntry> CHostListFile::IndexHosts() {
    std::unordered_map<std::wstring, HostListEntry> hosts;
    hosts.reserve(m_doc.GetSlotsUsed());  // at least one slot per host
    if (!EnterPath({L"", L"result"})) return hosts;
    while (m_doc.SeekElement(L"host")) {
        hosts.try_emplace(GetHostName(), HostListEntry{GetHostIp(), GetHostStatus(), GetOffType()});
    }
    return hosts;
}
