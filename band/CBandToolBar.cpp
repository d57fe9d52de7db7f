#include "band/CBandToolBar.h"

#include <shlguid.h>
#include <shobjidl.h>
#include <windowsx.h>

#include <cwchar>
#include <utility>

#include "band/core/MenuPlacement.h"
#include "band/core/TooltipText.h"
#include "common/ItemIdList.h"
#include "common/MenuItemList.h"
#include "common/Registry.h"
#include "common/ShellQueries.h"
#include "common/WideLabels.h"
#include "common/WindowMessages.h"
#include "framework/AnsiWide.h"
#include "framework/ComPtr.h"
#include "foldermenu/ShellMenuHost.h"

const char CBandToolBar::kItemMenuText[] = "WORK001";
const char CBandToolBar::kFolderMenuText[] = "WORK002";

namespace {

// Asked of the system once per process, when the server is loaded.
const UINT g_changedButtonMessage = RegisterWindowMessageA(kChangedButtonMessageName);

// Posted to the toolbar so that its menus open once the control has finished with the
// click: a host closing the band from inside a menu then destroys no control whose own
// handling is still running. The folder drop-down noted by the parent hook; the item menu
// at the screen point in lParam.
constexpr UINT kShowDropDownMessage = WM_APP + 0x21;
constexpr UINT kShowItemMenuMessage = WM_APP + 0x22;

constexpr DWORD kToolbarStyle = 0x50019946;
constexpr DWORD kToolbarExStyle = 0x89;
constexpr BYTE kLoadedStyle = BTNS_AUTOSIZE | BTNS_NOPREFIX | BTNS_SHOWTEXT; // 0x70
constexpr int kCreatedButtonWidth = 24;
constexpr int kLoadedButtonWidth = 250;

corvina::BandRect ToBandRect(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

corvina::MenuPlacement PlaceScreenMenu(const RECT& screenRect, DWORD viewMode) {
    return corvina::PlaceMenu(ToBandRect(screenRect), viewMode, GetSystemMetrics(SM_CXSCREEN),
                              GetSystemMetrics(SM_CYSCREEN));
}

// A popup opened from a band inside the taskbar only closes on an outside click when the
// taskbar is the active window.
void ActivateTaskbarAncestor(HWND window) {
    for (HWND ancestor = GetParent(window); ancestor != nullptr; ancestor = GetParent(ancestor)) {
        char className[256] = {};
        GetClassNameA(ancestor, className, static_cast<int>(sizeof(className)));
        if (lstrcmpiA(className, "Shell_TrayWnd") == 0) {
            SetActiveWindow(ancestor);
            return;
        }
    }
}

// The item a shortcut file points to; empty when list is no shortcut or its target cannot
// be read.
CItemIdList ShortcutTarget(LPCITEMIDLIST list, HWND owner) {
    if (list == nullptr || IsDesktopItemIdList(list)) {
        return CItemIdList();
    }
    CComPtr<IShellFolder> parent;
    LPCITEMIDLIST child = nullptr;
    if (FAILED(SHBindToParent(list, IID_IShellFolder,
                              reinterpret_cast<void**>(parent.GetAddressOf()), &child)) ||
        !parent) {
        return CItemIdList();
    }
    SFGAOF attributes = SFGAO_LINK;
    const bool isLink =
        SUCCEEDED(parent->GetAttributesOf(1, &child, &attributes)) && (attributes & SFGAO_LINK);
    CComPtr<IShellLinkA> link;
    if (isLink) {
        parent->GetUIObjectOf(owner, 1, &child, IID_IShellLinkA, nullptr,
                              reinterpret_cast<void**>(link.GetAddressOf()));
    }
    // Folders that hand out no shortcut object for their items (Wine's among them): a
    // shortcut object of our own loads the file.
    wchar_t path[MAX_PATH] = {};
    if (!link && SHGetPathFromIDListW(list, path)) {
        const wchar_t* extension = wcsrchr(path, L'.');
        if (isLink || (extension != nullptr && lstrcmpiW(extension, L".lnk") == 0)) {
            CComPtr<IShellLinkA> own;
            CComPtr<IPersistFile> file;
            if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IShellLinkA,
                                           reinterpret_cast<void**>(own.GetAddressOf()))) &&
                SUCCEEDED(own.As(&file)) && SUCCEEDED(file->Load(path, STGM_READ))) {
                link = own;
            }
        }
    }
    if (!link) {
        return CItemIdList();
    }
    // A file-system target parsed afresh: some shells store a list in the shortcut that
    // their own folders then fail to bind.
    char targetPath[MAX_PATH] = {};
    if (SUCCEEDED(link->GetPath(targetPath, MAX_PATH, nullptr, 0)) && targetPath[0] != '\0') {
        CItemIdList parsed = ParsePathToItemIdList(targetPath);
        if (parsed) {
            return parsed;
        }
    }
    CItemIdList target;
    if (FAILED(link->GetIDList(target.Receive()))) {
        target.Free();
    }
    return target;
}

