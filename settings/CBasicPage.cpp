#include "settings/CBasicPage.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>

#include <iterator>

#include "common/MenuItemList.h"
#include "common/ModulePaths.h"
#include "common/Registry.h"
#include "common/ShellQueries.h"
#include "common/UiText.h"
#include "common/WindowMessages.h"
#include "common/core/SuiteNames.h"
#include "framework/AnsiWide.h"
#include "framework/CDataExchange.h"
#include "framework/ModuleInstance.h"
#include "framework/SystemVersion.h"
#include "settings/ItemNameDialog.h"
#include "settings/SettingsMessage.h"
#include "settings/core/EditorRules.h"
#include "settings/resource.h"
#include "serversetup/Privileges.h"
#include "serversetup/ServerLoading.h"
#include "serversetup/ServerMessages.h"

namespace {

constexpr char kHandlerKeyPath[] =
    "Directory\\Background\\shellex\\ContextMenuHandlers\\CorvinaExtention";
constexpr char kExtensionClassId[] = "{5A1C7E20-3B9D-4F62-8E41-0C7D2B9F6A13}";

constexpr int kItemHeight = 20;
constexpr int kToolbarImageWidth = 16;
constexpr int kToolbarImageGrowth = 1;
constexpr COLORREF kMaskColour = RGB(255, 0, 255);
constexpr int kToolTipMargin = 2;

struct ToolbarButton {
    int command;
    BilingualText tip;
};

// In toolbar order; the i-th button shows the i-th image of the bitmap.
const ToolbarButton kButtons[] = {
    {IDM_ADD_FILES, {L"メニューにファイルを追加します。", "Add Files."}},
    {IDM_ADD_FOLDERS, {L"メニューにフォルダを追加します。", "Add Folders."}},
    {IDM_RENAME, {L"名前を変更します。", "Change Menu item text."}},
    {IDM_UP, {L"選択された項目を上に移動します。", "Up Menu item."}},
    {IDM_DOWN, {L"選択された項目を↓に移動します。", "Down Menu item."}},
    {IDM_DELETE, {L"選択された項目を削除します。", "Delete Menu item."}},
};

int SystemMajorVersion() {
    CSystemVersion version;
    QuerySystemVersion(&version);
    return static_cast<int>(version.major);
}

void ShowError(const BilingualText& text) {
    SettingsMessageBox(BuildText(text).c_str(), MB_ICONEXCLAMATION);
}

} // namespace

CBasicPage::CBasicPage()
    : CPropertyPage(IDD_BASIC_PAGE), m_extensionEnabled(IsExtensionRegistered()) {}

bool CBasicPage::IsExtensionRegistered() {
    std::string value;
    return ReadRegistryString(HKEY_CLASSES_ROOT, kHandlerKeyPath, nullptr, &value) &&
           lstrcmpiA(value.c_str(), kExtensionClassId) == 0;
}

std::string CBasicPage::GetExtensionServerPath() const {
    return GetSiblingPath(GetModuleHandleA(nullptr), corvina::kExtensionFileName);
}

void CBasicPage::DoDataExchange(CDataExchange& dx) {
    DDX_Check(dx, IDC_EXTENSION_ENABLED, m_extensionEnabled);
}

BOOL CBasicPage::OnInitDialog() {
    const BOOL result = CPropertyPage::OnInitDialog();
    m_tree.SubclassWindow(GetItem(IDC_MENU_TREE));
    m_tree.RegisterDropTarget(true);
    TreeView_SetItemHeight(m_tree, kItemHeight);
    TreeView_SetBkColor(m_tree, GetSysColor(COLOR_MENU));
    LoadList();
    CreateToolbar();
    SelectPosition(0);
    UpdateToolbarButtons();
    return result;
}

void CBasicPage::LoadList() {
    MenuItemList list = LoadMenuItemList();
    for (MenuItemRecord& record : list) {
        m_tree.AppendItem(std::move(record.itemIdList),
                          record.displayName.empty() ? nullptr : record.displayName.c_str());
    }
}

