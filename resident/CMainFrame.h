// The resident program's hidden main window: the notification icon and its menu, the options
// and the global hot key, the messages from the settings program and the installer, and the
// hot-key menu window.
#pragma once

#include <windows.h>

#include "common/WindowMessages.h"
#include "resident/CMenuDecorator.h"
#include "resident/CTaskTrayWnd.h"
#include "resident/CorvinaPlusMenu.h"
#include "resident/core/ResidentOptions.h"

class CAboutDlg;

class CMainFrame : public CTaskTrayWnd {
public:
    static const char kTrayTip[]; // "Corvina Plus"
    static constexpr UINT kTrayIconId = 100;
    static constexpr UINT kMenuWindowId = 100;

    // Makes sure the options key exists; options start at their defaults.
    CMainFrame();
    ~CMainFrame() override;

    // Creates the never-shown tool window.
    bool CreateFrame();

    // Re-reads the options and registers the hot key under them.
    void ReadOptionsAndRegisterHotKey();
    void UnregisterHotKey();
    const corvina::ResidentOptions& GetOptions() const { return m_options; }
    bool IsHotKeyRegistered() const { return m_hotKeyRegistered; }

    // The settings program's sheet if it is open, else null.
    static HWND FindSettingsSheet();
    // Starts the settings program beside this module; false when it could not be started.
    static bool StartSettingsProgram();

    // Brings the about box or the settings sheet forward when either is open; true if so.
    bool BringBlockingWindowForward();
    // The hot-key menu at the mouse position, unless something blocks it.
    void ShowHotKeyMenu();
    void ShowTrayMenu();
    void ShowAboutBox();
    HWND GetAboutBox() const;
    const CorvinaPlusMenu& GetMenuWindow() const { return m_menu; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void OnTrayLButtonDown(UINT id) override;
    void OnTrayRButtonDown(UINT id) override;

private:
    void OnCreate();
    bool OnCommand(UINT id);

    RegisteredMessages m_messages;
    corvina::ResidentOptions m_options;
    int m_hotKeyId = 0;
    bool m_hotKeyRegistered = false;
    CAboutDlg* m_aboutBox = nullptr;
    CorvinaPlusMenu m_menu;
    CMenuDecorator m_decorator;
};
