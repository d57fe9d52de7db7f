// The band's toolbar: one button per record of the menu item list, a drop-down arrow on
// folders that have entries, the item's shell context menu on right-click, tooltips with the
// item's name and info tip, and a drop target that adds dropped items to the list. It keeps
// the host's rebar told of its ideal width and the band of its keyboard focus.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "band/CBandDropTarget.h"
#include "band/CBandFolderMenu.h"
#include "band/CItemContextMenuWnd.h"
#include "band/CShellToolBar.h"
#include "band/core/CommandIds.h"
#include "band/core/TooltipText.h"
#include "common/MenuItemList.h"
#include "framework/CItemIdList.h"
#include "framework/CSubclassWnd.h"

// What the toolbar tells the band object about the keyboard focus.
class IBandFocusSink {
public:
    virtual void FocusChange(bool gained) = 0;

protected:
    ~IBandFocusSink() = default;
};

class CBandToolBar : public CShellToolBar, public IBandDropSite {
public:
    // What the toolbar keeps of one button: one record per button, in button order.
    struct ButtonRecord {
        CItemIdList itemIdList;
        // The code-page text: the user's own name, or the shell's.
        std::string label;
        // The shell's name as the NT family gives it (see UseWideLabels); empty where the
        // button shows the code-page text (the user's own name, or every label on the 9x
        // family).
        std::wstring wideLabel;
        // The user's own name of the button's record; empty where the label is the shell's.
        std::string userName;
    };

    // One field of every button's record, read as a vector is (size and index).
    template <typename T> class ButtonFields {
    public:
        ButtonFields(const std::vector<ButtonRecord>& buttons, T ButtonRecord::*field)
            : m_buttons(buttons), m_field(field) {}
        size_t size() const { return m_buttons.size(); }
        const T& operator[](size_t index) const { return m_buttons[index].*m_field; }

    private:
        const std::vector<ButtonRecord>& m_buttons;
        T ButtonRecord::*m_field;
    };

    static constexpr int kBarHeight = 22;
    static constexpr UINT kItemMenuId = 100;
    static constexpr UINT kFolderMenuId = 101;
    static const char kItemMenuText[];   // "WORK001"
    static const char kFolderMenuText[]; // "WORK002"

    CBandToolBar();
    // Destroys the window if it still exists, frees the item ID lists and the menu windows.
    ~CBandToolBar() override;

    // Set by the band before Initialize. The site is borrowed, not counted: the band clears
    // it (null) before it lets go of its own reference.
    void SetBandCallback(IBandFocusSink* sink) { m_bandCallback = sink; }
    // The band object this toolbar is part of (borrowed): held while a message is handled,
    // so that a host releasing the band from inside a menu loop frees it only once the loop
    // has returned. The band clears it (null) before its own destruction.
    void SetOwner(IUnknown* owner) { m_owner = owner; }
    void SetSite(IInputObjectSite* site) { m_site = site; }
    IInputObjectSite* GetSite() const { return m_site; }

    // Attaches to the band's freshly created toolbar window and runs the creation step:
    // styles, image list, button size, the two hidden menu windows, the parent hook, the
    // buttons and the drop-target registration. False (and nothing of it left) when the
    // window cannot be attached or a menu window cannot be made.
    bool Initialize(HWND toolbar);
    // Ends the menu the toolbar has open, if any; its loop returns soon after.
    void EndMenus();
    bool IsInMenuLoop() const { return m_menuLoops > 0; }

    void SetViewMode(DWORD mode);
    DWORD GetViewMode() const { return m_viewMode; }
    int GetBarHeight() const { return m_barHeight; }
    void SetBandId(DWORD id) { m_bandId = id; }
    DWORD GetBandId() const { return m_bandId; }

    void LoadButtons() override;
    // LoadButtons with the list style off around it, then UpdateIdealSize.
    void RefreshButtons();
    // Tells the host rebar the band's ideal width (the last button's right edge) and lets
    // it show a chevron.
    void UpdateIdealSize();
    // The lowest command id >= 1 that no button has; -1 when none is free.
    int FindFreeCommandId();
    // The index of the button with this command id, or -1.
    int CommandToIndex(UINT commandId) const;
    int GetButtonCount() const override;