void CBasicPage::CreateToolbar() {
    HWND place = GetItem(IDC_TOOLBAR_PLACE);
    RECT rect = {};
    if (place) {
        ShowWindow(place, SW_HIDE);
        GetWindowRect(place, &rect);
        MapWindowPoints(nullptr, GetHwnd(), reinterpret_cast<POINT*>(&rect), 2);
    }
    m_toolbar = CreateWindowExA(
        0, TOOLBARCLASSNAMEA, nullptr,
        WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NORESIZE |
            CCS_NOMOVEY,
        rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, GetHwnd(),
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDC_MENU_TOOLBAR)), GetThisModule(), nullptr);
    if (!m_toolbar) {
        return;
    }
    SendMessageA(m_toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    if (HWND tips = reinterpret_cast<HWND>(SendMessageA(m_toolbar, TB_GETTOOLTIPS, 0, 0))) {
        SetWindowLongPtrA(tips, GWL_STYLE, GetWindowLongPtrA(tips, GWL_STYLE) | TTS_ALWAYSTIP);
        RECT margin = {kToolTipMargin, kToolTipMargin, kToolTipMargin, kToolTipMargin};
        SendMessageA(tips, TTM_SETMARGIN, 0, reinterpret_cast<LPARAM>(&margin));
    }
    m_toolbarImages.Attach(ImageList_LoadImageA(GetThisModule(), MAKEINTRESOURCEA(IDB_MENU_EDIT),
                                                kToolbarImageWidth, kToolbarImageGrowth,
                                                kMaskColour, IMAGE_BITMAP, 0));
    SendMessageA(m_toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_toolbarImages.Get()));
    for (int i = 0; i < static_cast<int>(std::size(kButtons)); ++i) {
        TBBUTTON button = {};
        button.iBitmap = i;
        button.idCommand = kButtons[i].command;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = TBSTYLE_BUTTON;
        button.iString = -1;
        SendMessageA(m_toolbar, TB_INSERTBUTTONA, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&button));
    }
}

void CBasicPage::UpdateToolbarButtons() {
    if (!m_toolbar) {
        return;
    }
    const HTREEITEM selected = TreeView_GetSelection(m_tree);
    const int position = selected ? m_tree.GetItemPosition(selected) : -1;
    const corvina::MoveButtons moves = corvina::MoveButtonsFor(position, m_tree.GetItemCount());
    SendMessageA(m_toolbar, TB_ENABLEBUTTON, IDM_UP, MAKELPARAM(moves.up, 0));
    SendMessageA(m_toolbar, TB_ENABLEBUTTON, IDM_DOWN, MAKELPARAM(moves.down, 0));
    for (int command : {IDM_ADD_FILES, IDM_ADD_FOLDERS, IDM_RENAME, IDM_DELETE}) {
        SendMessageA(m_toolbar, TB_ENABLEBUTTON, command, MAKELPARAM(TRUE, 0));
    }
}

void CBasicPage::SelectPosition(int position) {
    HTREEITEM item = position >= 0 ? m_tree.GetItemAtPosition(position) : nullptr;
    TreeView_SelectItem(m_tree, item);
}

bool CBasicPage::OnCommand(WORD id, WORD code, HWND control) {
    switch (id) {
    case IDM_ADD_FILES:
        AddFiles();
        return true;
    case IDM_ADD_FOLDERS:
        AddFolders();
        return true;
    case IDM_RENAME:
        RenameSelected();
        return true;
    case IDM_DELETE:
        DeleteSelected();
        return true;
    case IDM_UP:
        MoveSelected(true);
        return true;
    case IDM_DOWN:
        MoveSelected(false);
        return true;
    case IDC_EXTENSION_ENABLED:
        if (code == BN_CLICKED) {
            SetModified(true);
            return true;
        }
        break;
    default:
        break;
    }
    return CPropertyPage::OnCommand(id, code, control);
}

