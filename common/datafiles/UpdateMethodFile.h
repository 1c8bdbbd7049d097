#pragma once
// etc\update_method.xml: how the address is found, <update_method type="..." data="..."/> under the
// root; type "IP", "LAN" (data: the adapter's MAC address) or "DIRECT" (data: the address).
#include <string>

#include "common/datafiles/DataFile.h"

class CUpdateMethodFile : public CDataFile {
public:
    static CUpdateMethodFile* GetInstance() { return ProcessInstance<CUpdateMethodFile>(); }

    // Loads the file, or writes the default over a missing or damaged one and loads that; then the
    // `update_method` element under the root (of any name) is current.
    bool Load(const std::wstring& path);
    // <zorvane> with one <update_method type="IP" data=""/>; remembers the path and writes the file.
    bool WriteDefault(const std::wstring& path);

    std::wstring GetType() const;
    std::wstring GetData() const;
    // Change the current element only; nothing happens when none is current.
    void SetType(const std::wstring& value);
    void SetData(const std::wstring& value);

private:
    void PositionAfterLoad() override;
};
