#include "band/CItemContextMenuWnd.h"

#include "common/ItemIdList.h"
#include "common/MenuEntries.h"
#include "common/ShellQueries.h"
#include "common/WideLabels.h"
#include "framework/AnsiWide.h"
#include "framework/Scopes.h"

#include <new>

namespace {

constexpr UINT kMenuClosing = 0xFFFF;
constexpr UINT kHelpTextBufferSize = 1024;

} // namespace

CItemContextMenuWnd::CItemContextMenuWnd() = default;

CItemContextMenuWnd::~CItemContextMenuWnd() {
    // The window goes before the context menu that its messages relay to.
    DestroyWindow();
    m_contextMenu.Reset();
}

bool CItemContextMenuWnd::Create(const char* text, HWND parent, UINT controlId) {
    if (GetHwnd()) {
        return false;
    }
    if (!CreateEx(0, nullptr, text, WS_CHILD, 0, 0, 0, 0, parent,
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(controlId)))) {
        return false;
    }
    ShowWindow(GetHwnd(), SW_HIDE);
    if (!m_tip.Create()) {
        DestroyWindow();
        return false;
    }
    m_tip.SetMargins(kTipMargin, kTipMargin);
    return true;
}

bool CItemContextMenuWnd::SetItem(LPCITEMIDLIST item) {
    m_item.Free();
    if (item) {
        m_item = CopyItemIdList(item);
    }
    return static_cast<bool>(m_item);
}

BOOL CItemContextMenuWnd::GetItemNameAndIcon(std::string* name, int* iconIndex) {
    if (!m_item) {
        return FALSE;
    }
    return QueryLabelAndIcon(m_item, name, iconIndex);
}

bool CItemContextMenuWnd::TrackMenu(POINT screenPoint, UINT trackFlags) {
    // The call does not return before its menu closes; a second one from inside that menu
    // loop would pull the menu and the context-menu object away under the first.
    if (!GetHwnd() || m_menu) {
        return false;
    }
    // The bar owns the submenu and destroys it with itself.
    HMENU submenu = nullptr;
    CMenuHandle bar = CreatePopupMenuBar(&submenu);
    if (!bar) {
        return false;
    }
    m_menu = std::move(bar);

    if (!FillMenu(submenu)) {
        m_contextMenu.Reset();
        m_menu.Close();
        return false;
    }

    // A band lives in a thread that is not the foreground one: the toolbar is brought forward
    // with the foreground's input shared.
    const int command = static_cast<int>(
        TrackPopupMenuInForeground(submenu, trackFlags | TPM_RETURNCMD, screenPoint.x,
                                   screenPoint.y, GetHwnd(), GetParent(GetHwnd())));

    // The window goes when the band closes during the menu: then nothing more is done.
    const bool whole = GetHwnd() != nullptr;
    if (whole && command != 0 && command != -1) {
        RunCommand(static_cast<UINT>(command));
    }
    m_contextMenu.Reset();
    m_menu.Close();
    m_tip.Hide();
    return true;
}

HRESULT CItemContextMenuWnd::GetItemContextMenu(IShellFolder* parent, LPCITEMIDLIST last,
                                                IContextMenu** menu) {
    return parent->GetUIObjectOf(GetHwnd(), 1, &last, IID_IContextMenu, nullptr,
                                 reinterpret_cast<void**>(menu));
}

bool CItemContextMenuWnd::FillMenu(HMENU submenu) {
    m_contextMenu.Reset();
    if (!m_item) {
        return false;
    }
    // The wait cursor for as long as the shell takes to bind and build the menu.
    CWaitCursor busy;

    // SHBindToParent answers the desktop folder itself for an item directly below it.
    CComPtr<IShellFolder> parent;
    LPCITEMIDLIST last = nullptr;
    if (FAILED(SHBindToParent(m_item, IID_IShellFolder,
                              reinterpret_cast<void**>(parent.GetAddressOf()), &last)) ||
        !parent || !last) {
        return false;
    }

    CComPtr<IContextMenu> menu;
    if (FAILED(GetItemContextMenu(parent.Get(), last, menu.GetAddressOf())) || !menu) {
        return true; // an item without a context menu opens an empty popup
    }
    if (SUCCEEDED(menu->QueryContextMenu(submenu, 0, kFirstCommand, kLastCommand, CMF_CANRENAME))) {
        m_contextMenu = std::move(menu);
    }
    return true;
}

