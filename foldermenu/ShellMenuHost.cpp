#include "foldermenu/ShellMenuHost.h"

#include <cstring>
#include <utility>

#include "common/ItemIdList.h"
#include "common/MenuItemDraw.h"
#include "common/MenuEntries.h"
#include "common/MenuKeys.h"
#include "common/WideLabels.h"
#include "common/ShellMenuItemData.h"
#include "common/ShellQueries.h"
#include "common/UiText.h"
#include "framework/AnsiWide.h"
#include "framework/ComPtr.h"
#include "framework/Scopes.h"
#include "framework/SystemVersion.h"
#include "foldermenu/core/MenuColumns.h"
#include "foldermenu/core/MenuOrder.h"

namespace {

const BilingualText kOpenText = {L"開く", "Open"};
const BilingualText kNotReadyText = {L"なし", "Non"};

CComPtr<IEnumIDList> EnumerateFolder(IShellFolder* folder, SHCONTF flags) {
    CComPtr<IEnumIDList> items;
    if (folder->EnumObjects(nullptr, flags, &items) != S_OK) {
        return nullptr;
    }
    return items;
}

std::string GetPath(LPCITEMIDLIST list) {
    char path[MAX_PATH] = {};
    if (!SHGetPathFromIDListA(list, path)) {
        return std::string();
    }
    return path;
}

// The path as the tip shows it: whole in UTF-16 on the NT family.
std::wstring GetTipPath(LPCITEMIDLIST list) {
    if (!UseWideLabels()) {
        return AnsiToWide(GetPath(list));
    }
    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(list, path)) {
        return std::wstring();
    }
    return path;
}

int CompareMenuTexts(const std::string& a, const std::string& b) {
    // The system's comparison knows the double-byte characters of the code page.
    const int result =
        CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                       b.data(), static_cast<int>(b.size()));
    return result == 0 ? corvina::CompareAsciiNoCase(a, b) : result - CSTR_EQUAL;
}

// One child of a folder being listed, with everything the orders and the entry need. The
// icon is left for the first painting: a folder of thousands of files shows a few hundred.
struct FolderChild {
    CItemIdList list;
    // With wide labels the order key holds the name in UTF-8 and the entry shows this.
    std::wstring wideName;
    corvina::MenuOrderKey key;
};

// Everything is asked of the bound folder: a query on the absolute list binds through each of
// its levels first, which costs more than the answer itself.
FolderChild DescribeChild(IShellFolder* folder, LPCITEMIDLIST relative, CItemIdList full,
                          bool withPath) {
    FolderChild child;
    child.list = std::move(full);
    if (UseWideLabels()) {
        QueryChildWideLabel(folder, relative, &child.wideName);
        child.key.displayName = WideToUtf8(child.wideName);
    } else {
        QueryChildLabel(folder, relative, &child.key.displayName);
    }
    if (withPath) {
        child.key.path = QueryChildPath(folder, relative);
    }
    return child;
}

// Listing: the children of a folder, asked once each. On the desktop every child goes with
// the folders (none becomes a submenu there); elsewhere the folders and, unless folderOnly,
// the files.
struct FolderListing {
    std::vector<FolderChild> folders;
    std::vector<FolderChild> files;

    bool IsEmpty() const { return folders.empty() && files.empty(); }
};

FolderListing ListFolder(LPCITEMIDLIST folder, bool isDesktop, bool folderOnly) {
    FolderListing listing;
    CComPtr<IShellFolder> shellFolder = BindToFolder(folder);
    if (!shellFolder) {
        return listing;
    }
    SHCONTF flags = SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN;
    if (isDesktop || !folderOnly) {
        flags |= SHCONTF_NONFOLDERS;
    }
    CComPtr<IEnumIDList> items = EnumerateFolder(shellFolder.Get(), flags);
    LPITEMIDLIST child = nullptr;
    ULONG fetched = 0;
    while (items && items->Next(1, &child, &fetched) == S_OK && child != nullptr) {
        CItemIdList relative(child);
        child = nullptr;
        bool isFolder = false;
        if (!isDesktop) {
            SFGAOF attributes = SFGAO_FOLDER | SFGAO_HASSUBFOLDER;
            LPCITEMIDLIST one = relative.Get();
            isFolder = SUCCEEDED(shellFolder->GetAttributesOf(1, &one, &attributes)) &&
                       (attributes & (SFGAO_FOLDER | SFGAO_HASSUBFOLDER)) != 0;
            if (folderOnly && !isFolder) {
                continue;
            }
        }
        CItemIdList full = JoinItemIdLists(folder, relative.Get());
        if (!full) {
            continue;
        }
        if (isDesktop || isFolder) {
            // The desktop's few children keep the path query of their absolute lists.
            listing.folders.push_back(
                DescribeChild(shellFolder.Get(), relative.Get(), std::move(full), !isDesktop));
        } else {
            listing.files.push_back(
                DescribeChild(shellFolder.Get(), relative.Get(), std::move(full), false));
        }
    }
    return listing;
}

