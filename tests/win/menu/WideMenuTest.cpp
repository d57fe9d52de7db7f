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
#include "framework/AnsiWide.h"

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

TEST_F(MenuTest, InfoTipOfAWideNameTitlesItWhole) {
    const std::vector<std::wstring>& names = OutsideCodePageNames();
    std::vector<std::wstring> paths;
    MenuItemList list;
    for (const std::wstring& name : names) {
        paths.push_back(CreateWideFolder(m_scratch.Path(), name));
        ASSERT_FALSE(paths.back().empty());
        list.push_back({ParseWidePath(paths.back()), std::string()});
        ASSERT_TRUE(list.back().itemIdList);
    }
    ASSERT_TRUE(SaveMenuItemList(list));
    m_menu.SetOptions(false, false);
    HMENU popup = m_menu.BuildMenu();
    ASSERT_NE(popup, nullptr);
    const std::vector<MenuEntry> entries = ReadMenu(popup);
    ASSERT_GE(entries.size(), names.size());
    m_menu.GetTipWindow().SetDelay(60000); // pending only: nothing shows on the desktop
    for (size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(WideToAnsi(names[i]));
        ASSERT_NE(entries[i].data, nullptr);
        MenuEntryTip tip;
        ASSERT_TRUE(m_menu.GetInfoTip(*entries[i].data, &tip));
        EXPECT_EQ(tip.title, names[i]);
        if (tip.body.find(L'\\') != std::wstring::npos) {
            EXPECT_EQ(tip.body, paths[i]) << "a path, whole";
        }
        // The tip the selection brings shows the same texts.
        SendMessageA(m_menu.GetHwnd(), WM_MENUSELECT, MAKEWPARAM(entries[i].id, MF_OWNERDRAW),
                     reinterpret_cast<LPARAM>(popup));
        ASSERT_TRUE(m_menu.IsTipShowing());
        EXPECT_EQ(m_menu.GetTipWindow().GetTitle(), names[i]);
        EXPECT_EQ(m_menu.GetTipWindow().GetText(), TipWindow::WrapText(tip.body, tip.wrapWidth));

        // The 9x family names it in its code page.
        SetWideLabelsForTesting(0);
        const bool answered = m_menu.GetInfoTip(*entries[i].data, &tip);
        SetWideLabelsForTesting(-1);
        ASSERT_TRUE(answered);
        EXPECT_EQ(tip.title, AnsiToWide(WideToAnsi(names[i])));
    }
    m_menu.DestroyMenu();
    for (const std::wstring& path : paths) {
        RemoveDirectoryW(path.c_str());
    }
}

} // namespace
