#pragma once
// What every program of the suite does as it starts: find the installation root, load etc\config.xml and
// the language file it names, open the log, and tell a failed load either by a fixed English box (the language file
// cannot give its texts) or not at all (the workers end silently). The box's texts are built here only.
#include <windows.h>

#include <string>
#include <utility>

#include "common/process/Process.h"

// The caption of every fixed box: a failed start-up load or a usage text.
constexpr wchar_t kErrorBoxCaption[] = L"Zorvane - ERROR";

// "Can't open a file : <file>\n\nPlease reinstall the 'Zorvane DDNS Client'" (config.xml, <language>.xml).
std::wstring CantOpenFileText(const std::wstring& file);
// The sign-in program's one text for any start-up file: "Can't open a config file\n\nPlease reinstall ...".
std::wstring CantOpenConfigFileText();
// A plain message box with the caption kErrorBoxCaption, MB_OK | MB_ICONWARNING, owned by `owner` (may be
// null); returns when it is closed.
void ShowErrorBox(HWND owner, const std::wstring& text);

class CAppStartup {
public:
    // Failed loads show nothing.
    static CAppStartup Silent(std::wstring root = GetInstallRoot()) {
        return CAppStartup(std::move(root), false, nullptr);
    }
    // Failed loads show their fixed box, owned by `owner` (null: no owner).
    static CAppStartup WithBoxes(HWND owner, std::wstring root = GetInstallRoot()) {
        return CAppStartup(std::move(root), true, owner);
    }

    const std::wstring& Root() const { return m_root; }
    // <root>\etc\<file>
    std::wstring EtcPath(const std::wstring& file) const { return m_root + L"\\etc\\" + file; }

    // CConfigFile::Load of <root>\etc\config.xml (defaults written over a missing or damaged file); on
    // failure the box "Can't open a file : config.xml".
    bool LoadConfig() const;
    // CLangTable::Load of the language that the loaded settings name; on failure the box with
    // "<language>.xml".
    bool LoadLanguage() const;
    // Points the process's log (CLogFile) at <root>\log with the level that the loaded settings name.
    void OpenLog() const;
    // The fixed text of the last load that failed (empty while none did), for a caller that shows it itself.
    const std::wstring& FailureText() const { return m_failure; }

private:
    CAppStartup(std::wstring root, bool boxes, HWND owner)
        : m_root(std::move(root)), m_boxes(boxes), m_owner(owner) {}
    bool Failed(const std::wstring& file) const;

    std::wstring m_root;
    bool m_boxes;
    HWND m_owner;
    mutable std::wstring m_failure;
};