bool CBasicPage::OnNotify(int id, NMHDR* header, LRESULT* result) {
    if (header->hwndFrom == m_tree.GetHwnd()) {
        if (header->code == TVN_SELCHANGEDA || header->code == TVN_SELCHANGEDW) {
            UpdateToolbarButtons();
            *result = 0;
            return true;
        }
        if (m_tree.ReflectNotify(header, result)) {
            return true;
        }
    }
    if ((header->code == TTN_GETDISPINFOA || header->code == TTN_GETDISPINFOW) &&
        AnswerToolTip(header)) {
        *result = 0;
        return true;
    }
    return CPropertyPage::OnNotify(id, header, result);
}

bool CBasicPage::AnswerToolTip(NMHDR* header) {
    HWND tips =
        m_toolbar ? reinterpret_cast<HWND>(SendMessageA(m_toolbar, TB_GETTOOLTIPS, 0, 0)) : nullptr;
    if (!tips || header->hwndFrom != tips) {
        return false;
    }
    for (const ToolbarButton& button : kButtons) {
        if (static_cast<UINT_PTR>(button.command) != header->idFrom) {
            continue;
        }
        // The text must outlive the notification; the member keeps it until the next one.
        m_toolTip = BuildText(button.tip);
        if (header->code == TTN_GETDISPINFOA) {
            auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
            info->hinst = nullptr;
            info->lpszText = const_cast<char*>(m_toolTip.c_str());
        } else {
            m_toolTipWide = AnsiToWide(m_toolTip);
            auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
            info->hinst = nullptr;
            info->lpszText = &m_toolTipWide[0];
        }
        return true;
    }
    return false;
}

void CBasicPage::AddFiles() {
    char path[MAX_PATH] = {};
    // Built from its parts: a '|' byte may be the second byte of a double-byte character.
    std::string filter = BuildText({L"すべてのファイル (*.*)", "All Files (*.*)"});
    filter.push_back('\0');
    filter.append("*.*");
    filter.push_back('\0');
    filter.push_back('\0');
    const std::string title =
        BuildText({L"追加するファイルを選択してください。", "Select Add Files."});

    OPENFILENAMEA dialog = {};
    // Systems before version 5 refuse the structure's newer tail.
    dialog.lStructSize =
        SystemMajorVersion() < 5 ? OPENFILENAME_SIZE_VERSION_400A : sizeof(OPENFILENAMEA);
    dialog.hwndOwner = GetHwnd();
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path;
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;
    if (!GetOpenFileNameA(&dialog)) {
        return;
    }
    CItemIdList list = ParsePathToItemIdList(path);
    if (!list) {
        return;
    }
    if (m_tree.AppendItem(std::move(list))) {
        SetModified(true);
        UpdateToolbarButtons();
    }
}

void CBasicPage::AddFolders() {
    const std::string title =
        BuildText({L"追加するフォルダを選択してください。", "Select Folders."});
    char displayName[MAX_PATH] = {};
    BROWSEINFOA browse = {};
    browse.hwndOwner = GetHwnd();
    browse.pidlRoot = nullptr;
    browse.pszDisplayName = displayName;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = BIF_BROWSEINCLUDEFILES | BIF_DONTGOBELOWDOMAIN;
    CItemIdList list(SHBrowseForFolderA(&browse));
    if (!list) {
        return;
    }
    if (m_tree.AppendItem(std::move(list))) {
        SetModified(true);
        UpdateToolbarButtons();
    }
}

void CBasicPage::RenameSelected() {
    const HTREEITEM selected = TreeView_GetSelection(m_tree);
    if (!selected) {
        return;
    }
    ItemNameDialog dialog(m_tree.GetItemName(selected));
    if (dialog.DoModal(GetHwnd()) != IDOK) {
        return;
    }
    // The tree may have lost the item while the dialog ran (a drop, say).
    if (m_tree.GetItemPosition(selected) < 0) {
        return;
    }
    m_tree.SetItemName(selected, dialog.GetName().c_str());
    SetModified(true);
}

