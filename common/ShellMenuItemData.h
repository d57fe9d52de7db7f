// The data behind one owner-drawn menu entry: label, small shell icon, kind, the shell item it
// opens or expands, and for a folder entry its submenu.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <memory>
#include <string>

#include "framework/CItemIdList.h"

// Stored as a 32-bit integer; the values are fixed because menu builders and painters of
// every deliverable share them.
enum class MenuItemKind : LONG {
    None = 0,
    Separator = 1,     // owner-drawn separator
    FolderSubmenu = 2, // owner-drawn popup whose submenu is filled when it opens
    Command = 3,       // owner-drawn item
};

// The shell's small system image list (shared by the whole process; never destroyed). Fetched
// on first use from the root folder of the Windows drive; null if the shell cannot give it,
// in which case the next call asks again.
HIMAGELIST SystemSmallImageList();

class ShellMenuItemData {
public:
    static constexpr size_t kLabelSize = 260; // bytes, terminator included

    // Kind 0, empty label, no icon (-1), the system small image list, no item, no submenu.
    ShellMenuItemData();
    // A new entry of this kind, owned by the caller; null when memory is short (menus are
    // built inside message handlers, where nothing may be thrown).
    static std::unique_ptr<ShellMenuItemData> Create(MenuItemKind kind);
    ShellMenuItemData(const ShellMenuItemData&) = delete;
    ShellMenuItemData& operator=(const ShellMenuItemData&) = delete;
    // Frees the item ID list. The submenu belongs to whoever built the menu.
    virtual ~ShellMenuItemData();

    // Copies label, cut to 259 bytes at a character boundary of the system code page; null
    // gives an empty label.
    virtual void SetLabel(const char* label);
    // The label in the code page; for a wide label its conversion (characters the code page
    // lacks read "?"), made when first asked.
    virtual const char* GetLabel() const;
    // A shell name as the NT family gives it, cut to 259 units without splitting a surrogate
    // pair; null gives an empty label. Measured and drawn with the wide text calls.
    void SetWideLabel(const wchar_t* label);
    // Null unless the label was set wide.
    const wchar_t* GetWideLabel() const { return m_wide ? m_wideLabel.c_str() : nullptr; }
    // -1 means no icon.
    virtual void SetIconIndex(int iconIndex);
    virtual int GetIconIndex() const;
    virtual void SetImageList(HIMAGELIST imageList);
    virtual HIMAGELIST GetImageList() const;
    virtual void SetKind(MenuItemKind kind);
    virtual MenuItemKind GetKind() const;

    // Takes the list over, freeing the one held before.
    void SetItemIdList(CItemIdList list);
    // Still owned by this object.
    LPCITEMIDLIST GetItemIdList() const { return m_itemIdList.Get(); }
    // Hands the list back to the caller; this object holds none afterwards.
    CItemIdList DetachItemIdList();

    void SetSubmenu(HMENU submenu) { m_submenu = submenu; }
    HMENU GetSubmenu() const { return m_submenu; }

    // An entry of a large folder asks the shell for its icon only when it is first drawn
    // (most are never shown); until then it reads as having none. Setting an icon index
    // ends the wait.
    void SetIconPending(bool pending) { m_iconPending = pending; }
    bool IsIconPending() const { return m_iconPending; }

private:
    mutable char m_label[kLabelSize];
    mutable bool m_labelStale = false; // m_label not yet converted from m_wideLabel
    bool m_wide = false;
    std::wstring m_wideLabel;
    HMENU m_submenu = nullptr;
    MenuItemKind m_kind = MenuItemKind::None;
    HIMAGELIST m_imageList;
    int m_iconIndex = -1;
    bool m_iconPending = false;
    CItemIdList m_itemIdList;
};
