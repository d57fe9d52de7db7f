// Shared by the menu tests: a menu with seams for what this machine cannot give (old
// systems without scrolling menus, drives without a medium), a fixture that owns the list
// key, a scratch folder and the host window, and readers of built menus.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "common/ShellMenuItemData.h"
#include "resident/CorvinaPlusMenu.h"

class CTestMenu : public CorvinaPlusMenu {
public:
    bool scrolls = true;
    int screenHeight = 0; // 0: the real one
    std::set<std::string> notReadyDrives;

    // Icon queries made through the menu's seam, and the items they were for.
    std::atomic<int> iconQueries{0};

    // Owner-drawn paintings of this menu's entries, and those painted without their icon.
    std::atomic<int> drawn{0};
    std::atomic<int> drawnWithoutIcon{0};
    // Sent from another thread while the menu is open: counts, in the menu's own thread, the
    // entries of the submenu in wParam whose icon has been asked for.
    static constexpr UINT kCountIconsAsked = WM_APP + 31;

    bool SystemScrollsLongMenus() override { return scrolls; }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    bool QueryEntryIcon(LPCITEMIDLIST list, int* iconIndex) override {
        ++iconQueries;
        return CorvinaPlusMenu::QueryEntryIcon(list, iconIndex);
    }
    int GetScreenHeight() override {
        return screenHeight > 0 ? screenHeight : CorvinaPlusMenu::GetScreenHeight();
    }
    bool IsDriveRootReady(const char* path) override {
        return notReadyDrives.count(path) == 0 && CorvinaPlusMenu::IsDriveRootReady(path);
    }
};

// One entry of a built menu as the system and its item data describe it.
struct MenuEntry {
    MenuItemKind kind = MenuItemKind::None;
    UINT id = 0;
    UINT type = 0;  // MFT_*
    UINT state = 0; // MFS_*
    HMENU submenu = nullptr;
    std::string label;
    int icon = -1;
    std::string path; // of the entry's item, empty if none
    ShellMenuItemData* data = nullptr;
};

std::vector<MenuEntry> ReadMenu(HMENU menu);
std::vector<std::string> Labels(const std::vector<MenuEntry>& entries);
std::string PathOf(LPCITEMIDLIST list);
std::string ShellName(const std::string& path);
int ShellIcon(const std::string& path);

// Owns the list key for the test (through the registry fixture), a scratch folder, a parent
// window and the menu window.
class MenuTest : public RegistryTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the list: each path with its override (empty: none).
    void SaveList(const std::vector<std::pair<std::string, std::string>>& items);
    void SaveDesktopList();
    std::string MakeFolder(const std::string& name);
    std::string MakeFile(const std::string& name);
    // "Top" with the folders beta and Alpha (which holds deep.txt) and the files zed.txt,
    // Mid.txt and apple.txt, saved as the list's one entry "Everything"; its path.
    std::string MakeSortingSample();
    // Corvset.exe beside this test program, removed in TearDown.
    void PlaceSettingsProgram();
    void RemoveSettingsProgram();
    // What WM_INITMENUPOPUP for submenu does, through the window.
    void OpenSubmenu(HMENU submenu);
    // Paints the entry through the window's WM_DRAWITEM, as the menu does when it shows.
    void DrawEntry(const MenuEntry& entry);
    // What WM_MENUCHAR for typed in menu answers, through the window.
    LRESULT TypeInMenu(HMENU menu, char typed);

    CScratchFolder m_scratch;
    CTestMenu m_menu;
    HWND m_parent = nullptr;

private:
    bool m_comInitialized = false;
};