// Ranking: what the order needs is asked here once per item, never inside a comparison; the
// order itself is the portable rule's. drivesName is the drives folder's name, asked only for
// the desktop.
corvina::FolderMenuOrder RankListing(const FolderListing& listing, bool isDesktop,
                                     std::string drivesName) {
    const bool wide = UseWideLabels();
    corvina::DesktopFolderNames names;
    if (isDesktop) {
        names.drives = std::move(drivesName);
        LPITEMIDLIST network = nullptr;
        if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_NETWORK, &network)) && network) {
            CItemIdList owner(network);
            QueryLabel(network, &names.network);
        }
        if (wide) {
            // Compared with the children's names in the same form.
            names.drives = WideToUtf8(AnsiToWide(names.drives));
            names.network = WideToUtf8(AnsiToWide(names.network));
        }
    }
    std::vector<corvina::MenuOrderKey> keys;
    keys.reserve(listing.folders.size());
    for (const FolderChild& child : listing.folders) {
        keys.push_back(child.key);
        corvina::MenuOrderKey& key = keys.back();
        if (isDesktop) {
            key.path = GetPath(child.list.Get());
            key.isDirectory = !key.path.empty() && IsExistingFolder(key.path.c_str());
        }
    }
    std::vector<std::string> labels;
    labels.reserve(listing.files.size());
    for (const FolderChild& child : listing.files) {
        labels.push_back(child.key.displayName);
    }
    const corvina::MenuTextCompare compare = wide ? corvina::MenuTextCompare(CompareUtf8Labels)
                                                  : corvina::MenuTextCompare(CompareMenuTexts);
    return corvina::RankFolderMenu(std::move(keys), labels, isDesktop ? &names : nullptr, compare);
}

// Appending: "Open" (or the greyed "Non" of a drive without its medium), the first entry of
// every folder submenu.
void AppendOpenEntry(ShellMenuHost& host, HMENU menu, LPCITEMIDLIST folder, bool notReady) {
    std::unique_ptr<ShellMenuItemData> open = ShellMenuItemData::Create(MenuItemKind::Command);
    if (!open) {
        return;
    }
    open->SetLabel(BuildText(notReady ? kNotReadyText : kOpenText).c_str());
    int icon = -1;
    if (QueryIconIndex(folder, &icon)) {
        open->SetIconIndex(icon);
    }
    open->SetItemIdList(CopyItemIdList(folder));
    host.AppendEntry(menu, std::move(open), host.NextCommandId(), notReady ? MF_GRAYED : 0u);
}

// The listed children in ranked order, subfolders as submenus that fill when they open (not
// on the desktop), each icon left for the first painting; breaks has one flag per entry.
void AppendListing(ShellMenuHost& host, HMENU menu, FolderListing& listing,
                   const corvina::FolderMenuOrder& order, const std::vector<bool>& breaks,
                   bool isDesktop) {
    const bool wide = UseWideLabels();
    size_t running = 0;
    auto append = [&](FolderChild& child, bool asSubmenu) {
        const UINT columnFlag = breaks[running++] ? MF_MENUBARBREAK : 0u;
        std::unique_ptr<ShellMenuItemData> data = ShellMenuItemData::Create(
            asSubmenu ? MenuItemKind::FolderSubmenu : MenuItemKind::Command);
        if (!data) {
            return;
        }
        if (wide) {
            data->SetWideLabel(child.wideName.c_str());
        } else {
            data->SetLabel(child.key.displayName.c_str());
        }
        data->SetIconPending(true);
        data->SetItemIdList(std::move(child.list));
        if (asSubmenu) {
            HMENU submenu = host.CreateSubmenu();
            if (submenu == nullptr) {
                return;
            }
            data->SetSubmenu(submenu);
            host.AppendEntry(menu, std::move(data), 0, columnFlag);
        } else {
            host.AppendEntry(menu, std::move(data), host.NextCommandId(), columnFlag);
        }
    };
    for (size_t index : order.folders) {
        append(listing.folders[index], !isDesktop);
    }
    for (size_t index : order.files) {
        append(listing.files[index], false);
    }
}

} // namespace

