// The application object of a program: one per process, constructed as a global. The
// program's WinMain hands control to it:
//
//   CMyApp theApp;
//   int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
//       return CApp::RunApplication(instance, commandLine, show);
//   }
#pragma once

#include <windows.h>

#include <vector>

class CApp {
public:
    CApp();
    CApp(const CApp&) = delete;
    CApp& operator=(const CApp&) = delete;
    virtual ~CApp();

    // The application object of this process, or nullptr.
    static CApp* GetApp() { return s_app; }
    // Sets up the application object, then InitInstance; when that returns true runs the
    // message loop, otherwise ends at once. Returns the process exit code.
    static int RunApplication(HINSTANCE instance, LPSTR commandLine, int showCommand);

    HINSTANCE GetInstance() const { return m_instance; }
    const char* GetCommandLineText() const { return m_commandLine; }
    int GetShowCommand() const { return m_showCommand; }

    // Return false when the program has done its work (or failed) and no message loop is to
    // run; ExitInstance is called either way.
    virtual bool InitInstance() { return true; }
    // Returns the exit code; by default the one WM_QUIT carried (0 without a loop).
    virtual int ExitInstance() { return m_exitCode; }
    // The message loop; returns when WM_QUIT arrives.
    virtual int Run();
    // Gives a message to the program before it is dispatched; true means it was handled.
    // The default passes it to the modeless dialogs registered below (IsDialogMessage).
    virtual bool PreTranslateMessage(MSG& message);

    // The main window: when it is destroyed the message loop ends.
    HWND GetMainWindow() const { return m_mainWindow; }
    void SetMainWindow(HWND window) { m_mainWindow = window; }

    // Modeless dialogs that need keyboard navigation in the loop.
    void AddModelessDialog(HWND dialog);
    void RemoveModelessDialog(HWND dialog);

    // InitCommonControlsEx with the given classes (ICC_*).
    static bool InitCommonControls(DWORD classes);

    // Called by the framework's windows when a window is finally destroyed.
    void OnWindowDestroyed(HWND window);

private:
    static CApp* s_app;
    HINSTANCE m_instance = nullptr;
    LPSTR m_commandLine = nullptr;
    int m_showCommand = SW_SHOWNORMAL;
    int m_exitCode = 0;
    HWND m_mainWindow = nullptr;
    std::vector<HWND> m_modelessDialogs;
};
