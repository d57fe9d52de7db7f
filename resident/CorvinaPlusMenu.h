// The hot-key menu: the user's menu item list at the top level, the "Settings..." entry when
// the settings program lies beside this module, and (with the tier flag) folders of the list
// as submenus of their contents.
#pragma once

#include <string>

#include "foldermenu/ShellMenuHost.h"

class CorvinaPlusMenu : public ShellMenuHost {
public:
    CorvinaPlusMenu();
    ~CorvinaPlusMenu() override;

    // tierFlag: list folders open as submenus; folderOnly: those submenus list folders only.
    void SetOptions(bool tierFlag, bool folderOnly);
    bool GetTierFlag() const { return m_tierFlag; }
    bool GetFolderOnly() const { return m_folderOnly; }

    BOOL GetDrivesFolderInfo(int* iconIndex, std::string* displayName) override;
    void FillRootMenu(HMENU popup) override;
    bool SystemScrollsLongMenus() override;
    bool GetInfoTip(const ShellMenuItemData& data, MenuEntryTip* tip) override;
    void FillFolderMenu(ShellMenuItemData& data) override;

    // "Settings..." or its Japanese form, for the current system.
    static std::string GetSettingsLabel();
    // The settings program beside this module.
    static std::string GetSettingsPath();

private:
    bool m_tierFlag = false;
    bool m_folderOnly = false;
};