ShellMenuHost::ShellMenuHost() = default;

ShellMenuHost::~ShellMenuHost() {
    // While this object is still whole, so that WM_DESTROY reaches it.
    DestroyWindow();
    DestroyMenu();
}

bool ShellMenuHost::Create(HWND parent, UINT controlId) {
    HMENU id = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(controlId));
    // The menu loop hands a typed character to its owner in the owner's kind: only a Unicode
    // owner gets a Hangul or other character outside the code page as it was typed.
    if (UseWideLabels()) {
        return CreateUnicodeEx(0, WS_CHILD, 0, 0, 0, 0, parent, id);
    }
    return CreateEx(0, nullptr, "", WS_CHILD, 0, 0, 0, 0, parent, id);
}

void ShellMenuHost::ShowAt(int x, int y, UINT trackFlags) {
    // The menu loop dispatches posted messages, so a second hot key arrives in the middle of
    // this showing: rebuilding now would free the entries under the open menu.
    if (m_tracking) {
        return;
    }
    CFlagScope tracking(m_tracking);
    HMENU popup = BuildMenu();
    if (popup == nullptr) {
        return;
    }
    HWND frame = GetParent(GetHwnd());
    const UINT command = static_cast<UINT>(
        TrackPopupMenuInForeground(popup, trackFlags | TPM_RIGHTBUTTON | TPM_RETURNCMD, x, y,
                                   GetHwnd(), frame ? frame : GetHwnd()));
    HideTip();
    if (command != 0 && command != static_cast<UINT>(-1)) {
        ExecuteCommand(command);
    }
    DestroyMenu();
}

BOOL ShellMenuHost::GetDrivesFolderInfo(int* iconIndex, std::string* displayName) {
    return QueryDrivesFolderInfo(iconIndex, displayName);
}

HMENU ShellMenuHost::BuildMenu() {
    DestroyMenu();
    m_nextCommandId = 1;
    HMENU popup = nullptr;
    CMenuHandle root = CreatePopupMenuBar(&popup);
    if (!root) {
        return nullptr;
    }
    m_rootMenu = std::move(root);
    {
        CWaitCursor wait;
        FillRootMenu(popup);
    }
    if (GetMenuItemCount(popup) <= 0) {
        DestroyMenu();
        return nullptr;
    }
    return popup;
}

void ShellMenuHost::FillRootMenu(HMENU popup) {
    (void)popup;
}

void ShellMenuHost::DestroyMenu() {
    HMENU popup = GetPopupMenu();
    if (popup != nullptr) {
        FreeMenuItemData(popup);
    }
    // Data of entries no longer in the tree (taken out by someone else) is still ours.
    m_itemData.Clear();
    // Detach the submenus from their entries first: destroying a menu destroys the popups
    // attached to it, and each handle must be destroyed exactly once.
    auto detachSubmenus = [](HMENU menu) {
        for (int position = GetMenuItemCount(menu) - 1; position >= 0; --position) {
            if (GetSubMenu(menu, position) != nullptr) {
                RemoveMenu(menu, static_cast<UINT>(position), MF_BYPOSITION);
            }
        }
    };
    if (popup != nullptr) {
        detachSubmenus(popup);
    }
    for (const CMenuHandle& submenu : m_createdSubmenus) {
        detachSubmenus(submenu);
    }
    m_createdSubmenus.clear();
    m_rootMenu.Close(); // and its popup
    m_tipCommandId = 0;
}

BOOL ShellMenuHost::ExecuteCommand(UINT commandId) {
    ShellMenuItemData* data = FindCommandData(commandId);
    if (data == nullptr || data->GetItemIdList() == nullptr) {
        return FALSE;
    }
    if (m_launchHook && m_launchHook(data->GetItemIdList())) {
        return TRUE;
    }
    return RunItemIdList(data->GetItemIdList());
}

