#pragma once
// etc\update_result.xml: the service's reply to the last update, stored whole by the IP updater: the
// root `zorvane` holds `result` (attribute `code`), which holds one `host` (attribute `code`) per host.
#include <string>

#include "common/datafiles/DataFile.h"

class CUpdateResultFile : public CDataFile {
public:
    static CUpdateResultFile* GetInstance() { return ProcessInstance<CUpdateResultFile>(); }

    // Loads the file, or writes the empty document over a missing or damaged one and loads that; then
    // the parent is `result` and no host is current.
    bool Load(const std::wstring& path);
    // Load of the remembered path; false when there is none.
    bool Reload();

    // The `code` of the current element (`result` or a `host`).
    std::wstring GetCode() const;
    // The `code` of `result` under the root `zorvane` (empty when either is missing); the position is
    // then inside `result` again.
    std::wstring GetResultCode();

private:
    void PositionAfterLoad() override;
};
