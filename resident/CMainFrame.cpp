#include "resident/CMainFrame.h"

#include <vector>

#include "common/MenuEntries.h"
#include "common/ModulePaths.h"
#include "common/ProgramStart.h"
#include "common/Registry.h"
#include "common/ResidentOptionsStore.h"
#include "common/UiText.h"
#include "common/core/SuiteNames.h"
#include "framework/Handles.h"
#include "framework/ModuleInstance.h"
#include "resident/CAboutDlg.h"
#include "resource.h"

const char CMainFrame::kTrayTip[] = "Corvina Plus";

namespace {

// The keys held now, not when the message was posted: the sender is another program.
bool IsKeyDown(int virtualKey) {
    return (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
}

} // namespace

CMainFrame::CMainFrame() : m_messages(RegisterCorvinaMessages()) {
    EnsureRegistryKey(HKEY_CURRENT_USER, kCorvinaPlusKeyPath);
}

CMainFrame::~CMainFrame() = default;

bool CMainFrame::CreateFrame() {
    return CreateEx(WS_EX_TOOLWINDOW, nullptr, kResidentFrameTitle, WS_OVERLAPPEDWINDOW,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr);
}

void CMainFrame::UnregisterHotKey() {
    if (m_hotKeyRegistered) {
        ::UnregisterHotKey(GetHwnd(), m_hotKeyId);
        m_hotKeyRegistered = false;
    }
}

void CMainFrame::ReadOptionsAndRegisterHotKey() {
    UnregisterHotKey();
    // A value that cannot be read keeps what was in use, not the default.
    m_options = LoadResidentOptions(m_options);

    if (!m_menu.GetHwnd()) {
        m_menu.Create(GetHwnd(), kMenuWindowId);
    }
    m_menu.SetOptions(m_options.tierFlag, m_options.folderOnly);

    const uint32_t modifiers = corvina::ToRegistrationModifiers(m_options.modifiers);
    m_hotKeyId = corvina::HotKeyIdentifier(modifiers, m_options.keyCode);
    // Another program may hold the combination: the key then simply does nothing.
    m_hotKeyRegistered =
        RegisterHotKey(GetHwnd(), m_hotKeyId, modifiers, m_options.keyCode) != FALSE;
}

HWND CMainFrame::FindSettingsSheet() {
    const std::string title = BuildSettingsSheetTitle();
    return FindWindowA(kSettingsSheetClass, title.c_str());
}

bool CMainFrame::StartSettingsProgram() {
    const std::string path = GetSiblingPath(GetThisModule(), corvina::kSettingsFileName);
    return !path.empty() && StartProgram(path, {});
}

HWND CMainFrame::GetAboutBox() const {
    return m_aboutBox ? m_aboutBox->GetHwnd() : nullptr;
}

bool CMainFrame::BringBlockingWindowForward() {
    if (HWND about = GetAboutBox()) {
        SetForegroundWindow(about);
        return true;
    }
    if (HWND sheet = FindSettingsSheet()) {
        SetForegroundWindow(sheet);
        return true;
    }
    return false;
}

void CMainFrame::ShowHotKeyMenu() {
    if (BringBlockingWindowForward()) {
        return;
    }
    if (!m_menu.GetHwnd()) {
        return;
    }
    POINT point{};
    GetCursorPos(&point);
    m_menu.ShowAt(point.x, point.y, TPM_RIGHTBUTTON);
}

void CMainFrame::ShowTrayMenu() {
    CMenuHandle menu(LoadMenuA(GetThisModule(), MAKEINTRESOURCEA(IDR_TRAYMENU)));
    HMENU popup = menu ? GetSubMenu(menu, 0) : nullptr;
    if (!popup) {
        return;
    }
    POINT point{};
    GetCursorPos(&point);
    TrackPopupMenuInForeground(popup, TPM_RIGHTBUTTON | TPM_BOTTOMALIGN, point.x, point.y,
                               GetHwnd(), GetHwnd());
    m_decorator.ReleaseAll();
}

void CMainFrame::ShowAboutBox() {
    if (HWND about = GetAboutBox()) {
        SetForegroundWindow(about);
        return;
    }
    SetForegroundWindow(GetHwnd());
    CAboutDlg dialog;
    m_aboutBox = &dialog;
    dialog.DoModal(GetHwnd());
    m_aboutBox = nullptr;
}

void CMainFrame::OnTrayLButtonDown(UINT /*id*/) {
    ShowHotKeyMenu();
}

void CMainFrame::OnTrayRButtonDown(UINT /*id*/) {
    if (!BringBlockingWindowForward()) {
        ShowTrayMenu();
    }
}

void CMainFrame::OnCreate() {
    HICON icon = static_cast<HICON>(LoadImageA(GetThisModule(), MAKEINTRESOURCEA(IDI_TRAY),
                                               IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
    AddTrayIcon(kTrayIconId, CIconHandle(icon), kTrayTip);
    ReadOptionsAndRegisterHotKey();
    m_decorator.Attach(GetHwnd(), GetThisModule(), IDR_MAINFRAME, 16, 15);
}

bool CMainFrame::OnCommand(UINT id) {
    switch (id) {
    case IDM_SETTINGS:
        StartSettingsProgram();
        return true;
    case IDM_ABOUT:
        ShowAboutBox();
        return true;
    case IDM_EXIT:
        // A modal about box would keep running its loop over a dead owner.
        if (HWND about = GetAboutBox()) {
            EndDialog(about, IDCANCEL);
        }
        DestroyWindow();
        return true;
    }
    return false;
}

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (m_decorator.HandleMessage(message, wParam, lParam, &result)) {
        return result;
    }
    if (message == m_messages.updateOption && message != 0) {
        if (wParam != 0) {
            UnregisterHotKey();
        } else {
            ReadOptionsAndRegisterHotKey();
        }
        return 0;
    }
    if (message == m_messages.menuMessage && message != 0) {
        ShowHotKeyMenu();
        return 0;
    }
    if (message == m_messages.hookMessage && message != 0) {
        if (!GetAboutBox() && corvina::IsHookKeyMatch(wParam, m_options.keyCode,
                                                      m_options.modifiers, IsKeyDown(VK_MENU),
                                                      IsKeyDown(VK_CONTROL), IsKeyDown(VK_SHIFT))) {
            PostMessageA(GetHwnd(), m_messages.menuMessage, 0, 0);
        }
        return 0;
    }
    switch (message) {
    case WM_CREATE:
        OnCreate();
        return 0;
    case WM_HOTKEY:
        if (HWND about = GetAboutBox()) {
            SetForegroundWindow(about);
        } else {
            PostMessageA(GetHwnd(), m_messages.menuMessage, 0, 0);
        }
        return 0;
    case WM_COMMAND:
        if (OnCommand(LOWORD(wParam))) {
            return 0;
        }
        break;
    case WM_SETTINGCHANGE:
        // Broadcasts reach top-level windows only; the menu window measures with the menu
        // font of the moment.
        if (m_menu.GetHwnd()) {
            SendMessageA(m_menu.GetHwnd(), message, wParam, lParam);
        }
        break;
    case WM_ENDSESSION:
        // The process ends without WM_DESTROY when the session does.
        if (wParam) {
            UnregisterHotKey();
            DeleteAllTrayIcons();
        }
        return 0;
    case WM_DESTROY:
        UnregisterHotKey();
        break; // the icons go in the base class
    }
    return CTaskTrayWnd::WindowProc(message, wParam, lParam);
}