void ShellMenuHost::FreeMenuItemData(HMENU menu) {
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_DATA | MIIM_SUBMENU;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) {
            continue;
        }
        if (info.hSubMenu != nullptr) {
            FreeMenuItemData(info.hSubMenu);
        }
        if (OwnsItemData(info.dwItemData)) {
            FreeItemData(reinterpret_cast<ShellMenuItemData*>(info.dwItemData));
            MENUITEMINFOA clear = {};
            clear.cbSize = sizeof(clear);
            clear.fMask = MIIM_DATA;
            SetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &clear);
        }
    }
}

void ShellMenuHost::FreeItemData(ShellMenuItemData* data) {
    m_itemData.Free(data);
}

void ShellMenuHost::UpdateMenuFont() {
    m_menuFont = CreateMenuFont();
    m_charWidth = 0;
    m_lineHeight = 0;
    CWindowDC dc(GetHwnd());
    if (!dc || !m_menuFont) {
        return;
    }
    CSelectObject select(dc.Get(), m_menuFont.Get());
    TEXTMETRICA metrics = {};
    if (GetTextMetricsA(dc.Get(), &metrics)) {
        m_charWidth = metrics.tmAveCharWidth;
        m_lineHeight = metrics.tmHeight + metrics.tmExternalLeading;
    }
}

UINT ShellMenuHost::NextCommandId() {
    return m_nextCommandId++;
}

void ShellMenuHost::PaintSpacer(const DRAWITEMSTRUCT& draw) {
    PaintMenuSeparator(draw.hDC, draw.rcItem);
}

bool ShellMenuHost::SystemScrollsLongMenus() {
    CSystemVersion version;
    if (!QuerySystemVersion(&version)) {
        return true;
    }
    return corvina::SystemScrollsLongMenus(version.IsNtFamily(), version.major, version.minor);
}

bool ShellMenuHost::GetInfoTip(const ShellMenuItemData& data, MenuEntryTip* tip) {
    LPCITEMIDLIST list = data.GetItemIdList();
    if (list == nullptr || tip == nullptr) {
        return false;
    }
    tip->iconIndex = data.GetIconIndex();
    // The shell's name, never the user's own.
    tip->title.clear();
    if (UseWideLabels()) {
        QueryWideLabelAndIcon(list, &tip->title, nullptr);
    } else {
        std::string title;
        QueryLabel(list, &title);
        tip->title = AnsiToWide(title);
    }
    const std::wstring path = GetTipPath(list);
    tip->body.clear();
    QueryInfoTip(list, nullptr, &tip->body);
    if (!tip->body.empty()) {
        tip->wrapWidth = path.empty() ? kTipWrapWidth : TipWindow::kNoWrap;
    } else {
        tip->body = path;
        tip->wrapWidth = TipWindow::kNoWrap;
    }
    return true;
}

void ShellMenuHost::FillFolderMenu(ShellMenuItemData& data) {
    FillWithFolder(data.GetSubmenu(), data.GetItemIdList(), false);
}

void ShellMenuHost::FillWithFolder(HMENU menu, LPCITEMIDLIST folder, bool folderOnly) {
    if (menu == nullptr || folder == nullptr) {
        return;
    }
    const bool isDesktop = IsDesktopItemIdList(folder) != FALSE;
    const std::string folderPath = GetPath(folder);
    const bool notReady = IsDriveRoot(folderPath.c_str()) && !IsDriveRootReady(folderPath.c_str());
    FolderListing listing;
    if (!notReady) {
        listing = ListFolder(folder, isDesktop, folderOnly);
    }

    AppendOpenEntry(*this, menu, folder, notReady);
    if (listing.IsEmpty()) {
        return;
    }
    AppendEntry(menu, ShellMenuItemData::Create(MenuItemKind::Separator), NextCommandId(), 0);

    std::string drivesName;
    if (isDesktop) {
        GetDrivesFolderInfo(nullptr, &drivesName);
    }
    const corvina::FolderMenuOrder order = RankListing(listing, isDesktop, std::move(drivesName));

    const int perColumn = corvina::MenuEntriesPerColumn(GetScreenHeight(), m_lineHeight);
    const int inMenu = GetMenuItemCount(menu);
    const std::vector<bool> breaks = corvina::PlanMenuColumnBreaks(
        inMenu > 0 ? static_cast<size_t>(inMenu) : 0, listing.folders.size() + listing.files.size(),
        perColumn, SystemScrollsLongMenus());
    AppendListing(*this, menu, listing, order, breaks, isDesktop);
}

