#include "MenuTestSupport.h"

#include <shlobj.h>
#include <shlwapi.h>

#include "common/MenuItemList.h"
#include "common/ShellQueries.h"

std::string PathOf(LPCITEMIDLIST list) {
    char path[MAX_PATH] = {};
    if (list == nullptr || !SHGetPathFromIDListA(list, path)) {
        return std::string();
    }
    return path;
}

std::string ShellName(const std::string& path) {
    CItemIdList list = ParsePathToItemIdList(path.c_str());
    std::string name;
    QueryLabel(list.Get(), &name);
    return name;
}

int ShellIcon(const std::string& path) {
    CItemIdList list = ParsePathToItemIdList(path.c_str());
    int icon = -1;
    QueryIconIndex(list.Get(), &icon);
    return icon;
}

std::vector<MenuEntry> ReadMenu(HMENU menu) {
    std::vector<MenuEntry> entries;
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA;
        MenuEntry entry;
        if (GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) {
            entry.id = info.wID;
            entry.type = info.fType;
            entry.state = info.fState;
            entry.submenu = info.hSubMenu;
            entry.data = reinterpret_cast<ShellMenuItemData*>(info.dwItemData);
            if (entry.data != nullptr) {
                entry.kind = entry.data->GetKind();
                entry.label = entry.data->GetLabel();
                entry.icon = entry.data->GetIconIndex();
                entry.path = PathOf(entry.data->GetItemIdList());
            }
        }
        entries.push_back(entry);
    }
    return entries;
}

std::vector<std::string> Labels(const std::vector<MenuEntry>& entries) {
    std::vector<std::string> labels;
    for (const MenuEntry& entry : entries) {
        labels.push_back(entry.label);
    }
    return labels;
}

void MenuTest::SetUp() {
    m_comInitialized = SUCCEEDED(CoInitialize(nullptr));
    RegistryTest::SetUp();
    if (HasFatalFailure()) {
        return;
    }
    RemoveSettingsProgram();
    m_parent = CreateWindowExA(0, "STATIC", "menu test frame", WS_POPUP, 0, 0, 10, 10, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(m_parent, nullptr);
    ASSERT_TRUE(m_menu.Create(m_parent, 100));
}

void MenuTest::TearDown() {
    m_menu.DestroyMenu();
    m_menu.DestroyWindow();
    if (m_parent) {
        DestroyWindow(m_parent);
    }
    RemoveSettingsProgram();
    RegistryTest::TearDown();
    if (m_comInitialized) {
        CoUninitialize();
    }
}

void MenuTest::SaveList(const std::vector<std::pair<std::string, std::string>>& items) {
    ASSERT_TRUE(SaveListOfPaths(items));
}

void MenuTest::SaveDesktopList() {
    LPITEMIDLIST desktop = nullptr;
    ASSERT_TRUE(SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desktop)));
    MenuItemList list;
    MenuItemRecord record;
    record.itemIdList = CItemIdList(desktop);
    list.push_back(std::move(record));
    ASSERT_TRUE(SaveMenuItemList(list));
}

std::string MenuTest::MakeFolder(const std::string& name) {
    const std::string path = m_scratch.File(name);
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
}

std::string MenuTest::MakeFile(const std::string& name) {
    return m_scratch.CreateTextFile(name);
}

std::string MenuTest::MakeSortingSample() {
    const std::string top = MakeFolder("Top");
    MakeFolder("Top\\beta");
    MakeFolder("Top\\Alpha");
    MakeFile("Top\\Alpha\\deep.txt");
    MakeFile("Top\\zed.txt");
    MakeFile("Top\\Mid.txt");
    MakeFile("Top\\apple.txt");
    SaveList({{top, "Everything"}});
    return top;
}

void MenuTest::PlaceSettingsProgram() {
    const std::string path = CorvinaPlusMenu::GetSettingsPath();
    ASSERT_FALSE(path.empty());
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
}

void MenuTest::RemoveSettingsProgram() {
    DeleteFileA(CorvinaPlusMenu::GetSettingsPath().c_str());
}

void MenuTest::OpenSubmenu(HMENU submenu) {
    SendMessageA(m_menu.GetHwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(submenu), 0);
}

void MenuTest::DrawEntry(const MenuEntry& entry) {
    CCanvas canvas(300, 24);
    ASSERT_TRUE(canvas.Valid());
    DRAWITEMSTRUCT draw = {};
    draw.CtlType = ODT_MENU;
    draw.itemID = entry.id;
    draw.itemAction = ODA_DRAWENTIRE;
    draw.hDC = canvas.Dc();
    draw.rcItem = {0, 0, canvas.Width(), canvas.Height()};
    draw.itemData = reinterpret_cast<ULONG_PTR>(entry.data);
    SendMessageA(m_menu.GetHwnd(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
}

LRESULT MenuTest::TypeInMenu(HMENU menu, char typed) {
    return SendMessageA(m_menu.GetHwnd(), WM_MENUCHAR,
                        MAKEWPARAM(static_cast<unsigned char>(typed), MF_POPUP),
                        reinterpret_cast<LPARAM>(menu));
}

LRESULT CTestMenu::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kCountIconsAsked) {
        // Item data only: the paths ReadMenu asks for would take seconds for a huge folder.
        HMENU menu = reinterpret_cast<HMENU>(wParam);
        int asked = 0;
        for (int position = 0; position < GetMenuItemCount(menu); ++position) {
            MENUITEMINFOA info = {};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_DATA;
            if (GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info) &&
                OwnsItemData(info.dwItemData)) {
                const auto* data = reinterpret_cast<const ShellMenuItemData*>(info.dwItemData);
                asked += data->GetKind() != MenuItemKind::Separator && !data->IsIconPending();
            }
        }
        return asked;
    }
    const LRESULT result = CorvinaPlusMenu::WindowProc(message, wParam, lParam);
    const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (message == WM_DRAWITEM && draw != nullptr && OwnsItemData(draw->itemData)) {
        const auto* data = reinterpret_cast<const ShellMenuItemData*>(draw->itemData);
        if (data->GetKind() != MenuItemKind::Separator) {
            ++drawn;
            drawnWithoutIcon += data->IsIconPending() || data->GetIconIndex() < 0;
        }
    }
    return result;
}