void CBasicPage::DeleteSelected() {
    const HTREEITEM selected = TreeView_GetSelection(m_tree);
    const int position = selected ? m_tree.GetItemPosition(selected) : -1;
    if (position < 0) {
        return;
    }
    TreeView_DeleteItem(m_tree, selected);
    SelectPosition(corvina::SelectionAfterDelete(position, m_tree.GetItemCount()));
    SetModified(true);
    UpdateToolbarButtons();
}

void CBasicPage::MoveSelected(bool up) {
    const HTREEITEM selected = TreeView_GetSelection(m_tree);
    const int position = selected ? m_tree.GetItemPosition(selected) : -1;
    const int count = m_tree.GetItemCount();
    const corvina::MovePlan plan =
        up ? corvina::PlanMoveUp(position, count) : corvina::PlanMoveDown(position, count);
    if (!plan.valid) {
        return;
    }
    CItemIdList list;
    std::string name;
    if (!m_tree.CopyOutItem(selected, &list, &name)) {
        return;
    }
    // The copy goes in before the item comes out: when it cannot be inserted, the item stays
    // where it was and nothing has changed.
    HTREEITEM after = plan.insertAfter >= 0 ? m_tree.GetItemAtPosition(plan.insertAfter) : nullptr;
    HTREEITEM moved = m_tree.InsertItemAfter(after, std::move(list), name.c_str());
    if (!moved) {
        return;
    }
    TreeView_DeleteItem(m_tree, selected);
    TreeView_SelectItem(m_tree, moved);
    SetModified(true);
    UpdateToolbarButtons();
}

BOOL CBasicPage::SaveList(const MenuItemList& list) {
    return SaveMenuItemList(list);
}

bool CBasicPage::SaveEditedList() {
    bool collected = false;
    bool saved = false;
    try {
        MenuItemList list;
        collected = m_tree.CollectList(&list);
        saved = collected && SaveList(list);
    } catch (...) {
        // An allocation that fails while the list is copied; nothing thrown may reach the
        // sheet, which would take it for success and close.
    }
    if (!collected) {
        // Saving only the items that could be copied would drop the others for good.
        ShowError({L"メニュー項目を読み出せなかったため、一覧を保存しませんでした。",
                   "ERROR : A menu item could not be read, so the list was not saved."});
        return false;
    }
    // Some values may have been written before the save failed: the bands reload either way.
    NotifyBandWindows();
    if (!saved) {
        ShowError({L"メニュー項目の一覧を保存できませんでした。",
                   "ERROR : The menu list could not be saved."});
        return false;
    }
    return true;
}

bool CBasicPage::OnApply() {
    UpdateData(true);

    if (!SaveEditedList()) {
        return false;
    }

    const std::string path = GetExtensionServerPath();
    if (path.empty() || !ServerFileExists(path.c_str())) {
        SettingsMessageBox(BuildMissingServerText(ServerDll::Extension, path.c_str()).c_str(),
                           MB_ICONEXCLAMATION);
        return false;
    }
    if (!IsAdministrator()) {
        ShowError({L"『Corvina』の登録を行うには、管理者権限が必要です。\n"
                   L"管理者としてログオンしてください。",
                   "ERROR : Administrators authority is required."});
        return false;
    }
    if (m_extensionEnabled) {
        if (!RegisterServerByLoading(path.c_str())) {
            ShowError({L"『Corvina』の登録に失敗しました。", "ERROR : Registration goes wrong."});
        }
    } else if (UnregisterServerByLoading(path.c_str())) {
        SettingsMessageBox(
            BuildText({L"『Corvina』の登録を解除しました。", "Registration was canceled."}).c_str(),
            MB_OK);
    } else {
        ShowError(
            {L"『Corvina』の登録解除に失敗しました。", "ERROR : Registration release goes wrong."});
    }
    return true;
}