bool ShellMenuHost::AppendEntry(HMENU menu, std::unique_ptr<ShellMenuItemData> data, UINT commandId,
                                UINT extraFlags) {
    if (menu == nullptr || !data) {
        return false;
    }
    UINT flags = MF_OWNERDRAW | extraFlags;
    UINT_PTR id = commandId;
    switch (data->GetKind()) {
    case MenuItemKind::Separator:
        flags |= MF_SEPARATOR;
        break;
    case MenuItemKind::FolderSubmenu:
        flags |= MF_POPUP;
        id = reinterpret_cast<UINT_PTR>(data->GetSubmenu());
        break;
    default:
        break;
    }
    ShellMenuItemData* entry = m_itemData.Keep(std::move(data));
    if (entry == nullptr) {
        return false;
    }
    if (!AppendMenuA(menu, flags, id, reinterpret_cast<LPCSTR>(entry))) {
        m_itemData.Free(entry);
        return false;
    }
    return true;
}

HMENU ShellMenuHost::CreateSubmenu() {
    CMenuHandle submenu(CreatePopupMenu());
    const HMENU handle = submenu.Get();
    if (!submenu) {
        return nullptr;
    }
    try {
        m_createdSubmenus.push_back(std::move(submenu));
    } catch (...) {
        return nullptr; // still owned by submenu, which destroys it
    }
    return handle;
}

void ShellMenuHost::ResolveEntryIcon(ShellMenuItemData& data) {
    if (!data.IsIconPending()) {
        return;
    }
    int icon = -1;
    if (data.GetItemIdList() == nullptr || !QueryEntryIcon(data.GetItemIdList(), &icon)) {
        icon = -1;
    }
    data.SetIconIndex(icon);
}

bool ShellMenuHost::QueryEntryIcon(LPCITEMIDLIST list, int* iconIndex) {
    return QueryIconIndex(list, iconIndex) != FALSE;
}

void ShellMenuHost::InitMenuPopup(HMENU popup) {
    if (popup == nullptr || GetMenuItemCount(popup) != 0) {
        return; // filled already during this showing
    }
    ShellMenuItemData* owner = FindSubmenuOwner(popup);
    if (owner == nullptr || owner->GetKind() != MenuItemKind::FolderSubmenu) {
        return;
    }
    CWaitCursor wait;
    FillFolderMenu(*owner);
}

namespace {

template <class Match> ShellMenuItemData* SearchMenu(HMENU menu, const Match& match, int depth) {
    // Menus nest only as deep as the user opens them; the limit guards against a cycle.
    if (menu == nullptr || depth > 64) {
        return nullptr;
    }
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_DATA | MIIM_SUBMENU | MIIM_ID;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) {
            continue;
        }
        auto* data = reinterpret_cast<ShellMenuItemData*>(info.dwItemData);
        if (match(info, data)) {
            return data;
        }
        if (info.hSubMenu != nullptr) {
            if (ShellMenuItemData* found = SearchMenu(info.hSubMenu, match, depth + 1)) {
                return found;
            }
        }
    }
    return nullptr;
}

} // namespace

ShellMenuItemData* ShellMenuHost::FindSubmenuOwner(HMENU popup) const {
    return SearchMenu(
        GetPopupMenu(),
        [this, popup](const MENUITEMINFOA& info, ShellMenuItemData*) {
            return info.hSubMenu == popup && OwnsItemData(info.dwItemData);
        },
        0);
}

ShellMenuItemData* ShellMenuHost::FindCommandData(UINT commandId) const {
    if (commandId == 0) {
        return nullptr;
    }
    return SearchMenu(
        GetPopupMenu(),
        [this, commandId](const MENUITEMINFOA& info, ShellMenuItemData*) {
            return info.hSubMenu == nullptr && info.wID == commandId &&
                   OwnsItemData(info.dwItemData);
        },
        0);
}

