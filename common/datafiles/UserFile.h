#pragma once
// etc\user.xml: the saved account, attributes `id` and `password` of the element `user`.
#include <string>

#include "common/datafiles/DataFile.h"

class CUserFile : public CDataFile {
public:
    static CUserFile* GetInstance() { return ProcessInstance<CUserFile>(); }

    // Loads the file, or writes the default over a missing or damaged one and loads that; then the
    // `user` element under the root (of any name) is current.
    bool Load(const std::wstring& path);
    // <zorvane> with one <user id="" password=""/>; remembers the path and writes the file.
    bool WriteDefault(const std::wstring& path);

    std::wstring GetId() const;
    std::wstring GetPassword() const;
    // Change the current element only; nothing happens when none is current.
    void SetId(const std::wstring& value);
    void SetPassword(const std::wstring& value);

private:
    void PositionAfterLoad() override;
};
