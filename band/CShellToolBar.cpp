#include "band/CShellToolBar.h"

#include <shellapi.h>

#include <vector>

#include "band/core/ButtonHitTest.h"
#include "common/ShellMenuItemData.h"

namespace {

// The shell's large system image list, asked of the root of the Windows drive (the small one
// has its own cached getter in common).
HIMAGELIST SystemLargeImageList() {
    char windows[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
    if (length < 3 || length >= MAX_PATH) {
        return nullptr;
    }
    windows[3] = '\0';
    SHFILEINFOA info = {};
    const DWORD_PTR result =
        SHGetFileInfoA(windows, 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_ICON);
    if (info.hIcon) {
        DestroyIcon(info.hIcon);
    }
    return reinterpret_cast<HIMAGELIST>(result);
}

corvina::BandRect ToBandRect(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

} // namespace

void CShellToolBar::SetLargeIcons(bool large) {
    m_largeIcons = large;
    if (GetHwnd() == nullptr) {
        return;
    }
    // The system list is shared by the whole process: the control must never destroy it,
    // which it does not for a list set with TB_SETIMAGELIST.
    HIMAGELIST list = large ? SystemLargeImageList() : SystemSmallImageList();
    SendMessageA(GetHwnd(), TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list));
}

bool CShellToolBar::IsLargeIcons() const {
    return m_largeIcons;
}

bool CShellToolBar::HitTestButton(POINT screenPoint, int* index) {
    if (index != nullptr) {
        *index = -1;
    }
    HWND window = GetHwnd();
    if (window == nullptr) {
        return false;
    }
    POINT point = screenPoint;
    ScreenToClient(window, &point);
    RECT client = {};
    GetClientRect(window, &client);
    const int count = static_cast<int>(SendMessageA(window, TB_BUTTONCOUNT, 0, 0));
    std::vector<corvina::BandRect> buttons;
    buttons.reserve(count > 0 ? static_cast<size_t>(count) : 0);
    for (int i = 0; i < count; ++i) {
        RECT rect = {};
        SendMessageA(window, TB_GETITEMRECT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&rect));
        buttons.push_back(ToBandRect(rect));
    }
    const corvina::ButtonHit hit =
        corvina::HitTestButton(ToBandRect(client), buttons, point.x, point.y);
    if (index != nullptr) {
        *index = hit.index;
    }
    return hit.inside;
}
