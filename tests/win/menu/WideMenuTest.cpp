// The hot-key menu with names outside the code page: the root entry and a folder submenu show
// the shell's wide names, in the system's order of those names.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "MenuTestSupport.h"
#include "WideNames.h"
#include "common/MenuItemList.h"
#include "common/WideLabels.h"

namespace {

bool CreateWideFolderIn(const std::wstring& parent, const std::wstring& name) {
    return CreateDirectoryW((parent + L"\\" + name).c_str(), nullptr) != FALSE;
}

std::wstring WideLabelOf(const MenuEntry& entry) {
    const wchar_t* wide = entry.data ? entry.data->GetWideLabel() : nullptr;
    return wide ? std::wstring(wide) : std::wstring();
}

TEST_F(MenuTest, FolderSubmenuShowsAndSortsWideNames) {
    const std::wstring top = CreateWideFolder(m_scratch.Path(), OutsideCodePageNames()[0]);
    ASSERT_FALSE(top.empty());
    std::vector<std::wstring> names = OutsideCodePageNames();
    names.push_back(L"alpha");
    names.push_back(L"\uAC00 first"); // 가: before 한 in the system's order
    for (const std::wstring& name : names) {
        ASSERT_TRUE(CreateWideFolderIn(top, name));
    }
    MenuItemList list;
    list.push_back({ParseWidePath(top), std::string()});
    ASSERT_TRUE(list[0].itemIdList);
    ASSERT_TRUE(SaveMenuItemList(list));

    m_menu.SetOptions(true, false);
    HMENU popup = m_menu.BuildMenu();
    ASSERT_NE(popup, nullptr);
    const std::vector<MenuEntry> root = ReadMenu(popup);
    EXPECT_EQ(WideLabelOf(root.at(0)), OutsideCodePageNames()[0]);
    HMENU submenu = root.at(0).submenu;
    ASSERT_NE(submenu, nullptr);
    OpenSubmenu(submenu);
    const std::vector<MenuEntry> entries = ReadMenu(submenu);
    ASSERT_EQ(entries.size(), names.size() + 2);
    std::vector<std::wstring> shown;
    for (size_t k = 2; k < entries.size(); ++k) {
        shown.push_back(WideLabelOf(entries[k]));
        DrawEntry(entries[k]);
    }
    std::vector<std::wstring> expected = names;
    std::stable_sort(expected.begin(), expected.end(),
                     [](const std::wstring& a, const std::wstring& b) {
                         return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1,
                                               b.c_str(), -1) == CSTR_LESS_THAN;
                     });
    EXPECT_EQ(shown, expected);
    EXPECT_LT(std::find(shown.begin(), shown.end(), names[4]),
              std::find(shown.begin(), shown.end(), names[0]))
        << "the names themselves are compared, not their code-page readings";
    // The menu loop hands the owner a typed character in the owner's own kind: a Hangul
    // initial reaches the host whole and picks the only entry it starts.
    EXPECT_TRUE(IsWindowUnicode(m_menu.GetHwnd()));
    const UINT hangulAt =
        static_cast<UINT>(std::find(shown.begin(), shown.end(), names[0]) - shown.begin() + 2);
    EXPECT_EQ(SendMessageW(m_menu.GetHwnd(), WM_MENUCHAR, MAKEWPARAM(names[0][0], MF_POPUP),
                           reinterpret_cast<LPARAM>(submenu)),
              MAKELRESULT(hangulAt, MNC_EXECUTE));
    m_menu.DestroyMenu();
    // The scratch folder's own clean-up goes by code-page names, which these lack.
    for (const std::wstring& name : names) {
        RemoveDirectoryW((top + L"\\" + name).c_str());
    }
    RemoveDirectoryW(top.c_str());
}

} // namespace
