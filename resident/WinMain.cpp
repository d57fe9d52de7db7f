// Entry point of CorvinaPlus.exe: one instance per user, a hidden frame, a message loop.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <memory>
#include <new>

#include "common/WindowMessages.h"
#include "framework/CApp.h"
#include "framework/Handles.h"
#include "resident/CMainFrame.h"

namespace {

class CCorvinaPlusApp : public CApp {
public:
    bool InitInstance() override {
        // Kept open for the life of the process: it marks the running instance.
        m_instanceMutex.Attach(CreateMutexA(nullptr, FALSE, kResidentMutexName));
        if (GetLastError() == ERROR_ALREADY_EXISTS) {
            if (HWND running = FindWindowA(nullptr, kResidentFrameTitle)) {
                SetForegroundWindow(running);
            }
            return false;
        }
        m_comInitialised = SUCCEEDED(CoInitialize(nullptr));
        InitCommonControls(ICC_WIN95_CLASSES);
        m_frame.reset(new (std::nothrow) CMainFrame);
        if (!m_frame || !m_frame->CreateFrame()) {
            return false;
        }
        SetMainWindow(m_frame->GetHwnd());
        return true;
    }

    int ExitInstance() override {
        m_frame.reset();
        if (m_comInitialised) {
            CoUninitialize();
        }
        return CApp::ExitInstance();
    }

private:
    CHandle m_instanceMutex;
    std::unique_ptr<CMainFrame> m_frame;
    bool m_comInitialised = false;
};

CCorvinaPlusApp theApp;

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR commandLine, int show) {
    return CApp::RunApplication(instance, commandLine, show);
}