// The shell's display name of the item, in UTF-16; empty when it has none.
std::u16string WideDisplayName(LPCITEMIDLIST list) {
    SHFILEINFOW info = {};
    if (list == nullptr || !SHGetFileInfoW(reinterpret_cast<LPCWSTR>(list), 0, &info, sizeof(info),
                                           SHGFI_PIDL | SHGFI_DISPLAYNAME)) {
        return std::u16string();
    }
    return std::u16string(reinterpret_cast<const char16_t*>(info.szDisplayName));
}

int ReadImageIndex(LPCITEMIDLIST list) {
    int image = I_IMAGENONE;
    QueryIconIndex(list, &image);
    return image;
}

} // namespace

CBandToolBar::CBandToolBar() : m_parentHook(*this), m_dropTarget(*this) {}

CBandToolBar::~CBandToolBar() {
    try {
        if (GetHwnd() != nullptr && IsWindow(GetHwnd())) {
            DestroyWindow();
        }
        // Normally WM_DESTROY did both; a window that was never hooked or went another way
        // must not leave them behind.
        m_parentHook.Detach();
        m_dropTarget.Revoke();
        m_itemMenu.DestroyWindow();
        m_folderMenu.DestroyWindow();
    } catch (...) {
    }
}

bool CBandToolBar::Initialize(HWND toolbar) {
    if (!Attach(toolbar)) {
        return false;
    }
    SendMessageA(toolbar, TB_SETSTYLE, 0, static_cast<LPARAM>(kToolbarStyle));
    SendMessageA(toolbar, TB_SETEXTENDEDSTYLE, 0, static_cast<LPARAM>(kToolbarExStyle));
    SetLargeIcons(false);
    SendMessageA(toolbar, TB_SETBUTTONSIZE, 0, MAKELPARAM(kCreatedButtonWidth, kBarHeight));
    // A band without its menus would fail every right-click and drop-down later, silently.
    if (!m_itemMenu.Create(kItemMenuText, toolbar, kItemMenuId) ||
        !m_folderMenu.Create(toolbar, kFolderMenuId)) {
        m_itemMenu.DestroyWindow();
        m_folderMenu.DestroyWindow();
        Detach();
        return false;
    }
    SetWindowTextA(m_folderMenu.GetHwnd(), kFolderMenuText);
    m_parentHook.Attach(GetParent(toolbar));
    LoadButtons();
    m_dropTarget.Register(toolbar);
    return true;
}

void CBandToolBar::SetViewMode(DWORD mode) {
    m_viewMode = mode;
    if (GetHwnd() != nullptr) {
        SendMessageA(GetHwnd(), TB_AUTOSIZE, 0, 0);
    }
}

bool CBandToolBar::IsTextOptionOn() {
    DWORD value = 0;
    if (!ReadRegistryDword(HKEY_CURRENT_USER, kCorvinaBarKeyPath, "Text", &value)) {
        return false;
    }
    return value != 0;
}

