// Shared by the menu tests: a menu with seams for what this machine cannot give (old
// systems without scrolling menus, drives without a medium), a fixture that owns the list
// key, a scratch folder and the host window, and readers of built menus.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "../ownerdraw/OwnerDrawTestSupport.h"
#include "common/ShellMenuItemData.h"
#include "resident/CorvinaPlusMenu.h"

class CTestMenu : public CorvinaPlusMenu {
public:
    bool scrolls = true;
    int screenHeight = 0; // 0: the real one
    std::set<std::string> notReadyDrives;

    bool SystemScrollsLongMenus() override { return scrolls; }

protected:
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

// Counts the task allocator's live blocks while registered.
class CAllocationCounter final : public IMallocSpy {
public:
    CAllocationCounter();
    ~CAllocationCounter();
    bool Registered() const { return m_registered; }
    LONG Live() const { return m_live; }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP_(SIZE_T) PreAlloc(SIZE_T size) override { return size; }
    STDMETHODIMP_(void*) PostAlloc(void* actual) override;
    STDMETHODIMP_(void*) PreFree(void* request, BOOL) override;
    STDMETHODIMP_(void) PostFree(BOOL) override {}
    STDMETHODIMP_(SIZE_T) PreRealloc(void* request, SIZE_T size, void** newRequest, BOOL) override;
    STDMETHODIMP_(void*) PostRealloc(void* actual, BOOL) override;
    STDMETHODIMP_(void*) PreGetSize(void* request, BOOL) override { return request; }
    STDMETHODIMP_(SIZE_T) PostGetSize(SIZE_T actual, BOOL) override { return actual; }
    STDMETHODIMP_(void*) PreDidAlloc(void* request, BOOL) override { return request; }
    STDMETHODIMP_(int) PostDidAlloc(void*, BOOL, int actual) override { return actual; }
    STDMETHODIMP_(void) PreHeapMinimize() override {}
    STDMETHODIMP_(void) PostHeapMinimize() override {}

private:
    volatile LONG m_live = 0;
    bool m_reallocFrom = false;
    bool m_registered = false;
};

// Owns HKCU\Software\Velmora\Corvina for the test (under a named mutex, deleted before and
// after), a scratch folder, a parent window and the menu window.
class MenuTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the list: each path with its override (empty: none).
    void SaveList(const std::vector<std::pair<std::string, std::string>>& items);
    void SaveDesktopList();
    std::string MakeFolder(const std::string& name);
    std::string MakeFile(const std::string& name);
    // Corvset.exe beside this test program, removed in TearDown.
    void PlaceSettingsProgram();
    void RemoveSettingsProgram();
    // What WM_INITMENUPOPUP for submenu does, through the window.
    void OpenSubmenu(HMENU submenu);

    CScratchFolder m_scratch;
    CTestMenu m_menu;
    HWND m_parent = nullptr;

private:
    HANDLE m_mutex = nullptr;
    bool m_comInitialized = false;
};
