#include "common/language/LangTable.h"

#include "common/base/Singleton.h"
#include "common/fs/File.h"
#include "common/text/Utf.h"
#include "common/xml/XmlDataFile.h"

namespace {

constexpr wchar_t kGeneralSection[] = L"general";

// A language name names a file inside lang: no separators, no drive, no NUL.
bool IsPlainFileName(const std::wstring& name) {
    return !name.empty() && name.find_first_of(std::wstring(L"\\/:\0", 4)) == std::wstring::npos;
}

}  // namespace

std::wstring CLangSection::GetText(const std::wstring& key) const {
    return m_table->GetText(m_name, key);
}

CLangTable* CLangTable::GetInstance() {
    return ProcessInstance<CLangTable>();
}

bool CLangTable::Load(const std::wstring& folder, const std::wstring& language) {
    if (!IsPlainFileName(language)) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_doc.SetText(std::wstring());
        return false;
    }
    return LoadFile(folder + L"\\lang\\" + language + L".xml");
}

bool CLangTable::LoadFile(const std::wstring& path) {
    std::string bytes;
    std::wstring error;
    // A file that cannot be read loads as an empty one: no texts at all.
    if (!zfs::ReadFileBytes(path, bytes, error)) bytes.clear();
    return LoadText(bytes);
}

bool CLangTable::LoadText(const std::string& text) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_doc.SetText(Utf8ToWide(text))) return true;
    // Whatever a failed parse left is not a language file: hold no texts at all.
    m_doc.SetText(std::wstring());
    return false;
}

CLangSection CLangTable::SelectSection(const std::wstring& section) {
    return CLangSection(*this, section);
}

std::wstring CLangTable::GetText(const std::wstring& section, const std::wstring& key) {
    // An empty name would match any element; no section or text is named so.
    if (section.empty() || key.empty()) return std::wstring();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_doc.RewindToTop();
    if (!m_doc.SeekElement(std::wstring()) || !m_doc.EnterElement()) return std::wstring();
    if (!m_doc.SeekElement(section) || !m_doc.EnterElement()) return std::wstring();
    if (!m_doc.SeekElement(key)) return std::wstring();
    return ExpandLineBreaks(m_doc.ReadText());
}

std::wstring CLangTable::GetText(const std::wstring& key) {
    return GetText(kGeneralSection, key);
}

std::wstring CLangTable::ExpandLineBreaks(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\\' && i + 1 < text.size() && text[i + 1] == L'n') {
            out += L'\n';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}
