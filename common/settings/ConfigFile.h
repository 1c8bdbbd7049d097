#pragma once
// The settings store over etc\config.xml: one child element of the root `zorvane` per setting, holding
// the value as its text. Setters change the document only; a program writes the file with Save.
#include <string>

#include "common/base/Singleton.h"
#include "common/xml/XmlDataFile.h"

class CConfigFile : public CXmlDataFile {
public:
    // The one store of the process, created on first use.
    static CConfigFile* GetInstance() { return ProcessInstance<CConfigFile>(); }

    // Loads the file, or writes the default document over a missing or damaged one and loads that; then
    // positions inside the root. True once a file was read and parsed, whatever its root's name.
    bool Load(const std::wstring& path);
    // Makes the document the default settings, remembers the path and writes the file.
    bool WriteDefault(const std::wstring& path);

    std::wstring GetIpUrl();
    std::wstring GetHostUrl();
    std::wstring GetUpdateUrl();
    std::wstring GetLanguage();
    bool GetNtService();
    bool GetAutoStart();
    bool GetSaveId();
    bool GetSavePassword();
    bool GetAutoLogin();
    bool GetAutoProgramUpdate();
    int GetIpUpdatePeriod();
    bool GetShowDdnsConfig();
    bool GetShowSystemTray();
    int GetSelectedMenu();
    int GetLogLevel();
    std::wstring GetProgramUpdateMode();

    void SetIpUrl(const std::wstring& value);
    void SetHostUrl(const std::wstring& value);
    void SetUpdateUrl(const std::wstring& value);
    void SetLanguage(const std::wstring& value);
    void SetNtService(bool value);
    void SetAutoStart(bool value);
    void SetSaveId(bool value);
    void SetSavePassword(bool value);
    void SetAutoLogin(bool value);
    void SetAutoProgramUpdate(bool value);
    void SetProgramUpdatePeriod(int value);
    void SetIpUpdatePeriod(int value);
    void SetShowDdnsConfig(bool value);
    void SetShowSystemTray(bool value);
    void SetSelectedMenu(int value);
    void SetLogLevel(int value);
    void SetProgramUpdateMode(const std::wstring& value);

private:
    void PositionAfterLoad() override;
    // Every key works among the children of the root `zorvane`; a document with another root has no keys.
    bool EnterRoot();
    std::wstring ReadKey(const wchar_t* key);
    bool ReadFlag(const wchar_t* key);
    int ReadNumber(const wchar_t* key);
    void StoreKey(const wchar_t* key, const std::wstring& value);
    void StoreFlag(const wchar_t* key, bool value);
    void StoreNumber(const wchar_t* key, int value);
};
