// The XML-based older client: its etc files copied over, then the settings of its program.xml taken over
// into the copied config.xml and the account kept as its sign-in setting says.
#include <string>

#include "common/datafiles/UserFile.h"
#include "common/fs/File.h"
#include "common/settings/ConfigFile.h"
#include "common/settings/ServiceHost.h"
#include "common/xml/XmlTextDoc.h"
#include "migration/ZorvaneMigrateApp.h"

namespace {

// Replaces `to` with the bytes of `from`, all or nothing; a file that cannot be read leaves `to` as it is.
void CopyOldFile(const std::wstring& from, const std::wstring& to) {
    std::string bytes;
    std::wstring error;
    if (zfs::ReadFileBytes(from, bytes, error)) zfs::WriteFileAtomic(to, bytes, error);
}

// The old settings file: the root `zorvane` and its children.
class COldProgramSettings {
public:
    explicit COldProgramSettings(const std::wstring& path)
        : m_read(m_doc.LoadFile(path) && m_doc.SeekElement(L"zorvane") && m_doc.EnterElement()) {}

    // The text of the root's first child named `key`, searched from the first child whatever was found
    // before, so the keys may stand in any order. False when there is none.
    bool Find(const wchar_t* key, std::wstring& text) {
        if (!m_read) return false;
        m_doc.RewindInParent();
        if (!m_doc.SeekElement(key)) return false;
        text = m_doc.ReadText();
        return true;
    }

private:
    CXmlTextDoc m_doc;
    bool m_read;
};

}  // namespace

void CZorvaneMigrateApp::MigrateFromXmlInstall() {
    const std::wstring target = TargetFolder();
    const std::wstring oldEtc = m_oldXmlFolder + L"etc\\";
    const struct {
        const wchar_t* from;
        const wchar_t* to;
    } copies[] = {
        {L"user.xml", L"user.xml"},
        {L"program.xml", L"config.xml"},
        {L"update_method.xml", L"update_method.xml"},
        {L"update_list.xml", L"update_list.xml"},
        {L"host_list.xml", L"host_list.xml"},
    };
    for (const auto& copy : copies) CopyOldFile(oldEtc + copy.from, target + copy.to);

    CConfigFile* config = CConfigFile::GetInstance();
    CUserFile* user = CUserFile::GetInstance();
    if (!config->Load(target + L"config.xml") || !user->Load(target + L"user.xml")) return;

    COldProgramSettings old(oldEtc + L"program.xml");
    std::wstring text;
    if (old.Find(L"langauge", text)) config->SetLanguage(text == L"korea" ? L"korean" : text);

    config->SetSaveId(false);
    config->SetSavePassword(false);
    if (old.Find(L"auto_login", text)) {
        if (text == L"true") {
            config->SetSaveId(true);
            config->SetSavePassword(true);
        } else {
            user->SetId(L"");
            user->SetPassword(L"");
        }
    }
    // Defaults only for what the old file really lacks; the copy holds the rest.
    if (!old.Find(L"ip_update_period", text)) config->SetIpUpdatePeriod(5);
    if (!old.Find(L"auto_program_update", text)) config->SetAutoProgramUpdate(true);
    if (!old.Find(L"program_update_period", text)) config->SetProgramUpdatePeriod(1440);

    config->SetUpdateUrl(DefaultServiceUrl(L"/update.php"));
    config->SetIpUrl(DefaultServiceUrl(L"/getip.php"));
    config->SetHostUrl(DefaultServiceUrl(L"/gethost.php"));

    config->Save();
    user->Save();
    ApplyStartupSettings();
}