int CBandToolBar::GetButtonCount() const {
    if (GetHwnd() == nullptr) {
        return 0;
    }
    return static_cast<int>(SendMessageA(GetHwnd(), TB_BUTTONCOUNT, 0, 0));
}

int CBandToolBar::CommandToIndex(UINT commandId) const {
    if (GetHwnd() == nullptr) {
        return -1;
    }
    const int index = static_cast<int>(SendMessageA(GetHwnd(), TB_COMMANDTOINDEX, commandId, 0));
    return index >= 0 && index < GetButtonCount() ? index : -1;
}

int CBandToolBar::FindFreeCommandId() {
    // The pool follows every button added or deleted here, so it answers what a search over
    // all buttons would, without walking them for each candidate.
    return m_commandIds.LowestFree();
}

void CBandToolBar::LoadButtons() {
    HWND window = GetHwnd();
    if (window == nullptr) {
        return;
    }
    const bool showText = IsTextOptionOn();
    m_buttons.clear();
    for (int count = GetButtonCount(); count > 0; --count) {
        SendMessageA(window, TB_DELETEBUTTON, 0, 0);
    }
    m_commandIds.Clear();
    SendMessageA(window, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(window, TB_SETBUTTONSIZE, 0, MAKELPARAM(kLoadedButtonWidth, kBarHeight));

    MenuItemList list = LoadMenuItemList();
    m_buttons.reserve(list.size());
    const bool wide = UseWideLabels();
    for (MenuItemRecord& record : list) {
        LPCITEMIDLIST item = record.itemIdList.Get();
        std::string label = record.displayName;
        std::wstring wideLabel;
        int image = I_IMAGENONE;
        if (label.empty() && wide) {
            QueryWideLabelAndIcon(item, &wideLabel, &image);
            label = WideToAnsi(wideLabel);
        } else if (label.empty()) {
            QueryLabelAndIcon(item, &label, &image);
        } else {
            QueryIconIndex(item, &image);
        }
        const int id = FindFreeCommandId();
        if (id < 1) {
            break;
        }
        TBBUTTON button = {};
        button.iBitmap = image;
        button.idCommand = id;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle =
            static_cast<BYTE>(kLoadedStyle | (IsExpandableFolder(item) ? BTNS_DROPDOWN : 0));
        // The data is the list block itself, not the record: the block keeps its address
        // when a drop inserts a record and moves the others.
        button.dwData = reinterpret_cast<DWORD_PTR>(item);
        button.iString = -1;
        ButtonRecord added;
        added.itemIdList = std::move(record.itemIdList);
        added.label = std::move(label);
        added.wideLabel = std::move(wideLabel);
        added.userName = std::move(record.displayName);
        m_buttons.push_back(std::move(added));
        if (!SendMessageA(window, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button))) {
            m_buttons.pop_back();
            continue;
        }
        m_commandIds.Add(id);
    }

    if (showText) {
        for (size_t i = 0; i < m_buttons.size(); ++i) {
            TBBUTTON button = {};
            if (!SendMessageA(window, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button))) {
                continue;
            }
            SetButtonText(button.idCommand, i);
        }
    }
}

void CBandToolBar::SetButtonText(int id, size_t index) {
    HWND window = GetHwnd();
    const ButtonRecord& record = m_buttons[index];
    if (!record.wideLabel.empty()) {
        TBBUTTONINFOW info = {};
        info.cbSize = sizeof(info);
        info.dwMask = TBIF_TEXT;
        info.pszText = const_cast<wchar_t*>(record.wideLabel.c_str());
        SendMessageW(window, TB_SETBUTTONINFOW, static_cast<WPARAM>(id),
                     reinterpret_cast<LPARAM>(&info));
        return;
    }
    TBBUTTONINFOA info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_TEXT;
    info.pszText = const_cast<char*>(record.label.c_str());
    SendMessageA(window, TB_SETBUTTONINFOA, static_cast<WPARAM>(id),
                 reinterpret_cast<LPARAM>(&info));
}

