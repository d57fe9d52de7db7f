// The data behind one item of the menu list tree: the shell item, the name the tree shows
// (and the editor saves as the item's display-name override) and its small icon. Owned by its
// tree item; freed when that item is deleted.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "framework/CItemIdList.h"

class MenuListEntry {
public:
    MenuListEntry(CItemIdList itemIdList, std::string name, int iconIndex);
    MenuListEntry(const MenuListEntry&) = delete;
    MenuListEntry& operator=(const MenuListEntry&) = delete;
    ~MenuListEntry();

    // Still owned by the entry.
    LPCITEMIDLIST GetItemIdList() const { return m_itemIdList.Get(); }
    const std::string& GetName() const { return m_name; }
    // A new name is the user's own, a code-page text: the shell's wide name goes with it.
    void SetName(std::string name) {
        m_name = std::move(name);
        m_wideName.clear();
    }
    // The shell's name as the NT family gives it, shown in place of the name (which keeps the
    // code-page form that is saved); empty when the tree shows the name itself.
    const std::wstring& GetWideName() const { return m_wideName; }
    void SetWideName(std::wstring name) { m_wideName = std::move(name); }
    // Index in the system image list; -1 when the shell gave none.
    int GetIconIndex() const { return m_iconIndex; }

private:
    CItemIdList m_itemIdList;
    std::string m_name;
    std::wstring m_wideName;
    int m_iconIndex;
};
