// A hidden frame window with notification-area icons: it remembers every icon it added so that
// they can be added again when the taskbar restarts, removes them when the window goes, and
// turns the icons' mouse notifications into virtual operations.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <map>
#include <string>

#include "framework/CWnd.h"
#include "framework/Handles.h"

class CTaskTrayWnd : public CWnd {
public:
    // The callback message of every icon of this window.
    static constexpr UINT kTrayCallbackMessage = WM_USER + 1;

    CTaskTrayWnd();
    ~CTaskTrayWnd() override;

    // Adds an icon and remembers it; the window owns the icon (destroyed with the entry), so
    // pass a copy of a shared icon. An icon already known under id is replaced (and destroyed
    // unless it is the same handle). False when the shell refused it; it is still remembered,
    // to be added again when the taskbar starts.
    bool AddTrayIcon(UINT id, CIconHandle icon, const char* tip);
    // Removes the icon from the notification area and forgets it.
    bool DeleteTrayIcon(UINT id);
    void DeleteAllTrayIcons();
    // Adds every remembered icon again (after "TaskbarCreated"). Returns how many the shell
    // accepted.
    int ReAddTrayIcons();
    size_t GetTrayIconCount() const { return m_icons.size(); }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    // Mouse notifications of icon id. The defaults do nothing.
    virtual void OnTrayLButtonDown(UINT id) { (void)id; }
    virtual void OnTrayRButtonDown(UINT id) { (void)id; }
    virtual void OnTrayLButtonDblClk(UINT id) { (void)id; }
    virtual void OnTrayRButtonDblClk(UINT id) { (void)id; }

private:
    struct TrayIcon {
        CIconHandle icon;
        std::string tip;
    };
    bool NotifyIcon(DWORD action, UINT id, const TrayIcon& entry);

    std::map<UINT, TrayIcon> m_icons;
    UINT m_taskbarCreated;
};
