// The hidden child window that owns one showing of a popup menu of shell items: the menu
// tree, every entry's ShellMenuItemData, the folder submenus it creates (filled only when
// they open), the menu font and the info tip. Nothing survives a showing: each ShowAt builds
// afresh and destroys everything before it returns.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/MenuItemDataOwner.h"
#include "common/ShellMenuItemData.h"
#include "framework/CItemIdList.h"
#include "framework/CWnd.h"
#include "framework/Handles.h"
#include "foldermenu/TitledTipWindow.h"

// What the info tip shows for one entry, in UTF-16 (on the 9x family, the code page's texts
// read into it).
struct MenuEntryTip {
    std::wstring title;
    std::wstring body;
    int iconIndex = -1;
    int wrapWidth = TipWindow::kNoWrap;
};

class ShellMenuHost : public CWnd {
public:
    // May take over opening a chosen item; returns true when it did.
    using LaunchHook = std::function<bool(LPCITEMIDLIST item)>;

    static constexpr int kTipMarginX = 4;
    static constexpr int kTipMarginY = 4;
    static constexpr int kTipWrapWidth = 50;

    ShellMenuHost();
    ~ShellMenuHost() override;

    // The virtual operations below keep this declaration order.

    // Creates the hidden child window with the given control id; the menu font and the tip
    // window are created with it.
    virtual bool Create(HWND parent, UINT controlId);
    // Builds the menu, tracks it at (x, y) (TPM_RIGHTBUTTON | TPM_RETURNCMD are added to
    // trackFlags), opens the chosen item and destroys the whole menu before returning. Does
    // nothing while a showing is still under way (a request arriving through the menu loop).
    virtual void ShowAt(int x, int y, UINT trackFlags);
    // Icon index and display name of the drives folder (My Computer). Either may be null.
    virtual BOOL GetDrivesFolderInfo(int* iconIndex, std::string* displayName);
    // Resets the command counter, creates the root menu bar with its one popup and fills the
    // popup. Returns the popup, or null (and nothing is left) when it has no entries. Any
    // earlier menu is destroyed first.
    virtual HMENU BuildMenu();
    // Appends the top-level entries to popup. This class adds none.
    virtual void FillRootMenu(HMENU popup);
    // Frees every entry's data, every created submenu and the root menu.
    virtual void DestroyMenu();
    // Opens the item of the entry with this command id (through the launch hook if it takes
    // it). False when no entry has the id or opening failed.
    virtual BOOL ExecuteCommand(UINT commandId);
    // Frees the item data of every entry of menu and of its submenus that this host owns,
    // and clears the entries' data so that nothing points at freed memory.
    virtual void FreeMenuItemData(HMENU menu);
    // Frees data if this host owns it; anything else is left alone.
    virtual void FreeItemData(ShellMenuItemData* data);
    // Re-creates the menu font from the system's metrics and measures it on this window.
    virtual void UpdateMenuFont();
    virtual UINT NextCommandId();
    // Paints an entry of kind separator.
    virtual void PaintSpacer(const DRAWITEMSTRUCT& draw);
    // Whether this system scrolls menus taller than the screen (column breaks otherwise).
    virtual bool SystemScrollsLongMenus();
    // The tip for an entry; false when it has none.
    virtual bool GetInfoTip(const ShellMenuItemData& data, MenuEntryTip* tip);
    // Fills the empty submenu of a folder entry (data's submenu) with that folder's contents.
    virtual void FillFolderMenu(ShellMenuItemData& data);

    // Fills menu with folder's contents the way a folder submenu is filled: the "Open" entry,
    // then (when the folder has entries) a separator, the subfolders as submenus that fill
    // when they open, and unless folderOnly the other items sorted by label. Used for folder
    // submenus and by owners whose top level is one folder.
    void FillWithFolder(HMENU menu, LPCITEMIDLIST folder, bool folderOnly);

    // Appends an owner-drawn entry carrying data; this host keeps the data (freed by
    // DestroyMenu) and the entry holds a plain pointer to it. On failure the data is freed at
    // once. For kind FolderSubmenu the data's submenu is the popup.
    bool AppendEntry(HMENU menu, std::unique_ptr<ShellMenuItemData> data, UINT commandId,
                     UINT extraFlags);
    // A new empty submenu, remembered so that DestroyMenu destroys it.
    HMENU CreateSubmenu();

    // What WM_INITMENUPOPUP does: fills popup if it is an empty folder submenu of this menu.
    void InitMenuPopup(HMENU popup);
    // Asks the shell for the icon of an entry whose icon waits for its first painting; the
    // answer (no icon if the shell has none) is kept for the life of the menu.
    void ResolveEntryIcon(ShellMenuItemData& data);
    // The entry whose submenu is popup, searched depth first from the root; null if none.
    ShellMenuItemData* FindSubmenuOwner(HMENU popup) const;
    // The data of the entry with this command id anywhere in the menu; null if none.
    ShellMenuItemData* FindCommandData(UINT commandId) const;
    // Whether itemData is a ShellMenuItemData this host appended and has not freed. Menus it
    // hosts may hold entries of others (the shell's own owner-drawn entries) whose data must
    // never be read as ours.
    bool OwnsItemData(ULONG_PTR itemData) const;

    void SetLaunchHook(LaunchHook hook) { m_launchHook = std::move(hook); }
    HMENU GetRootMenu() const { return m_rootMenu.Get(); }
    // From the start of tracking until the showing has opened its pick and cleaned up.
    bool IsTracking() const { return m_tracking; }
    HMENU GetPopupMenu() const;
    const std::vector<CMenuHandle>& GetCreatedSubmenus() const { return m_createdSubmenus; }
    HFONT GetMenuFont() const { return m_menuFont.Get(); }
    // Character height plus external leading of the menu font.
    int GetMenuLineHeight() const { return m_lineHeight; }
    int GetMenuCharWidth() const { return m_charWidth; }
    TitledTipWindow& GetTipWindow() { return m_tip; }
    UINT GetTipCommandId() const { return m_tipCommandId; }
    bool IsTipShowing() const { return m_tipShowing; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    // Whether the drive root path is ready; a seam for drives that cannot be had here.
    virtual bool IsDriveRootReady(const char* path);
    // Screen height used for column breaks.
    virtual int GetScreenHeight();
    // The icon query behind ResolveEntryIcon; a seam for counting what is asked.
    virtual bool QueryEntryIcon(LPCITEMIDLIST list, int* iconIndex);

    void OnMenuSelect(UINT item, UINT flags, HMENU menu);
    void OnDrawItem(const DRAWITEMSTRUCT& draw);
    // The WM_MENUCHAR answer for menu: the entry whose label starts with typed.
    // typed is the message's wParam; unicode says whether this window got it as UTF-16.
    LRESULT OnMenuChar(WPARAM typed, bool unicode, HMENU menu);
    void HideTip();

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    CMenuHandle m_rootMenu; // the menu bar; its popup goes with it
    // Destroyed one by one, detached from their entries first (a menu destroys the popups
    // attached to it, and each handle must go exactly once).
    std::vector<CMenuHandle> m_createdSubmenus;
    // Every entry's data; each entry carries a plain pointer to its own.
    CMenuItemDataOwner<ShellMenuItemData> m_itemData;
    UINT m_nextCommandId = 1;
    CFontHandle m_menuFont;
    int m_charWidth = 0;
    int m_lineHeight = 0;
    TitledTipWindow m_tip;
    UINT m_tipCommandId = 0;
    bool m_tipShowing = false;
    bool m_tracking = false;
    LaunchHook m_launchHook;
};
