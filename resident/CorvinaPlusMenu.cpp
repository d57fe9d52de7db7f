#include "resident/CorvinaPlusMenu.h"

#include <memory>
#include <utility>

#include "common/MenuItemList.h"
#include "common/ModulePaths.h"
#include "common/ShellMenuItemData.h"
#include "common/ShellQueries.h"
#include "common/WideLabels.h"
#include "common/UiText.h"
#include "framework/AnsiWide.h"

const char CorvinaPlusMenu::kSettingsFileName[] = "Corvset.exe";

namespace {

const BilingualText kSettingsLabel = {L"設定...", "Settings..."};
const BilingualText kSettingsTipTitle = {L"設定", "Settings"};
const BilingualText kSettingsTipBody = {
    L"Corvina およびCorvina Plusで表示するためのメニューに関する設定を行います。",
    "Corvina and Corvina Plus Settings."};

HMODULE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ThisModule), &module);
    return module;
}

} // namespace

CorvinaPlusMenu::CorvinaPlusMenu() = default;
CorvinaPlusMenu::~CorvinaPlusMenu() = default;

void CorvinaPlusMenu::SetOptions(bool tierFlag, bool folderOnly) {
    m_tierFlag = tierFlag;
    m_folderOnly = folderOnly;
}

std::string CorvinaPlusMenu::GetSettingsLabel() {
    return BuildText(kSettingsLabel);
}

std::string CorvinaPlusMenu::GetSettingsPath() {
    return GetSiblingPath(ThisModule(), kSettingsFileName);
}

BOOL CorvinaPlusMenu::GetDrivesFolderInfo(int* iconIndex, std::string* displayName) {
    return QueryDrivesFolderInfo(iconIndex, displayName);
}

void CorvinaPlusMenu::FillRootMenu(HMENU popup) {
    MenuItemList list = LoadMenuItemList();
    for (MenuItemRecord& record : list) {
        std::unique_ptr<ShellMenuItemData> data = ShellMenuItemData::Create(MenuItemKind::Command);
        if (!data) {
            continue;
        }
        int icon = -1;
        // The user's own name is a code-page text; the shell's name comes as it is.
        if (UseWideLabels()) {
            std::wstring label;
            QueryWideLabelAndIcon(record.itemIdList.Get(), &label, &icon);
            data->SetWideLabel(label.c_str());
        } else {
            std::string label;
            QueryLabelAndIcon(record.itemIdList.Get(), &label, &icon);
            data->SetLabel(label.c_str());
        }
        if (!record.displayName.empty()) {
            data->SetLabel(record.displayName.c_str());
        }
        data->SetIconIndex(icon);
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

    const std::string settingsPath = GetSettingsPath();
    if (settingsPath.empty() || !IsExistingFile(settingsPath.c_str())) {
        return;
    }
    if (GetMenuItemCount(popup) > 0) {
        AppendEntry(popup, ShellMenuItemData::Create(MenuItemKind::Separator), NextCommandId(), 0);
    }
    std::unique_ptr<ShellMenuItemData> settings = ShellMenuItemData::Create(MenuItemKind::Command);
    if (!settings) {
        return;
    }
    settings->SetItemIdList(ParsePathToItemIdList(settingsPath.c_str()));
    int icon = -1;
    if (settings->GetItemIdList() != nullptr && QueryIconIndex(settings->GetItemIdList(), &icon)) {
        settings->SetIconIndex(icon);
    }
    settings->SetLabel(GetSettingsLabel().c_str());
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
