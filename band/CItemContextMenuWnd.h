// The hidden child window of the band toolbar that shows a button's item's own shell
// context menu, relays the menu messages the shell's owner-drawn submenus need ("Send To",
// "Open With"), runs the chosen entry and shows the help text of the highlighted entry.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "framework/CItemIdList.h"
#include "framework/CWnd.h"
#include "framework/ComPtr.h"
#include "framework/Handles.h"
#include "foldermenu/TipWindow.h"

class CItemContextMenuWnd : public CWnd {
public:
    static constexpr UINT kFirstCommand = 1;
    static constexpr UINT kLastCommand = 0x7000;
    static constexpr int kTipMargin = 4;
    static constexpr int kTipWrapWidth = 50;

    CItemContextMenuWnd();
    ~CItemContextMenuWnd() override;

    // The virtual operations below keep this declaration order.

    // Creates the hidden zero-sized child window with this text and control id, and its tip
    // window, which is destroyed with it. False (and neither left) if either fails or a
    // window exists already.
    virtual bool Create(const char* text, HWND parent, UINT controlId);
    // Shows the item's menu at the screen point (trackFlags from PlaceMenu) and runs the
    // chosen entry. False when no menu could be built (nothing was shown).
    virtual bool TrackMenu(POINT screenPoint, UINT trackFlags);
    // The item's display name and system image list index; either may be null.
    virtual BOOL GetItemNameAndIcon(std::string* name, int* iconIndex);
    // Adds the item's shell entries to submenu; false when there is no item or its parent
    // folder cannot be bound.
    virtual bool FillMenu(HMENU submenu);
    // Runs the entry with this menu command id.
    virtual void RunCommand(UINT commandId);

protected:
    // The context-menu object of the item `last` in its parent folder, owned by this window.
    // Tests put an object of their own here.
    virtual HRESULT GetItemContextMenu(IShellFolder* parent, LPCITEMIDLIST last,
                                       IContextMenu** menu);

public:
    // Holds a copy of item (nothing for null); whether an item is now held.
    bool SetItem(LPCITEMIDLIST item);
    LPCITEMIDLIST GetItem() const { return m_item; }
    // The item's context-menu object while a menu is built and shown.
    IContextMenu* GetContextMenu() const { return m_contextMenu.Get(); }
    TipWindow& GetTipWindow() { return m_tip; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The help text of the highlighted entry in the tip window, or the tip hidden.
    void ShowHelpText(UINT item, UINT flags);

    CComPtr<IContextMenu> m_contextMenu;
    CItemIdList m_item;
    CMenuHandle m_menu;
    TipWindow m_tip;
};
