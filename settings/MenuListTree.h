// The tree control in which the menu list editor shows and edits the menu item list: a flat
// list of root items in list order, each owning a MenuListEntry, drawn in the look of the
// menu entries, and an OLE drop target for one shell item dragged from Explorer.
//
// The tree takes over an existing tree-view control (SubclassWindow, for a dialog's control)
// or creates one (Create). It frees every entry itself, whoever deletes the item and also
// when the window is destroyed. Custom draw arrives at the parent: the parent passes its
// WM_NOTIFY messages to ReflectNotify and, when that returns true, answers with the result
// it produced (in a dialog procedure through DWLP_MSGRESULT).
//
// The drop target needs OLE initialised on the thread (OleInitialize).
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <oleidl.h>
#include <shlobj.h>

#include <string>

#include "common/MenuItemList.h"
#include "framework/CItemIdList.h"
#include "framework/CSubclassWnd.h"
#include "framework/ComPtr.h"
#include "settings/CMenuListDropTarget.h"
#include "settings/MenuListEntry.h"

class MenuListTree : public IMenuListDropSite, private CSubclassWnd {
public:
    MenuListTree();
    MenuListTree(const MenuListTree&) = delete;
    MenuListTree& operator=(const MenuListTree&) = delete;
    // Frees the entries and lets go of a window that is still alive.
    virtual ~MenuListTree();

    // Takes over a tree-view control and sets it up as a flat list with the system small
    // image list. False when this object has a window already or tree is not a window.
    bool SubclassWindow(HWND tree);
    // Creates a tree-view child of parent and takes it over.
    bool Create(HWND parent, const RECT& rect, UINT id);
    using CSubclassWnd::GetHwnd;
    using CSubclassWnd::operator HWND;

    // Registers (true) or revokes (false) the window as an OLE drop target. Registering
    // twice or revoking when not registered does nothing and succeeds.
    bool RegisterDropTarget(bool on);
    bool IsDropTargetRegistered() const { return m_dropRegistered; }
    // The drop target the window is registered with (null when it is not).
    IDropTarget* GetDropTarget() const { return m_dropTarget.Get(); }

    // The list passes to the new entry. The entry shows name when it is given and not
    // empty, else the shell's display name. Null when the item could not be inserted (the
    // list is freed then).
    HTREEITEM AppendItem(CItemIdList itemIdList, const char* name = nullptr);
    // Directly after `after`, or first when `after` is null.
    HTREEITEM InsertItemAfter(HTREEITEM after, CItemIdList itemIdList, const char* name = nullptr);

    HTREEITEM GetFirstItem() const;
    HTREEITEM GetLastItem() const;
    int GetItemCount() const;
    // 0-based position among the root items, or -1.
    int GetItemPosition(HTREEITEM item) const;
    HTREEITEM GetItemAtPosition(int position) const;
    // Null for a null item or an item without entry.
    MenuListEntry* GetEntry(HTREEITEM item) const;

    // A new copy of the item's list and its name; false for an unknown item or when the
    // copy cannot be allocated.
    bool CopyOutItem(HTREEITEM item, CItemIdList* itemIdList, std::string* name) const;
    std::string GetItemName(HTREEITEM item) const;
    // Changes the entry's name and the item's text.
    bool SetItemName(HTREEITEM item, const char* name);
    // Copies of every item's list with its name, in list order, into *list. False, with
    // *list empty, when any item cannot be copied: saved with a hole, the list would lose
    // that item.
    bool CollectList(MenuItemList* list) const;

    // The root item whose full row holds the point (tree client coordinates), or null.
    HTREEITEM FindItemAtPoint(POINT point) const;
    // The item before the one at the point; null when that is the first or nothing is hit.
    HTREEITEM FindItemBeforePoint(POINT point) const;

    // Where the insert mark was last put: the item (null when none is shown) and whether
    // the mark is after it.
    HTREEITEM GetInsertMarkItem(bool* after = nullptr) const;

    // Custom draw of this tree (NM_CUSTOMDRAW from its window). True when handled; *result
    // is then the answer to the notification.
    bool ReflectNotify(const NMHDR* header, LRESULT* result);

    // Drag and drop, reached through the IDropTarget the window is registered with. point
    // is in screen coordinates, as OLE gives it.
    HRESULT OnDragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT OnDragOver(DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT OnDragLeave() override;
    HRESULT OnDrop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;

    // Style bits of a new tree before it is made flat.
    virtual DWORD GetDefaultWindowStyle() const;
    virtual HIMAGELIST GetImageList() const;
    virtual HIMAGELIST SetImageList(HIMAGELIST imageList);

    // Test seams: stand-ins for copying an entry's item ID list and for inserting a tree
    // item (TVM_INSERTITEM), so that tests can make either fail. Null for the real one.
    using ItemIdListCopier = CItemIdList (*)(LPCITEMIDLIST list);
    using ItemInserter = HTREEITEM (*)(HWND tree, TVINSERTSTRUCTA* insert);
    void SetTestSeams(ItemIdListCopier copier, ItemInserter inserter) {
        m_copier = copier;
        m_inserter = inserter;
    }

protected:
    // Frees an entry whose item has been deleted.
    virtual void DeleteItemData(MenuListEntry* entry);
    // Paints one row in the look of a menu entry.
    virtual void DrawItem(HDC dc, HTREEITEM item, bool selected);

private:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT DeleteItems(WPARAM wParam, LPARAM lParam);
    void Unhook();
    void SetUpWindow();
    HTREEITEM InsertEntry(HTREEITEM insertAfter, CItemIdList itemIdList, const char* name);
    void ShowInsertMark(POINTL screenPoint);
    void RemoveInsertMark();
    void DrawInsertMark(HDC dc, const RECT& row, bool after) const;

    bool m_dropRegistered = false;
    bool m_dropAccepted = false;
    CComPtr<IDropTarget> m_dropTarget;
    HTREEITEM m_insertMarkItem = nullptr;
    bool m_insertMarkAfter = false;
    ItemIdListCopier m_copier = nullptr;
    ItemInserter m_inserter = nullptr;
};
