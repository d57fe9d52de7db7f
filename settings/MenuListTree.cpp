#include "settings/MenuListTree.h"

#include <cstring>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "common/ItemIdList.h"
#include "common/MenuItemDraw.h"
#include "common/ShellMenuItemData.h"
#include "common/ShellQueries.h"
#include "common/WideLabels.h"
#include "framework/AnsiWide.h"
#include "common/core/WideText.h"
#include "common/core/MenuItemLayout.h"
#include "framework/Handles.h"
#include "settings/CMenuListDropTarget.h"
#include "common/DroppedItemIdList.h"
#include "settings/core/TreeDropPlacement.h"

namespace {

const char kTreeProperty[] = "Corvina.MenuListTree";
// The tree item's text buffer; longer names are shown cut, the entry keeps them whole.
constexpr size_t kItemTextSize = 260;

HTREEITEM NextItem(HWND tree, HTREEITEM item, UINT relation) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

// The entries of item and everything below it (a flat list has nothing below, but a
// caller may have put children there).
void CollectEntries(HWND tree, HTREEITEM item, std::vector<MenuListEntry*>& entries) {
    TVITEMA data = {};
    data.mask = TVIF_PARAM | TVIF_HANDLE;
    data.hItem = item;
    if (SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data)) && data.lParam) {
        entries.push_back(reinterpret_cast<MenuListEntry*>(data.lParam));
    }
    for (HTREEITEM child = NextItem(tree, item, TVGN_CHILD); child;
         child = NextItem(tree, child, TVGN_NEXT)) {
        CollectEntries(tree, child, entries);
    }
}

// The item's full row in client coordinates. The message takes the item in the rectangle's
// first bytes.
bool GetRowRect(HWND tree, HTREEITEM item, RECT* row) {
    *row = RECT{};
    std::memcpy(row, &item, sizeof(item));
    return SendMessageA(tree, TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(row)) != 0;
}

corvina::LayoutRect ToLayout(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

} // namespace

MenuListTree::MenuListTree() = default;

