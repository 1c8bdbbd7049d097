#pragma once
// etc\update_list.xml: the hosts the user wants kept up to date, one <host name="..." status="..."/>
// under the root `zorvane` each; status "ONLINE" or "OFFLINE".
#include <functional>
#include <string>

#include "common/datafiles/DataFile.h"

class CUpdateListFile : public CDataFile {
public:
    static CUpdateListFile* GetInstance() { return ProcessInstance<CUpdateListFile>(); }

    // Loads the file, or writes the empty document over a missing or damaged one and loads that; then
    // the parent is the root and no host is current.
    bool Load(const std::wstring& path);

    // Adds <host name="name" status="ONLINE"/> after the current element (last when none is current)
    // and makes it current; a host of the same name may already exist. False only when the document
    // has no root to hold it.
    bool AddHost(const std::wstring& name);
    // Removes the first host of that name; its previous sibling becomes current (none when it was the
    // first). False when there is no such host.
    bool RemoveHost(const std::wstring& name);
    // Walks the hosts once, from the first, and removes each whose name `remove` picks (it is asked once per
    // host, in document order); the last host kept stays current.
    void RemoveHostsWhere(const std::function<bool(const std::wstring& name)>& remove);
    // Stores `status` on the current element; nothing happens when none is current.
    void SetHostStatus(const std::wstring& value);

private:
    void PositionAfterLoad() override;
};