bool CBandToolBar::InsertDroppedItem(int index, CItemIdList item, const std::string& label) {
    HWND window = GetHwnd();
    const int count = GetButtonCount();
    if (window == nullptr || !item || index < 0 || index > count ||
        static_cast<size_t>(index) > m_buttons.size()) {
        return false;
    }
    const int id = FindFreeCommandId();
    if (id < 1) {
        return false;
    }
    LPCITEMIDLIST list = item.Get();
    bool arrow = IsDesktopItemIdList(list) != FALSE;
    if (!arrow) {
        CItemIdList target = ShortcutTarget(list, window);
        arrow = IsExpandableFolder(target ? target.Get() : list) != FALSE;
    }
    TBBUTTON button = {};
    button.iBitmap = ReadImageIndex(list);
    button.idCommand = id;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle =
        static_cast<BYTE>((arrow ? BTNS_DROPDOWN : 0) | (IsTextOptionOn() ? BTNS_SHOWTEXT : 0));
    // As in LoadButtons, the block's own address, which the insertion below does not move.
    button.dwData = reinterpret_cast<DWORD_PTR>(list);
    button.iString = -1;
    if (!SendMessageA(window, TB_INSERTBUTTONA, static_cast<WPARAM>(index),
                      reinterpret_cast<LPARAM>(&button))) {
        return false;
    }
    m_commandIds.Add(id);
    // The label is the shell's name: the user has given the item none.
    ButtonRecord record;
    record.itemIdList = std::move(item);
    record.label = label;
    if (UseWideLabels()) {
        QueryWideLabelAndIcon(record.itemIdList.Get(), &record.wideLabel, nullptr);
    }
    m_buttons.insert(m_buttons.begin() + index, std::move(record));
    SetButtonText(id, static_cast<size_t>(index));
    return true;
}

MenuItemList CBandToolBar::GetButtonList() const {
    // Only the user's own names are kept: the shell's name is asked afresh at every load, so
    // later renames and another system language still show.
    MenuItemList list;
    list.reserve(m_buttons.size());
    for (const ButtonRecord& button : m_buttons) {
        MenuItemRecord record;
        record.itemIdList = CopyItemIdList(button.itemIdList.Get());
        record.displayName = button.userName;
        list.push_back(std::move(record));
    }
    return list;
}

void CBandToolBar::RefreshButtons() {
    HWND window = GetHwnd();
    if (window == nullptr) {
        return;
    }
    // Switching the list style off and on again makes the control measure the new buttons
    // afresh instead of keeping the widths of the old ones.
    LRESULT style = SendMessageA(window, TB_GETSTYLE, 0, 0);
    SendMessageA(window, TB_SETSTYLE, 0, style & ~static_cast<LRESULT>(TBSTYLE_LIST));
    LoadButtons();
    style = SendMessageA(window, TB_GETSTYLE, 0, 0);
    SendMessageA(window, TB_SETSTYLE, 0, style | TBSTYLE_LIST);
    UpdateIdealSize();
}

