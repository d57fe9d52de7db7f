#include "resident/CTaskTrayWnd.h"

#include <cstring>
#include <utility>

#include "common/UiText.h"
#include "common/WindowMessages.h"

namespace {

// The version 2 structure (tip of 128 bytes, balloon fields): 488 bytes on 32-bit Windows,
// which every shell since Windows 2000 accepts and older shells read up to the tip. A
// 64-bit build passes the same layout at its own size.
constexpr DWORD kNotifyIconDataSize = NOTIFYICONDATAA_V2_SIZE;
#ifndef _WIN64
static_assert(NOTIFYICONDATAA_V2_SIZE == 488, "32-bit notify icon data must be 488 bytes");
#endif

} // namespace

CTaskTrayWnd::CTaskTrayWnd()
    : m_taskbarCreated(RegisterWindowMessageA(kTaskbarCreatedMessageName)) {}

CTaskTrayWnd::~CTaskTrayWnd() {
    DeleteAllTrayIcons();
}

bool CTaskTrayWnd::NotifyIcon(DWORD action, UINT id, const TrayIcon& entry) {
    if (!GetHwnd()) {
        return false;
    }
    NOTIFYICONDATAA data;
    std::memset(&data, 0, sizeof data);
    data.cbSize = kNotifyIconDataSize;
    data.hWnd = GetHwnd();
    data.uID = id;
    if (action != NIM_DELETE) {
        data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        data.uCallbackMessage = kTrayCallbackMessage;
        data.hIcon = entry.icon.Get();
        CopyAnsiTextToBuffer(entry.tip, data.szTip, sizeof data.szTip);
    }
    return Shell_NotifyIconA(action, &data) != FALSE;
}

bool CTaskTrayWnd::AddTrayIcon(UINT id, CIconHandle icon, const char* tip) {
    auto found = m_icons.find(id);
    if (found != m_icons.end()) {
        NotifyIcon(NIM_DELETE, id, found->second);
        if (found->second.icon.Get() == icon.Get()) {
            found->second.icon.Detach(); // the new owner holds the same handle
        }
        m_icons.erase(found);
    }
    TrayIcon& entry = m_icons[id];
    entry.icon = std::move(icon);
    entry.tip = tip ? tip : "";
    return NotifyIcon(NIM_ADD, id, entry);
}

bool CTaskTrayWnd::DeleteTrayIcon(UINT id) {
    auto found = m_icons.find(id);
    if (found == m_icons.end()) {
        return false;
    }
    const bool removed = NotifyIcon(NIM_DELETE, id, found->second);
    m_icons.erase(found); // and its icon
    return removed;
}

void CTaskTrayWnd::DeleteAllTrayIcons() {
    while (!m_icons.empty()) {
        DeleteTrayIcon(m_icons.begin()->first);
    }
}

int CTaskTrayWnd::ReAddTrayIcons() {
    int added = 0;
    for (const auto& [id, entry] : m_icons) {
        if (NotifyIcon(NIM_ADD, id, entry)) {
            ++added;
        }
    }
    return added;
}

LRESULT CTaskTrayWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == m_taskbarCreated && m_taskbarCreated != 0) {
        ReAddTrayIcons();
        return 0;
    }
    switch (message) {
    case kTrayCallbackMessage: {
        const UINT id = static_cast<UINT>(wParam);
        switch (static_cast<UINT>(lParam)) {
        case WM_LBUTTONDOWN:
            OnTrayLButtonDown(id);
            break;
        case WM_RBUTTONDOWN:
            OnTrayRButtonDown(id);
            break;
        case WM_LBUTTONDBLCLK:
            OnTrayLButtonDblClk(id);
            break;
        case WM_RBUTTONDBLCLK:
            OnTrayRButtonDblClk(id);
            break;
        }
        return 0;
    }
    case WM_DESTROY:
        DeleteAllTrayIcons();
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