bool ShellMenuHost::OwnsItemData(ULONG_PTR itemData) const {
    // Compared as an address only: what it points at is not read unless it is ours.
    return m_itemData.Owns(itemData);
}

HMENU ShellMenuHost::GetPopupMenu() const {
    return m_rootMenu ? GetSubMenu(m_rootMenu, 0) : nullptr;
}

bool ShellMenuHost::IsDriveRootReady(const char* path) {
    return IsDriveReady(path) != FALSE;
}

int ShellMenuHost::GetScreenHeight() {
    return GetSystemMetrics(SM_CYSCREEN);
}

void ShellMenuHost::HideTip() {
    if (m_tip.GetHwnd() != nullptr) {
        m_tip.Hide();
    }
    m_tipShowing = false;
}

void ShellMenuHost::OnMenuSelect(UINT item, UINT flags, HMENU menu) {
    if ((flags == 0xFFFF && menu == nullptr) || (flags & (MF_POPUP | MF_GRAYED | MF_DISABLED))) {
        HideTip();
        return;
    }
    HideTip();
    ShellMenuItemData* data = FindCommandData(item);
    MenuEntryTip tip;
    if (data == nullptr || m_tip.GetHwnd() == nullptr) {
        return;
    }
    ResolveEntryIcon(*data); // the tip shows the entry's icon
    if (!GetInfoTip(*data, &tip)) {
        return;
    }
    m_tip.SetTitle(tip.title.c_str(), tip.iconIndex);
    m_tipCommandId = item;
    m_tip.Show(tip.body.c_str(), tip.wrapWidth);
    m_tipShowing = true;
}

void ShellMenuHost::OnDrawItem(const DRAWITEMSTRUCT& draw) {
    ShellMenuItemData* found = m_itemData.Find(draw.itemData);
    if (found == nullptr) {
        return;
    }
    ShellMenuItemData& data = *found;
    if (data.GetKind() == MenuItemKind::Separator) {
        PaintSpacer(draw);
    } else {
        ResolveEntryIcon(data);
        DrawMenuItem(draw, m_menuFont.Get(), IsFlatMenuSystem() != FALSE);
    }
    if (m_tipShowing && draw.itemID == m_tipCommandId && !(draw.itemState & ODS_SELECTED)) {
        HideTip();
    }
}

LRESULT ShellMenuHost::OnMenuChar(WPARAM typed, bool unicode, HMENU menu) {
    return AnswerShellMenuChar(
        menu, typed, unicode, [this](const MENUITEMINFOA& item) -> const ShellMenuItemData* {
            const ShellMenuItemData* data = m_itemData.Find(item.dwItemData);
            return data && data->GetKind() != MenuItemKind::Separator ? data : nullptr;
        });
}

LRESULT ShellMenuHost::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // Nothing thrown may unwind through the system's menu loop (or Explorer's, in the band).
    try {
        return HandleMessage(message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

LRESULT ShellMenuHost::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        UpdateMenuFont();
        if (m_tip.Create()) {
            m_tip.SetMargins(kTipMarginX, kTipMarginY);
        }
        return 0;
    case WM_DESTROY:
        // Ending the program with the menu open: close the menu before its entries go.
        if (m_tracking) {
            EndMenu();
        }
        HideTip();
        DestroyMenu();
        m_tip.DestroyWindow();
        break;
    case WM_INITMENUPOPUP:
        InitMenuPopup(reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_MENUSELECT:
        OnMenuSelect(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam));
        return 0;
    case WM_MEASUREITEM: {
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (measure != nullptr && measure->CtlType == ODT_MENU && OwnsItemData(measure->itemData)) {
            MeasureMenuItem(measure, m_menuFont.Get(), kResidentMenuExtraWidth);
            return TRUE;
        }
        break;
    }
    case WM_DRAWITEM: {
        auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (draw != nullptr && draw->CtlType == ODT_MENU && OwnsItemData(draw->itemData)) {
            OnDrawItem(*draw);
            return TRUE;
        }
        break;
    }
    case WM_MENUCHAR:
        return OnMenuChar(wParam, IsWindowUnicode(GetHwnd()) != FALSE,
                          reinterpret_cast<HMENU>(lParam));
    case WM_SETTINGCHANGE:
        UpdateMenuFont();
        break;
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