    // Whether the "Text" option is on (read afresh).
    static bool IsTextOptionOn();
    // The immediate button of a dropped item at index (0 .. count): the item ID list and
    // label go into a new record at index. The list is taken over; false (and the list
    // freed) when the button cannot be inserted.
    bool InsertDroppedItem(int index, CItemIdList item, const std::string& label) override;
    // The buttons' records as the menu item list, each with the user's own name where there
    // is one and an empty one otherwise.
    MenuItemList GetButtonList() const override;
    HWND GetDropWindow() const override { return GetHwnd(); }
    // One per button, in button order.
    const std::vector<ButtonRecord>& GetButtons() const { return m_buttons; }
    // The records' item ID lists and labels alone, in the same order.
    ButtonFields<CItemIdList> GetItemIdLists() const {
        return {m_buttons, &ButtonRecord::itemIdList};
    }
    ButtonFields<std::string> GetLabels() const { return {m_buttons, &ButtonRecord::label}; }

    CItemContextMenuWnd& GetItemMenu() { return m_itemMenu; }
    CBandFolderMenu& GetFolderMenu() { return m_folderMenu; }
    CBandDropTarget& GetDropTarget() { return m_dropTarget; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Gives the button of command id the label of the record at index, wide where there is
    // a wide one.
    void SetButtonText(int id, size_t index);

protected:
    // The item's info tip from its parent folder's info-tip object; false when the folder
    // offers none for it.
    virtual bool GetItemInfoTip(LPCITEMIDLIST item, std::u16string* tip);
    IUnknown* GetLifetimeOwner() const override { return m_owner; }

private:
    // Sees the messages of the toolbar's parent window (the host's rebar) before it does.
    class CParentHook : public CSubclassWnd {
    public:
        explicit CParentHook(CBandToolBar& toolbar) : m_toolbar(toolbar) {}
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    protected:
        IUnknown* GetLifetimeOwner() const override { return m_toolbar.m_owner; }

    private:
        CBandToolBar& m_toolbar;
    };

    // TBN_DROPDOWN from the toolbar, seen by the parent hook: the menu is opened from the
    // toolbar's own queue, once the control has finished with its notification (a host
    // closing the band from inside the menu then destroys no control that is still busy).
    void QueueFolderDropDown(const NMTOOLBARA& notification);
    void ShowFolderDropDown();
    // Whether the notification comes from this toolbar or its tooltip control.
    bool IsOwnNotification(const NMHDR& header) const;
    // After a menu loop: the reload that arrived during it, if the window is still there.
    void FinishMenuLoop();
    // The button's item's context menu, posted by WM_CONTEXTMENU on a button; false when the
    // point is on no button.
    bool ShowItemMenu(POINT screenPoint);
    // False when the item offers no info tip object: no text then.
    bool FillTooltip(NMTTDISPINFOW& info);
    void NotifyThemeChange();

    IBandFocusSink* m_bandCallback = nullptr;
    IUnknown* m_owner = nullptr;
    CParentHook m_parentHook;
    IInputObjectSite* m_site = nullptr;
    std::vector<ButtonRecord> m_buttons;
    int m_barHeight = kBarHeight;
    DWORD m_bandId = 0;
    DWORD m_viewMode = 0;
    CBandFolderMenu m_folderMenu;
    CItemContextMenuWnd m_itemMenu;
    CBandDropTarget m_dropTarget;
    corvina::CommandIdPool m_commandIds;
    bool m_updatingIdealSize = false;
    int m_menuLoops = 0;
    bool m_reloadPending = false;
    int m_dropDownCommand = -1;
    RECT m_dropDownRect = {};
    // The text of this toolbar's last tooltip: the control reads it at once, on this
    // toolbar's thread; other toolbars (of other browser windows, on other threads) have
    // their own.
    wchar_t m_tooltipText[corvina::kTooltipBufferUnits] = {};
};