void CBandToolBar::UpdateIdealSize() {
    HWND window = GetHwnd();
    HWND rebar = window ? GetParent(window) : nullptr;
    if (rebar == nullptr || m_updatingIdealSize) {
        return;
    }
    // Setting the band's sizes makes the rebar move the toolbar, whose WM_SIZE comes back
    // here.
    m_updatingIdealSize = true;
    int width = 0;
    const int count = GetButtonCount();
    if (count > 0) {
        RECT rect = {};
        if (SendMessageA(window, TB_GETITEMRECT, static_cast<WPARAM>(count - 1),
                         reinterpret_cast<LPARAM>(&rect))) {
            width = rect.right;
        }
    }
    const int bands = static_cast<int>(SendMessageA(rebar, RB_GETBANDCOUNT, 0, 0));
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < bands; ++i) {
            REBARBANDINFOA info = {};
            info.cbSize = REBARBANDINFOA_V6_SIZE;
            info.fMask = RBBIM_CHILD | RBBIM_STYLE;
            if (!SendMessageA(rebar, RB_GETBANDINFOA, static_cast<WPARAM>(i),
                              reinterpret_cast<LPARAM>(&info)) ||
                info.hwndChild != window) {
                continue;
            }
            if (pass == 0) {
                info.fMask = RBBIM_STYLE;
                info.fStyle |= RBBS_USECHEVRON;
            } else {
                info.fMask = RBBIM_IDEALSIZE;
                info.cxIdeal = static_cast<UINT>(width);
            }
            SendMessageA(rebar, RB_SETBANDINFOA, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(&info));
            break;
        }
    }
    m_updatingIdealSize = false;
}

void CBandToolBar::EndMenus() {
    if (m_menuLoops > 0) {
        EndMenu();
    }
}

bool CBandToolBar::IsOwnNotification(const NMHDR& header) const {
    HWND window = GetHwnd();
    return window != nullptr &&
           (header.hwndFrom == window ||
            header.hwndFrom == reinterpret_cast<HWND>(SendMessageA(window, TB_GETTOOLTIPS, 0, 0)));
}

void CBandToolBar::QueueFolderDropDown(const NMTOOLBARA& notification) {
    if (m_menuLoops > 0) {
        return;
    }
    m_dropDownCommand = notification.iItem;
    m_dropDownRect = notification.rcButton;
    MapWindowPoints(notification.hdr.hwndFrom, nullptr, reinterpret_cast<POINT*>(&m_dropDownRect),
                    2);
    PostMessageA(GetHwnd(), kShowDropDownMessage, 0, 0);
}

void CBandToolBar::ShowFolderDropDown() {
    const int command = m_dropDownCommand;
    m_dropDownCommand = -1;
    HWND window = GetHwnd();
    const int index = command < 0 ? -1 : CommandToIndex(static_cast<UINT>(command));
    if (m_menuLoops > 0 || index < 0 || static_cast<size_t>(index) >= m_buttons.size() ||
        !m_buttons[static_cast<size_t>(index)].itemIdList) {
        return;
    }
    LPCITEMIDLIST item = m_buttons[static_cast<size_t>(index)].itemIdList.Get();
    const corvina::MenuPlacement place = PlaceScreenMenu(m_dropDownRect, m_viewMode);
    CItemIdList folder = ShortcutTarget(item, window);
    if (!folder) {
        folder = CopyItemIdList(item);
    }
    if (!folder) {
        return;
    }
    ActivateTaskbarAncestor(window);
    // The control no longer shows the arrow pressed once its notification is over.
    SendMessageA(window, TB_PRESSBUTTON, static_cast<WPARAM>(command), MAKELPARAM(TRUE, 0));
    ++m_menuLoops;
    m_folderMenu.SetFolder(folder.Get());
    m_folderMenu.ShowAt(place.x, place.y, place.flags);
    m_folderMenu.SetFolder(nullptr);
    --m_menuLoops;
    // Unless the band was closed during the menu, and the window with it.
    if (GetHwnd() == window) {
        SendMessageA(window, TB_PRESSBUTTON, static_cast<WPARAM>(command), MAKELPARAM(FALSE, 0));
    }
    FinishMenuLoop();
}

void CBandToolBar::FinishMenuLoop() {
    if (m_menuLoops == 0 && m_reloadPending) {
        m_reloadPending = false;
        if (GetHwnd() != nullptr) {
            RefreshButtons();
        }
    }
}

