#include "common/datafiles/HostListFile.h"

bool CHostListFile::Load(const std::wstring& path) {
    // Parsed aside first: a reply that is not XML leaves the hosts of the last good load in place.
    CXmlTextDoc fresh;
    if (!fresh.LoadFile(path)) return false;
    m_doc.SetText(fresh.GetText());
    m_path = path;
    EnterPath({L"", L"result"});
    return true;
}

bool CHostListFile::IsServiceReply(CXmlTextDoc& reply, bool wellFormed) {
    return wellFormed && reply.SeekElement(std::wstring()) && reply.EnterElement() && reply.SeekElement(L"result");
}

std::wstring CHostListFile::GetHostIp() const { return m_doc.ReadAttr(L"ip"); }
std::wstring CHostListFile::GetOffType() const { return m_doc.ReadAttr(L"offtype"); }
std::wstring CHostListFile::GetResultCode() { return ReadResultCode(L""); }
