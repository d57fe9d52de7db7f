#include "framework/CApp.h"

#include <commctrl.h>

#include <algorithm>

CApp* CApp::s_app = nullptr;

CApp::CApp() {
    if (!s_app) {
        s_app = this;
    }
}

CApp::~CApp() {
    if (s_app == this) {
        s_app = nullptr;
    }
}

int CApp::RunApplication(HINSTANCE instance, LPSTR commandLine, int showCommand) {
    CApp* app = s_app;
    if (!app) {
        return -1;
    }
    app->m_instance = instance;
    app->m_commandLine = commandLine;
    app->m_showCommand = showCommand;
    if (!app->InitInstance()) {
        return app->ExitInstance();
    }
    return app->Run();
}

int CApp::Run() {
    MSG message;
    for (;;) {
        const BOOL result = GetMessageA(&message, nullptr, 0, 0);
        if (result == 0) {
            m_exitCode = static_cast<int>(message.wParam);
            break;
        }
        if (result == -1) {
            m_exitCode = -1;
            break;
        }
        if (!PreTranslateMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return ExitInstance();
}

bool CApp::PreTranslateMessage(MSG& message) {
    // Iterate over a copy: a dialog may close itself while handling the message.
    const std::vector<HWND> dialogs = m_modelessDialogs;
    for (HWND dialog : dialogs) {
        if (IsWindow(dialog) && IsDialogMessageA(dialog, &message)) {
            return true;
        }
    }
    return false;
}

void CApp::AddModelessDialog(HWND dialog) {
    if (dialog && std::find(m_modelessDialogs.begin(), m_modelessDialogs.end(), dialog) ==
                      m_modelessDialogs.end()) {
        m_modelessDialogs.push_back(dialog);
    }
}

void CApp::RemoveModelessDialog(HWND dialog) {
    m_modelessDialogs.erase(std::remove(m_modelessDialogs.begin(), m_modelessDialogs.end(), dialog),
                            m_modelessDialogs.end());
}

bool CApp::InitCommonControls(DWORD classes) {
    INITCOMMONCONTROLSEX init = {sizeof(init), classes};
    return InitCommonControlsEx(&init) != FALSE;
}

void CApp::OnWindowDestroyed(HWND window) {
    RemoveModelessDialog(window);
    if (window && window == m_mainWindow) {
        m_mainWindow = nullptr;
        PostQuitMessage(0);
    }
}