void CItemContextMenuWnd::RunCommand(UINT commandId) {
    if (!m_contextMenu || commandId < kFirstCommand) {
        return;
    }
    CMINVOKECOMMANDINFO info = {};
    // 36 bytes on the 32-bit build; the 64-bit structure is larger, and each shell checks
    // the size of its own build, hence sizeof rather than a number.
    info.cbSize = sizeof(info);
    info.fMask = 0;
    info.hwnd = nullptr;
    info.lpVerb = MAKEINTRESOURCEA(commandId - kFirstCommand);
    info.nShow = SW_SHOWNORMAL;
    m_contextMenu->InvokeCommand(&info);
}

#ifndef _WIN64
static_assert(sizeof(CMINVOKECOMMANDINFO) == 36, "the 32-bit shell expects 36 bytes");
#endif

LRESULT CItemContextMenuWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        switch (message) {
        case WM_INITMENUPOPUP:
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
            // The shell's owner-drawn submenus ("Send To", "Open With") are filled and drawn
            // by its own object; their item data is the shell's, never ours to read.
            if (m_contextMenu) {
                CComPtr<IContextMenu3> menu3;
                CComPtr<IContextMenu2> menu2;
                if (SUCCEEDED(m_contextMenu.As(&menu3))) {
                    LRESULT result = 0;
                    if (SUCCEEDED(menu3->HandleMenuMsg2(message, wParam, lParam, &result))) {
                        return message == WM_INITMENUPOPUP ? result : TRUE;
                    }
                } else if (SUCCEEDED(m_contextMenu.As(&menu2))) {
                    if (SUCCEEDED(menu2->HandleMenuMsg(message, wParam, lParam))) {
                        return message == WM_INITMENUPOPUP ? 0 : TRUE;
                    }
                }
            }
            break;
        case WM_MENUCHAR:
            if (m_contextMenu) {
                CComPtr<IContextMenu3> menu3;
                if (SUCCEEDED(m_contextMenu.As(&menu3))) {
                    LRESULT result = 0;
                    if (SUCCEEDED(menu3->HandleMenuMsg2(message, wParam, lParam, &result))) {
                        return result;
                    }
                }
            }
            break;
        case WM_MENUSELECT:
            ShowHelpText(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_DESTROY:
            // The menu ends before its window, and the tip, a pop-up of its own, goes with
            // the window: a later Create on another toolbar would be refused otherwise.
            if (m_menu) {
                EndMenu();
            }
            m_tip.DestroyWindow();
            break;
        default:
            break;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

void CItemContextMenuWnd::ShowHelpText(UINT item, UINT flags) {
    // Separators and the bar's own entry carry no command of the shell's range.
    if (flags == kMenuClosing || (flags & (MF_POPUP | MF_DISABLED | MF_SEPARATOR)) ||
        !m_contextMenu || item < kFirstCommand || item > kLastCommand) {
        m_tip.Hide();
        return;
    }
    const UINT_PTR command = item - kFirstCommand;
    std::wstring text;
    bool answered = false;
    if (UseWideLabels()) {
        // The size of the wide form counts characters.
        wchar_t wide[kHelpTextBufferSize] = {};
        answered = SUCCEEDED(m_contextMenu->GetCommandString(
            command, GCS_HELPTEXTW, nullptr, reinterpret_cast<LPSTR>(wide), kHelpTextBufferSize));
        if (answered) {
            wide[kHelpTextBufferSize - 1] = L'\0';
            text = wide;
        }
    }
    // The 9x family, and handlers that know only the code page's form.
    if (!answered) {
        char ansi[kHelpTextBufferSize] = {};
        answered = SUCCEEDED(
            m_contextMenu->GetCommandString(command, GCS_HELPTEXTA, nullptr, ansi, sizeof(ansi)));
        if (answered) {
            ansi[sizeof(ansi) - 1] = '\0';
            text = AnsiToWide(ansi);
        }
    }
    if (text.empty()) {
        m_tip.Hide();
        return;
    }
    m_tip.Show(text.c_str(), kTipWrapWidth);
}
