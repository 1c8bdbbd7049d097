#include "common/framework/WinApp.h"

#include "common/framework/Dialog.h"
#include "common/framework/Wnd.h"

namespace {
CWinApp* g_app = nullptr;
}

CWinApp::CWinApp() { g_app = this; }

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

int CWinApp::Run() {
    MSG msg{};
    for (;;) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got == -1) return -1;
        if (!CWnd::PreTranslateChain(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

CWinApp* AfxGetApp() { return g_app; }

HWND AfxGetMainWindow() { return g_app && g_app->m_pMainWnd ? g_app->m_pMainWnd->m_hWnd : nullptr; }

HINSTANCE AfxGetResourceHandle() {
    return g_app && g_app->m_hInstance ? g_app->m_hInstance : ::GetModuleHandleW(nullptr);
}

int RunApplication(HINSTANCE instance) {
    CWinApp* app = g_app;
    if (!app) return -1;
    app->m_hInstance = instance;
    if (app->InitInstance() && app->m_pMainWnd && app->m_pMainWnd->IsWindow()) app->SetExitCode(app->Run());
    return app->ExitInstance();
}

INT_PTR CWinApp::RunMainDialog(CDialog& dialog) {
    m_pMainWnd = &dialog;
    const INT_PTR result = dialog.DoModal();
    m_pMainWnd = nullptr;
    return result;
}
