#pragma once
// A recording program in place of the shell's "open" for a URL scheme (http) or a file extension (.msc), so
// that a program under test can open a web page or a console and nothing leaves the machine.
#include <string>
#include <vector>

namespace ztest {

// While it lives, the shell opens `schemeOrExtension` with `program`: an address as "\"program\" \"%1\"", a
// file as "\"program\" \"%1\" %*" (the file, then the parameters). Written below
// HKEY_LOCAL_MACHINE\Software\Classes, since Wine's shell reads no per-user classes, and put back as it was
// when the object goes.
class ShellOpenHandler {
public:
    ShellOpenHandler(const std::wstring& schemeOrExtension, const std::wstring& program);
    ~ShellOpenHandler();
    ShellOpenHandler(const ShellOpenHandler&) = delete;
    ShellOpenHandler& operator=(const ShellOpenHandler&) = delete;

    // True when every value was written.
    bool Registered() const { return m_registered; }

private:
    bool SetDefaultValue(const std::wstring& key, const std::wstring& value);

    struct Saved {
        std::wstring key;      // the key whose default value was replaced
        std::wstring created;  // the topmost key that did not exist before, deleted with everything below it
        bool hadValue = false;
        unsigned long type = 0;
        std::wstring value;
    };
    std::vector<Saved> m_saved;
    bool m_registered = false;
};

}  // namespace ztest
