#include "common/MenuEntries.h"

#include <utility>

#include "common/ModulePaths.h"
#include "common/ShellQueries.h"
#include "common/UiText.h"
#include "common/WideLabels.h"
#include "common/core/SuiteNames.h"
#include "framework/ModuleInstance.h"

const char kMenuBarPopupText[] = "POPUP MENU";

namespace {

const BilingualText kSettingsLabel = {L"設定...", "Settings..."};

} // namespace

CMenuHandle CreatePopupMenuBar(HMENU* popup) {
    *popup = nullptr;
    CMenuHandle bar(CreateMenu());
    CMenuHandle ownPopup(bar ? CreatePopupMenu() : nullptr);
    if (!ownPopup || !AppendMenuA(bar, MF_POPUP | MF_STRING,
                                  reinterpret_cast<UINT_PTR>(ownPopup.Get()), kMenuBarPopupText)) {
        return CMenuHandle();
    }
    *popup = ownPopup.Detach(); // the bar destroys it with itself
    return bar;
}

std::unique_ptr<ShellMenuItemData> CreateRecordEntry(const MenuItemRecord& record) {
    std::unique_ptr<ShellMenuItemData> data = ShellMenuItemData::Create(MenuItemKind::Command);
    if (!data) {
        return nullptr;
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
    return data;
}

std::string GetSettingsLabel() {
    return BuildText(kSettingsLabel);
}

std::string GetSettingsProgramPath() {
    return GetSiblingPath(GetThisModule(), corvina::kSettingsFileName);
}

std::unique_ptr<ShellMenuItemData> CreateSettingsEntry(bool* present) {
    const std::string path = GetSettingsProgramPath();
    const bool exists = !path.empty() && IsExistingFile(path.c_str());
    if (present != nullptr) {
        *present = exists;
    }
    std::unique_ptr<ShellMenuItemData> settings = ShellMenuItemData::Create(MenuItemKind::Command);
    if (!settings) {
        return nullptr;
    }
    settings->SetLabel(GetSettingsLabel().c_str());
    if (exists) {
        CItemIdList list = ParsePathToItemIdList(path.c_str());
        int icon = -1;
        if (list && QueryIconIndex(list, &icon)) {
            settings->SetIconIndex(icon);
        }
        settings->SetItemIdList(std::move(list));
    }
    return settings;
}

BOOL TrackPopupMenuInForeground(HMENU popup, UINT flags, int x, int y, HWND owner,
                                HWND foreground) {
    const DWORD self = GetCurrentThreadId();
    HWND current = GetForegroundWindow();
    const DWORD foregroundThread = current ? GetWindowThreadProcessId(current, nullptr) : 0;
    const bool attached = foregroundThread != 0 && foregroundThread != self &&
                          AttachThreadInput(self, foregroundThread, TRUE);
    SetForegroundWindow(foreground);
    const BOOL result = TrackPopupMenu(popup, flags, x, y, 0, owner, nullptr);
    if (attached) {
        AttachThreadInput(self, foregroundThread, FALSE);
    }
    // A window that went while its menu was open (a band closed by its host) gets nothing.
    if (IsWindow(owner)) {
        PostMessageA(owner, WM_NULL, 0, 0);
    }
    return result;
}
