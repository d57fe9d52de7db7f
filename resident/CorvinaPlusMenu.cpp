#include "resident/CorvinaPlusMenu.h"

#include <memory>
#include <utility>

#include "common/MenuEntries.h"
#include "common/MenuItemList.h"
#include "common/ShellMenuItemData.h"
#include "common/ShellQueries.h"
#include "common/UiText.h"
#include "framework/AnsiWide.h"

namespace {

const BilingualText kSettingsTipTitle = {L"設定", "Settings"};
const BilingualText kSettingsTipBody = {
    L"Corvina およびCorvina Plusで表示するためのメニューに関する設定を行います。",
    "Corvina and Corvina Plus Settings."};

} // namespace

CorvinaPlusMenu::CorvinaPlusMenu() = default;
CorvinaPlusMenu::~CorvinaPlusMenu() = default;

void CorvinaPlusMenu::SetOptions(bool tierFlag, bool folderOnly) {
    m_tierFlag = tierFlag;
    m_folderOnly = folderOnly;
}

std::string CorvinaPlusMenu::GetSettingsLabel() {
    return ::GetSettingsLabel();
}

std::string CorvinaPlusMenu::GetSettingsPath() {
    return GetSettingsProgramPath();
}

BOOL CorvinaPlusMenu::GetDrivesFolderInfo(int* iconIndex, std::string* displayName) {
    return QueryDrivesFolderInfo(iconIndex, displayName);
}

void CorvinaPlusMenu::FillRootMenu(HMENU popup) {
    MenuItemList list = LoadMenuItemList();
    for (MenuItemRecord& record : list) {
        std::unique_ptr<ShellMenuItemData> data = CreateRecordEntry(record);
        if (!data) {
            continue;
        }
        const bool expandable = m_tierFlag && IsExpandableFolder(record.itemIdList.Get());
        data->SetItemIdList(std::move(record.itemIdList));
        if (expandable) {
            HMENU submenu = CreateSubmenu();
            if (submenu != nullptr) {
                data->SetKind(MenuItemKind::FolderSubmenu);
                data->SetSubmenu(submenu);
                AppendEntry(popup, std::move(data), 0, 0);
                continue;
            }
        }
        AppendEntry(popup, std::move(data), NextCommandId(), 0);
    }

    // Only when the settings program lies beside this module.
    bool present = false;
    std::unique_ptr<ShellMenuItemData> settings = CreateSettingsEntry(&present);
    if (!present) {
        return;
    }
    if (GetMenuItemCount(popup) > 0) {
        AppendEntry(popup, ShellMenuItemData::Create(MenuItemKind::Separator), NextCommandId(), 0);
    }
    if (!settings) {
        return;
    }
    AppendEntry(popup, std::move(settings), NextCommandId(), 0);
}

bool CorvinaPlusMenu::SystemScrollsLongMenus() {
    return ShellMenuHost::SystemScrollsLongMenus();
}

bool CorvinaPlusMenu::GetInfoTip(const ShellMenuItemData& data, MenuEntryTip* tip) {
    if (tip == nullptr) {
        return false;
    }
    if (lstrcmpiA(data.GetLabel(), GetSettingsLabel().c_str()) == 0) {
        tip->iconIndex = data.GetIconIndex();
        tip->title = AnsiToWide(BuildText(kSettingsTipTitle));
        tip->body = AnsiToWide(BuildText(kSettingsTipBody));
        tip->wrapWidth = kTipWrapWidth;
        return true;
    }
    return ShellMenuHost::GetInfoTip(data, tip);
}

void CorvinaPlusMenu::FillFolderMenu(ShellMenuItemData& data) {
    FillWithFolder(data.GetSubmenu(), data.GetItemIdList(), m_folderOnly);
}