MenuListTree::~MenuListTree() {
    if (GetHwnd() && IsWindow(GetHwnd())) {
        RegisterDropTarget(false);
        // The entries are ours; the window may outlive this object.
        SendMessageA(GetHwnd(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
        Unhook();
    }
}

bool MenuListTree::SubclassWindow(HWND tree) {
    // One tree object per window: the subclass chain would take a second one as well, so a
    // property marks the window as taken.
    if (GetHwnd() || !IsWindow(tree) || GetPropA(tree, kTreeProperty)) {
        return false;
    }
    SetPropA(tree, kTreeProperty, this);
    if (!Attach(tree)) {
        RemovePropA(tree, kTreeProperty);
        return false;
    }
    SetUpWindow();
    return true;
}

bool MenuListTree::Create(HWND parent, const RECT& rect, UINT id) {
    if (GetHwnd()) {
        return false;
    }
    HWND tree = CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "", GetDefaultWindowStyle(),
                                rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                                parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                GetModuleHandleA(nullptr), nullptr);
    if (!tree) {
        return false;
    }
    if (!SubclassWindow(tree)) {
        ::DestroyWindow(tree);
        return false;
    }
    return true;
}

DWORD MenuListTree::GetDefaultWindowStyle() const {
    return WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
           TVS_SHOWSELALWAYS;
}

void MenuListTree::SetUpWindow() {
    const LONG_PTR kept = GetWindowLongPtrA(GetHwnd(), GWL_STYLE) & (WS_CHILD | WS_VISIBLE);
    LONG_PTR style = kept | static_cast<LONG_PTR>(GetDefaultWindowStyle());
    SetWindowLongPtrA(GetHwnd(), GWL_STYLE, style);
    // A flat list: no lines or buttons, whole rows selected, selection always shown.
    style &= ~static_cast<LONG_PTR>(TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT);
    style |= TVS_SHOWSELALWAYS | TVS_FULLROWSELECT;
    SetWindowLongPtrA(GetHwnd(), GWL_STYLE, style);
    SetWindowPos(GetHwnd(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    SetImageList(SystemSmallImageList());
}

HIMAGELIST MenuListTree::GetImageList() const {
    return GetHwnd() ? reinterpret_cast<HIMAGELIST>(
                           SendMessageA(GetHwnd(), TVM_GETIMAGELIST, TVSIL_NORMAL, 0))
                     : nullptr;
}

HIMAGELIST MenuListTree::SetImageList(HIMAGELIST imageList) {
    // The system image list belongs to the shell; the tree never destroys its lists.
    return GetHwnd() ? reinterpret_cast<HIMAGELIST>(
                           SendMessageA(GetHwnd(), TVM_SETIMAGELIST, TVSIL_NORMAL,
                                        reinterpret_cast<LPARAM>(imageList)))
                     : nullptr;
}

void MenuListTree::Unhook() {
    HWND window = GetHwnd();
    if (!window) {
        return;
    }
    if (IsWindow(window)) {
        RemovePropA(window, kTreeProperty);
    }
    Detach();
    m_dropAccepted = false;
    m_insertMarkItem = nullptr;
}

LRESULT MenuListTree::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case TVM_DELETEITEM:
        return DeleteItems(wParam, lParam);
    case WM_DESTROY:
        RegisterDropTarget(false);
        DeleteItems(0, reinterpret_cast<LPARAM>(TVI_ROOT));
        break;
    case WM_NCDESTROY:
        // The rest of the chain still gets the message after this object let go.
        Unhook();
        break;
    default:
        break;
    }
    return Default(message, wParam, lParam);
}

LRESULT MenuListTree::DeleteItems(WPARAM wParam, LPARAM lParam) {
    HTREEITEM item = reinterpret_cast<HTREEITEM>(lParam);
    std::vector<MenuListEntry*> entries;
    if (!item || item == TVI_ROOT) {
        for (HTREEITEM root = GetFirstItem(); root; root = NextItem(GetHwnd(), root, TVGN_NEXT)) {
            CollectEntries(GetHwnd(), root, entries);
        }
    } else {
        CollectEntries(GetHwnd(), item, entries);
    }
    if (m_insertMarkItem) {
        // The mark may sit on an item that is about to go.
        RemoveInsertMark();
    }
    const LRESULT result = Default(TVM_DELETEITEM, wParam, lParam);
    if (result) {
        for (MenuListEntry* entry : entries) {
            DeleteItemData(entry);
        }
    }
    return result;
}

void MenuListTree::DeleteItemData(MenuListEntry* entry) {
    delete entry;
}

bool MenuListTree::RegisterDropTarget(bool on) {
    if (!GetHwnd()) {
        return false;
    }
    if (on == m_dropRegistered) {
        return true;
    }
    if (on) {
        CComPtr<IDropTarget> target;
        if (FAILED(CMenuListDropTarget::Create(this, target.GetAddressOf()))) {
            return false;
        }
        if (FAILED(RegisterDragDrop(GetHwnd(), target.Get()))) {
            static_cast<CMenuListDropTarget*>(target.Get())->Disconnect();
            return false;
        }
        m_dropTarget = std::move(target);
        m_dropRegistered = true;
        return true;
    }
    RevokeDragDrop(GetHwnd());
    if (m_dropTarget) {
        static_cast<CMenuListDropTarget*>(m_dropTarget.Get())->Disconnect();
        m_dropTarget.Reset();
    }
    m_dropRegistered = false;
    m_dropAccepted = false;
    return true;
}

HTREEITEM MenuListTree::InsertEntry(HTREEITEM insertAfter, CItemIdList itemIdList,
                                    const char* name) {
    if (!GetHwnd() || !itemIdList) {
        return nullptr;
    }
    std::string label;
    std::wstring wideLabel;
    int iconIndex = -1;
    if (UseWideLabels()) {
        QueryWideLabelAndIcon(itemIdList.Get(), &wideLabel, &iconIndex);
        label = WideToAnsi(wideLabel);
    } else {
        QueryLabelAndIcon(itemIdList.Get(), &label, &iconIndex);
    }
    if (name && *name) {
        label = name;
        wideLabel.clear();
    }
    auto* entry =
        new (std::nothrow) MenuListEntry(std::move(itemIdList), std::move(label), iconIndex);
    if (!entry) {
        return nullptr;
    }
    entry->SetWideName(std::move(wideLabel));
    std::string text = entry->GetName();
    if (text.size() >= kItemTextSize) {
        text.resize(kItemTextSize - 1);
    }
    TVINSERTSTRUCTA insert = {};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = insertAfter;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    insert.item.pszText = const_cast<char*>(text.c_str());
    insert.item.iImage = iconIndex;
    insert.item.iSelectedImage = iconIndex;
    insert.item.lParam = reinterpret_cast<LPARAM>(entry);
    auto* item = m_inserter
                     ? m_inserter(GetHwnd(), &insert)
                     : reinterpret_cast<HTREEITEM>(SendMessageA(GetHwnd(), TVM_INSERTITEMA, 0,
                                                                reinterpret_cast<LPARAM>(&insert)));
    if (!item) {
        delete entry;
    } else if (!entry->GetWideName().empty()) {
        std::wstring wide = entry->GetWideName();
        if (wide.size() >= kItemTextSize) {
            wide.resize(corvina::WidePrefixLength(AsUtf16(wide), kItemTextSize - 1));
        }
        TVITEMW data = {};
        data.mask = TVIF_TEXT | TVIF_HANDLE;
        data.hItem = item;
        data.pszText = &wide[0];
        SendMessageW(GetHwnd(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&data));
    }
    return item;
}

HTREEITEM MenuListTree::AppendItem(CItemIdList itemIdList, const char* name) {
    return InsertEntry(TVI_LAST, std::move(itemIdList), name);
}

HTREEITEM MenuListTree::InsertItemAfter(HTREEITEM after, CItemIdList itemIdList, const char* name) {
    return InsertEntry(after ? after : TVI_FIRST, std::move(itemIdList), name);
}

HTREEITEM MenuListTree::GetFirstItem() const {
    return GetHwnd() ? NextItem(GetHwnd(), nullptr, TVGN_ROOT) : nullptr;
}

HTREEITEM MenuListTree::GetLastItem() const {
    HTREEITEM last = nullptr;
    for (HTREEITEM item = GetFirstItem(); item; item = NextItem(GetHwnd(), item, TVGN_NEXT)) {
        last = item;
    }
    return last;
}

int MenuListTree::GetItemCount() const {
    int count = 0;
    for (HTREEITEM item = GetFirstItem(); item; item = NextItem(GetHwnd(), item, TVGN_NEXT)) {
        ++count;
    }
    return count;
}

int MenuListTree::GetItemPosition(HTREEITEM item) const {
    if (!item) {
        return -1;
    }
    int position = 0;
    for (HTREEITEM it = GetFirstItem(); it; it = NextItem(GetHwnd(), it, TVGN_NEXT), ++position) {
        if (it == item) {
            return position;
        }
    }
    return -1;
}

HTREEITEM MenuListTree::GetItemAtPosition(int position) const {
    if (position < 0) {
        return nullptr;
    }
    HTREEITEM item = GetFirstItem();
    for (int i = 0; item && i < position; ++i) {
        item = NextItem(GetHwnd(), item, TVGN_NEXT);
    }
    return item;
}

MenuListEntry* MenuListTree::GetEntry(HTREEITEM item) const {
    if (!GetHwnd() || !item) {
        return nullptr;
    }
    TVITEMA data = {};
    data.mask = TVIF_PARAM | TVIF_HANDLE;
    data.hItem = item;
    if (!SendMessageA(GetHwnd(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data))) {
        return nullptr;
    }
    return reinterpret_cast<MenuListEntry*>(data.lParam);
}

bool MenuListTree::CopyOutItem(HTREEITEM item, CItemIdList* itemIdList, std::string* name) const {
    const MenuListEntry* entry = GetEntry(item);
    if (!entry) {
        return false;
    }
    CItemIdList copy =
        m_copier ? m_copier(entry->GetItemIdList()) : CopyItemIdList(entry->GetItemIdList());
    if (!copy) {
        return false;
    }
    if (itemIdList) {
        *itemIdList = std::move(copy);
    }
    if (name) {
        *name = entry->GetName();
    }
    return true;
}

std::string MenuListTree::GetItemName(HTREEITEM item) const {
    const MenuListEntry* entry = GetEntry(item);
    return entry ? entry->GetName() : std::string();
}

bool MenuListTree::SetItemName(HTREEITEM item, const char* name) {
    MenuListEntry* entry = GetEntry(item);
    if (!entry) {
        return false;
    }
    entry->SetName(name ? name : "");
    std::string text = entry->GetName();
    if (text.size() >= kItemTextSize) {
        text.resize(kItemTextSize - 1);
    }
    TVITEMA data = {};
    data.mask = TVIF_TEXT | TVIF_HANDLE;
    data.hItem = item;
    data.pszText = const_cast<char*>(text.c_str());
    SendMessageA(GetHwnd(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&data));
    return true;
}

bool MenuListTree::CollectList(MenuItemList* list) const {
    list->clear();
    for (HTREEITEM item = GetFirstItem(); item; item = NextItem(GetHwnd(), item, TVGN_NEXT)) {
        MenuItemRecord record;
        if (!CopyOutItem(item, &record.itemIdList, &record.displayName)) {
            list->clear();
            return false;
        }
        list->push_back(std::move(record));
    }
    return true;
}

HTREEITEM MenuListTree::FindItemAtPoint(POINT point) const {
    if (!GetHwnd()) {
        return nullptr;
    }
    RECT client = {};
    GetClientRect(GetHwnd(), &client);
    std::vector<HTREEITEM> items;
    std::vector<corvina::LayoutRect> rows;
    for (HTREEITEM item = NextItem(GetHwnd(), nullptr, TVGN_FIRSTVISIBLE); item;
         item = NextItem(GetHwnd(), item, TVGN_NEXTVISIBLE)) {
        RECT row;
        if (!GetRowRect(GetHwnd(), item, &row)) {
            break;
        }
        if (row.top >= client.bottom) {
            break;
        }
        items.push_back(item);
        rows.push_back(ToLayout(row));
    }
    const int hit = corvina::FindRowAtPoint(rows, {point.x, point.y});
    if (hit < 0) {
        return nullptr;
    }
    // Only root items count: the list is flat, but a caller may have nested something.
    HTREEITEM item = items[static_cast<size_t>(hit)];
    return NextItem(GetHwnd(), item, TVGN_PARENT) ? nullptr : item;
}

HTREEITEM MenuListTree::FindItemBeforePoint(POINT point) const {
    HTREEITEM hit = FindItemAtPoint(point);
    return hit ? NextItem(GetHwnd(), hit, TVGN_PREVIOUS) : nullptr;
}

HTREEITEM MenuListTree::GetInsertMarkItem(bool* after) const {
    if (after) {
        *after = m_insertMarkAfter;
    }
    return m_insertMarkItem;
}

void MenuListTree::ShowInsertMark(POINTL screenPoint) {
    POINT point = {screenPoint.x, screenPoint.y};
    ScreenToClient(GetHwnd(), &point);
    const HTREEITEM hit = FindItemAtPoint(point);
    const int count = GetItemCount();
    const corvina::TreeDropPlacement placement =
        corvina::PlaceTreeDrop(hit ? GetItemPosition(hit) : -1, count);
    HTREEITEM markItem = placement.markRow >= 0 ? (hit ? hit : GetLastItem()) : nullptr;
    if (!markItem) {
        RemoveInsertMark();
        return;
    }
    if (markItem == m_insertMarkItem && placement.markAfter == m_insertMarkAfter) {
        return; // unchanged: spare the flicker of a repaint on every mouse move
    }
    SendMessageA(GetHwnd(), TVM_SETINSERTMARK, placement.markAfter ? TRUE : FALSE,
                 reinterpret_cast<LPARAM>(markItem));
    m_insertMarkItem = markItem;
    m_insertMarkAfter = placement.markAfter;
}

void MenuListTree::RemoveInsertMark() {
    if (GetHwnd()) {
        SendMessageA(GetHwnd(), TVM_SETINSERTMARK, 0, 0);
    }
    m_insertMarkItem = nullptr;
    m_insertMarkAfter = false;
}

HRESULT MenuListTree::OnDragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
    (void)keyState;
    // Built only to see that the data holds one sound item; the drop builds it again.
    const CItemIdList probe = ReadSingleDroppedItemIdList(data);
    if (!probe || !GetHwnd()) {
        m_dropAccepted = false;
        RemoveInsertMark();
        *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    m_dropAccepted = true;
    ShowInsertMark(point);
    *effect = DROPEFFECT_LINK;
    return S_OK;
}

HRESULT MenuListTree::OnDragOver(DWORD keyState, POINTL point, DWORD* effect) {
    (void)keyState;
    if (!m_dropAccepted || !GetHwnd()) {
        *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    ShowInsertMark(point);
    *effect = DROPEFFECT_LINK;
    return S_OK;
}

HRESULT MenuListTree::OnDragLeave() {
    // A mark left behind would point at a place where nothing is going to land.
    RemoveInsertMark();
    m_dropAccepted = false;
    return S_OK;
}

HRESULT MenuListTree::OnDrop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
    (void)keyState;
    CItemIdList itemIdList = ReadSingleDroppedItemIdList(data);
    if (!itemIdList || !GetHwnd()) {
        m_dropAccepted = false;
        RemoveInsertMark();
        *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    POINT client = {point.x, point.y};
    ScreenToClient(GetHwnd(), &client);
    const HTREEITEM hit = FindItemAtPoint(client);
    const corvina::TreeDropPlacement placement =
        corvina::PlaceTreeDrop(hit ? GetItemPosition(hit) : -1, GetItemCount());
    RemoveInsertMark();
    HTREEITEM added = nullptr;
    if (placement.append) {
        added = AppendItem(std::move(itemIdList));
    } else {
        added = InsertItemAfter(GetItemAtPosition(placement.insertAfter), std::move(itemIdList));
    }
    m_dropAccepted = false;
    if (!added) {
        *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    SendMessageA(GetHwnd(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(added));
    *effect = DROPEFFECT_LINK;
    return S_OK;
}

void MenuListTree::DrawInsertMark(HDC dc, const RECT& row, bool after) const {
    COLORREF colour = static_cast<COLORREF>(SendMessageA(GetHwnd(), TVM_GETINSERTMARKCOLOR, 0, 0));
    if (colour == CLR_DEFAULT || colour == CLR_NONE) {
        colour = GetSysColor(COLOR_WINDOWTEXT);
    }
    CBrushHandle brush(CreateSolidBrush(colour));
    if (!brush) {
        return;
    }
    // A two-pixel bar on the row's edge with short ends, like the control's own mark.
    const int y = after ? row.bottom - 2 : row.top;
    const int left = row.left + corvina::kMenuIconBoxLeft;
    const int right = row.right - corvina::kMenuIconBoxLeft;
    const RECT bar = {left, y, right, y + 2};
    const int endTop = after ? row.bottom - 4 : row.top;
    const RECT leftEnd = {left, endTop, left + 2, endTop + 4};
    const RECT rightEnd = {right - 2, endTop, right, endTop + 4};
    FillRect(dc, &bar, brush);
    FillRect(dc, &leftEnd, brush);
    FillRect(dc, &rightEnd, brush);
}

bool MenuListTree::ReflectNotify(const NMHDR* header, LRESULT* result) {
    if (!header || !GetHwnd() || header->hwndFrom != GetHwnd() || header->code != NM_CUSTOMDRAW) {
        return false;
    }
    const auto* draw = reinterpret_cast<const NMTVCUSTOMDRAW*>(header);
    LRESULT answer = CDRF_DODEFAULT;
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        answer = CDRF_NOTIFYITEMDRAW;
        break;
    case CDDS_ITEMPREPAINT:
        DrawItem(draw->nmcd.hdc, reinterpret_cast<HTREEITEM>(draw->nmcd.dwItemSpec),
                 (draw->nmcd.uItemState & CDIS_SELECTED) != 0);
        answer = CDRF_SKIPDEFAULT;
        break;
    default:
        break;
    }
    if (result) {
        *result = answer;
    }
    return true;
}

void MenuListTree::DrawItem(HDC dc, HTREEITEM item, bool selected) {
    const MenuListEntry* entry = GetEntry(item);
    if (!dc || !entry) {
        return;
    }
    RECT row;
    if (!GetRowRect(GetHwnd(), item, &row)) {
        return;
    }
    const bool flat = IsFlatMenuSystem() != FALSE;
    MenuEntryLook look = {};
    look.label = entry->GetName().c_str();
    if (!entry->GetWideName().empty()) {
        look.wideLabel = entry->GetWideName().c_str();
    }
    look.imageList = GetImageList();
    look.iconIndex = entry->GetIconIndex();
    look.selected = selected;
    look.disabled = false;
    auto font = reinterpret_cast<HFONT>(SendMessageA(GetHwnd(), WM_GETFONT, 0, 0));
    if (!font) {
        font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }
    PaintMenuEntry(dc, row, look, font, flat);
    if (item == m_insertMarkItem) {
        // The control draws its mark with the item it belongs to, which this paint replaces.
        DrawInsertMark(dc, row, m_insertMarkAfter);
    }
    if (selected) {
        RECT focus = row;
        if (!flat) {
            focus.left = corvina::MenuIconBoxRect(ToLayout(row)).right + corvina::kMenuHighlightGap;
        }
        // DrawFocusRect draws in the text colours; keep them for whatever paints next.
        const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
        const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
        DrawFocusRect(dc, &focus);
        SetBkColor(dc, oldBack);
        SetTextColor(dc, oldText);
    }
}
