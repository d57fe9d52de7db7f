// The first page of the settings sheet: the menu list editor (dialog 106). It edits the menu
// item list in a flat tree, writes it back on apply and switches the desktop context-menu
// extension on or off by registering or unregistering its server.
#pragma once

#include <windows.h>

#include <string>

#include "framework/CPropertyPage.h"
#include "common/MenuItemList.h"
#include "framework/Handles.h"
#include "settings/MenuListTree.h"

class CBasicPage : public CPropertyPage {
public:
    CBasicPage();

    // Saves the list, tells the toolbar bands, then registers or unregisters the extension.
    // False when the list cannot be saved whole (the user is told, nothing else is done), and
    // when the extension's file is missing or the user is no administrator (the list is
    // saved all the same).
    bool OnApply() override;

    // Whether the extension's handler key names the extension's class.
    static bool IsExtensionRegistered();

    MenuListTree& GetTree() { return m_tree; }
    HWND GetToolbar() const { return m_toolbar; }

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnNotify(int id, NMHDR* header, LRESULT* result) override;

    // Full path of the extension's server: "Corvina.dll" beside the program.
    virtual std::string GetExtensionServerPath() const;
    // Writes the collected list (SaveMenuItemList); 1 when all of it was stored.
    virtual BOOL SaveList(const MenuItemList& list);

private:
    void LoadList();
    // Collects the tree's list and saves it; tells the user and returns false when either
    // cannot be done whole.
    bool SaveEditedList();
    void CreateToolbar();
    void UpdateToolbarButtons();
    bool AnswerToolTip(NMHDR* header);

    void AddFiles();
    void AddFolders();
    void RenameSelected();
    void DeleteSelected();
    void MoveSelected(bool up);
    void SelectPosition(int position);

    bool m_extensionEnabled;
    MenuListTree m_tree;
    HWND m_toolbar = nullptr;
    CImageListHandle m_toolbarImages;
    std::string m_toolTip;
    std::wstring m_toolTipWide;
};