bool CBandToolBar::ShowItemMenu(POINT screenPoint) {
    HWND window = GetHwnd();
    int index = -1;
    if (m_menuLoops > 0) {
        return true; // one menu at a time; the open one keeps its button
    }
    if (!HitTestButton(screenPoint, &index) || index < 0 ||
        static_cast<size_t>(index) >= m_buttons.size()) {
        return false;
    }
    TBBUTTON button = {};
    if (!SendMessageA(window, TB_GETBUTTON, static_cast<WPARAM>(index),
                      reinterpret_cast<LPARAM>(&button))) {
        return false;
    }
    LPCITEMIDLIST item = m_buttons[static_cast<size_t>(index)].itemIdList.Get();
    // The desktop has no context menu of its own worth showing, and the host's would be
    // wrong on a button: nothing at all.
    if (item == nullptr || IsDesktopItemIdList(item)) {
        return true;
    }
    const WPARAM id = static_cast<WPARAM>(button.idCommand);
    RECT rect = {};
    SendMessageA(window, TB_GETRECT, id, reinterpret_cast<LPARAM>(&rect));
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    const corvina::MenuPlacement place = PlaceScreenMenu(rect, m_viewMode);
    ActivateTaskbarAncestor(window);

    SendMessageA(window, TB_PRESSBUTTON, id, MAKELPARAM(TRUE, 0));
    SendMessageA(window, TB_MARKBUTTON, id, MAKELPARAM(TRUE, 0));
    HWND tooltip = reinterpret_cast<HWND>(SendMessageA(window, TB_GETTOOLTIPS, 0, 0));
    if (tooltip != nullptr) {
        SendMessageA(tooltip, TTM_POP, 0, 0);
        SendMessageA(tooltip, TTM_ACTIVATE, FALSE, 0);
    }
    ++m_menuLoops;
    if (m_itemMenu.SetItem(item)) {
        m_itemMenu.TrackMenu(POINT{place.x, place.y}, place.flags);
        m_itemMenu.SetItem(nullptr);
    }
    --m_menuLoops;
    // The menu's own command may have destroyed the window (closing the band).
    if (IsWindow(window)) {
        SendMessageA(window, TB_PRESSBUTTON, id, MAKELPARAM(FALSE, 0));
        SendMessageA(window, TB_MARKBUTTON, id, MAKELPARAM(FALSE, 0));
        if (tooltip != nullptr && IsWindow(tooltip)) {
            SendMessageA(tooltip, TTM_ACTIVATE, TRUE, 0);
        }
    }
    FinishMenuLoop();
    return true;
}

bool CBandToolBar::FillTooltip(NMTTDISPINFOW& info) {
    const int index = CommandToIndex(static_cast<UINT>(info.hdr.idFrom));
    if (index < 0 || static_cast<size_t>(index) >= m_buttons.size()) {
        return false;
    }
    LPCITEMIDLIST item = m_buttons[static_cast<size_t>(index)].itemIdList.Get();
    const std::u16string name = WideDisplayName(item);
    std::u16string tip;
    if (!GetItemInfoTip(item, &tip)) {
        return false;
    }
    const std::u16string text = corvina::BuildTooltipText(name, tip, corvina::kTooltipBufferUnits);
    const size_t units =
        text.size() < corvina::kTooltipBufferUnits ? text.size() : corvina::kTooltipBufferUnits - 1;
    text.copy(reinterpret_cast<char16_t*>(m_tooltipText), units);
    m_tooltipText[units] = L'\0';
    info.lpszText = m_tooltipText;
    info.hinst = nullptr;
    return true;
}

bool CBandToolBar::GetItemInfoTip(LPCITEMIDLIST item, std::u16string* tip) {
    std::wstring text;
    if (!QueryInfoTip(item, GetHwnd(), &text)) {
        return false;
    }
    tip->assign(AsUtf16(text));
    return true;
}

void CBandToolBar::NotifyThemeChange() {
    m_barHeight = kBarHeight;
    if (m_site == nullptr) {
        return;
    }
    CComPtr<IOleCommandTarget> target;
    if (FAILED(m_site->QueryInterface(IID_IOleCommandTarget,
                                      reinterpret_cast<void**>(target.GetAddressOf()))) ||
        !target) {
        return;
    }
    VARIANT in;
    VariantInit(&in);
    in.vt = VT_I4;
    in.lVal = static_cast<LONG>(m_bandId);
    VARIANT out;
    VariantInit(&out);
    target->Exec(&CGID_DeskBand, DBID_BANDINFOCHANGED, 0, &in, &out);
    VariantClear(&out);
}

