#pragma once
// CWinApp: the application object that every program derives from, one global instance per program.
//
//   class CMyApp : public CWinApp { public: BOOL InitInstance() override; };
//   CMyApp theApp;
//   ZORVANE_WINMAIN()
//
// The entry point runs InitInstance; when it returns TRUE and a main window exists, the message loop runs
// until WM_QUIT. The process's exit code is what ExitInstance returns: the code set with SetExitCode, or the
// WM_QUIT code when the loop ran.
#include <windows.h>

#include <string>

class CDialog;
class CWnd;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return m_exitCode; }
    // The message loop; returns the WM_QUIT code.
    virtual int Run();

    // The registry key below HKEY_CURRENT_USER\Software that the program names for its settings.
    void SetRegistryKey(const wchar_t* key) { m_registryKey = key ? key : L""; }
    const std::wstring& GetRegistryKey() const { return m_registryKey; }

    // Runs `dialog` modally as the program's main window (m_pMainWnd while it runs); gives DoModal's result.
    INT_PTR RunMainDialog(CDialog& dialog);

    void SetExitCode(int code) { m_exitCode = code; }
    int GetExitCode() const { return m_exitCode; }

    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;

private:
    std::wstring m_registryKey;
    int m_exitCode = 0;
};

// The program's application object (null before it is constructed).
CWinApp* AfxGetApp();
// The program's main window handle, or null.
HWND AfxGetMainWindow();
// The module that holds the program's resources (dialogs, icons): the application's instance, or the
// executable's when no application object has started.
HINSTANCE AfxGetResourceHandle();

// The body of the entry point: InitInstance, the loop, ExitInstance. Returns the exit code.
int RunApplication(HINSTANCE instance);

#define ZORVANE_WINMAIN() \
    int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return RunApplication(instance); }