LRESULT CBandToolBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        // The menu goes before the window it belongs to.
        EndMenus();
        m_parentHook.Detach();
        m_dropTarget.Revoke();
        return Default(message, wParam, lParam);
    case WM_SIZE: {
        const LRESULT result = Default(message, wParam, lParam);
        UpdateIdealSize();
        return result;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        const LRESULT result = Default(message, wParam, lParam);
        if (m_bandCallback != nullptr) {
            m_bandCallback->FocusChange(message == WM_SETFOCUS);
        }
        return result;
    }
    case WM_CONTEXTMENU: {
        const POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        int index = -1;
        if (!HitTestButton(point, &index) || index < 0 ||
            static_cast<size_t>(index) >= m_buttons.size()) {
            return Default(message, wParam, lParam); // the host's own menu
        }
        PostMessageA(GetHwnd(), kShowItemMenuMessage, 0, lParam);
        return 0;
    }
    case kShowItemMenuMessage:
        ShowItemMenu({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_SETTINGCHANGE:
        RefreshButtons();
        return 0;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header != nullptr && header->code == TTN_NEEDTEXTA) {
            return 0;
        }
        if (header != nullptr && header->code == TTN_NEEDTEXTW) {
            auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
            if (!FillTooltip(*info)) {
                info->szText[0] = L'\0';
                info->lpszText = info->szText;
            }
            return 0;
        }
        break;
    }
    case WM_COMMAND: {
        const int index = CommandToIndex(LOWORD(wParam));
        if (index >= 0 && static_cast<size_t>(index) < m_buttons.size() &&
            m_buttons[static_cast<size_t>(index)].itemIdList) {
            RunItemIdList(m_buttons[static_cast<size_t>(index)].itemIdList.Get());
            return 0;
        }
        // The control hands commands on to its parent, whose hook posts the ones from the
        // toolbar back here: passing on one of those would go round for ever.
        if (reinterpret_cast<HWND>(lParam) == GetHwnd()) {
            return 0;
        }
        break;
    }
    case WM_THEMECHANGED:
        NotifyThemeChange();
        return Default(message, wParam, lParam);
    case kShowDropDownMessage:
        ShowFolderDropDown();
        return 0;
    default:
        if (message == g_changedButtonMessage && g_changedButtonMessage != 0) {
            if (m_menuLoops > 0) {
                // Rebuilding under an open menu would pull its button away: the menu ends
                // first, and the reload follows when its loop has returned.
                m_reloadPending = true;
                EndMenus();
            } else {
                RefreshButtons();
            }
            return Default(message, wParam, lParam);
        }
        break;
    }
    return Default(message, wParam, lParam);
}

LRESULT CBandToolBar::CParentHook::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND toolbar = m_toolbar.GetHwnd();
    if (message == WM_NOTIFY && lParam != 0) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        // Only the band's own tips; the rebar's other children get the host's handling.
        if (header->code == TTN_NEEDTEXTA && m_toolbar.IsOwnNotification(*header)) {
            return 0;
        }
        if (header->code == TBN_DROPDOWN && toolbar != nullptr && header->hwndFrom == toolbar) {
            m_toolbar.QueueFolderDropDown(*reinterpret_cast<const NMTOOLBARA*>(lParam));
        }
    } else if (message == WM_COMMAND && toolbar != nullptr &&
               reinterpret_cast<HWND>(lParam) == toolbar) {
        // Opened later from the toolbar's own queue, so that the click's handling in the
        // control has finished before a program starts.
        PostMessageA(toolbar, message, wParam, lParam);
    }
    return Default(message, wParam, lParam);
}
