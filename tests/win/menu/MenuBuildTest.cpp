// The menu as built from the list and the folders on disk, inspected without tracking it.
#include <shlobj.h>

#include <algorithm>
#include <memory>

#include "MenuTestSupport.h"
#include "common/ItemIdList.h"
#include "common/MenuItemDraw.h"
#include "common/ShellQueries.h"
#include "framework/ComPtr.h"

namespace {

std::string Text(const wchar_t* japanese, const char* english) {
    return IsJapaneseRun() ? ToAnsi(japanese) : std::string(english);
}

TEST_F(MenuTest, RootEntriesFollowTheListWithAndWithoutTiers) {
    const std::string notes = MakeFile("notes.txt");
    const std::string full = MakeFolder("Full");
    MakeFile("Full\\inside.txt");
    const std::string empty = MakeFolder("Empty");
    const std::string plain = MakeFile("plain.txt");
    SaveList({{notes, "My Notes"}, {full, ""}, {empty, ""}, {plain, ""}});

    struct Case {
        bool tier;
        MenuItemKind fullKind;
        std::vector<UINT> commandIds; // of notes, empty, plain
    } cases[] = {
        {false, MenuItemKind::Command, {1, 3, 4}},
        // The folder entry takes no command id: its id is the submenu.
        {true, MenuItemKind::FolderSubmenu, {1, 2, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tier ? "tier flag on" : "tier flag off");
        m_menu.SetOptions(c.tier, false);
        HMENU popup = m_menu.BuildMenu();
        ASSERT_NE(popup, nullptr);
        const std::vector<MenuEntry> entries = ReadMenu(popup);
        ASSERT_EQ(entries.size(), 4u);
        EXPECT_EQ(Labels(entries), (std::vector<std::string>{"My Notes", ShellName(full),
                                                             ShellName(empty), ShellName(plain)}));
        const std::string paths[] = {notes, full, empty, plain};
        for (size_t k = 0; k < entries.size(); ++k) {
            EXPECT_EQ(entries[k].path, paths[k]);
            EXPECT_EQ(entries[k].icon, ShellIcon(paths[k])) << paths[k];
            EXPECT_TRUE(entries[k].type & MFT_OWNERDRAW) << paths[k];
            EXPECT_FALSE(entries[k].type & (MFT_MENUBARBREAK | MFT_MENUBREAK)) << paths[k];
        }
        EXPECT_EQ(entries[1].kind, c.fullKind);
        EXPECT_EQ(entries[0].kind, MenuItemKind::Command);
        EXPECT_EQ(entries[2].kind, MenuItemKind::Command) << "an empty folder is a plain entry";
        EXPECT_EQ(entries[3].kind, MenuItemKind::Command);
        EXPECT_EQ((std::vector<UINT>{entries[0].id, entries[2].id, entries[3].id}), c.commandIds);
        if (c.tier) {
            ASSERT_NE(entries[1].submenu, nullptr);
            EXPECT_EQ(entries[1].data->GetSubmenu(), entries[1].submenu);
            EXPECT_EQ(GetMenuItemCount(entries[1].submenu), 0) << "filled only when opened";
            const auto& created = m_menu.GetCreatedSubmenus();
            EXPECT_NE(std::find(created.begin(), created.end(), entries[1].submenu), created.end());
        } else {
            EXPECT_EQ(entries[1].submenu, nullptr);
            EXPECT_EQ(entries[1].id, 2u);
        }
        // The root is a menu bar holding the popup under its fixed text.
        char text[64] = {};
        GetMenuStringA(m_menu.GetRootMenu(), 0, text, sizeof(text), MF_BYPOSITION);
        EXPECT_STREQ(text, "POPUP MENU");
        EXPECT_EQ(GetSubMenu(m_menu.GetRootMenu(), 0), popup);
        m_menu.DestroyMenu();
        EXPECT_FALSE(IsMenu(popup));
    }
}

TEST_F(MenuTest, SettingsEntryOnlyWhenTheProgramIsBesideTheModule) {
    const std::string item = MakeFile("item.txt");
    const std::string settings = Text(L"設定...", "Settings...");
    struct Case {
        bool withList;
        bool withProgram;
        std::vector<MenuItemKind> kinds; // empty: nothing is built
    } cases[] = {
        {false, false, {}},
        {false, true, {MenuItemKind::Command}},
        {true, false, {MenuItemKind::Command}},
        {true, true, {MenuItemKind::Command, MenuItemKind::Separator, MenuItemKind::Command}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.withList ? "list" : "no list") +
                     (c.withProgram ? ", settings program" : ", no settings program"));
        if (c.withList) {
            SaveList({{item, ""}});
        } else {
            SaveList({});
        }
        if (c.withProgram) {
            PlaceSettingsProgram();
        } else {
            RemoveSettingsProgram();
        }
        HMENU popup = m_menu.BuildMenu();
        if (c.kinds.empty()) {
            EXPECT_EQ(popup, nullptr);
            EXPECT_EQ(m_menu.GetRootMenu(), nullptr) << "nothing is left of an empty menu";
            continue;
        }
        ASSERT_NE(popup, nullptr);
        const std::vector<MenuEntry> entries = ReadMenu(popup);
        ASSERT_EQ(entries.size(), c.kinds.size());
        for (size_t k = 0; k < entries.size(); ++k) {
            EXPECT_EQ(entries[k].kind, c.kinds[k]) << k;
            EXPECT_EQ(entries[k].id, k + 1) << "separators count too";
            EXPECT_TRUE(entries[k].type & MFT_OWNERDRAW) << k;
        }
        if (c.withProgram) {
            const MenuEntry& last = entries.back();
            EXPECT_EQ(last.label, settings);
            EXPECT_EQ(last.path, CorvinaPlusMenu::GetSettingsPath());
            EXPECT_EQ(last.icon, ShellIcon(CorvinaPlusMenu::GetSettingsPath()));
        }
        if (entries.size() > 1) {
            EXPECT_TRUE(entries[1].type & MFT_SEPARATOR);
        }
        m_menu.DestroyMenu();
    }
}

TEST_F(MenuTest, FolderSubmenuListsOpenThenSortedFoldersThenSortedFiles) {
    const std::string top = MakeSortingSample();
    const std::string open = Text(L"開く", "Open");

    struct Case {
        bool folderOnly;
        std::vector<std::string> names; // after "Open" and the separator
        size_t folders;
    } cases[] = {
        {false, {"Alpha", "beta", "apple.txt", "Mid.txt", "zed.txt"}, 2},
        {true, {"Alpha", "beta"}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folderOnly ? "folders only" : "folders and files");
        m_menu.SetOptions(true, c.folderOnly);
        HMENU popup = m_menu.BuildMenu();
        ASSERT_NE(popup, nullptr);
        HMENU submenu = ReadMenu(popup).at(0).submenu;
        ASSERT_NE(submenu, nullptr);
        OpenSubmenu(submenu);
        const std::vector<MenuEntry> entries = ReadMenu(submenu);
        ASSERT_EQ(entries.size(), c.names.size() + 2);
        EXPECT_EQ(entries[0].label, open);
        EXPECT_EQ(entries[0].kind, MenuItemKind::Command);
        EXPECT_EQ(entries[0].path, top);
        EXPECT_EQ(entries[0].icon, ShellIcon(top));
        EXPECT_FALSE(entries[0].state & MFS_GRAYED);
        EXPECT_EQ(entries[1].kind, MenuItemKind::Separator);
        for (size_t k = 0; k < c.names.size(); ++k) {
            const MenuEntry& entry = entries[k + 2];
            EXPECT_EQ(entry.path, top + "\\" + c.names[k]);
            EXPECT_EQ(entry.label, ShellName(entry.path));
            // The icon is asked for when the entry is first painted, and then kept.
            EXPECT_TRUE(entry.data->IsIconPending()) << entry.path;
            EXPECT_EQ(entry.icon, -1) << entry.path;
            const int before = m_menu.iconQueries;
            DrawEntry(entry);
            DrawEntry(entry);
            EXPECT_EQ(m_menu.iconQueries, before + 1) << entry.path;
            EXPECT_FALSE(entry.data->IsIconPending()) << entry.path;
            EXPECT_EQ(entry.data->GetIconIndex(), ShellIcon(entry.path));
            const bool folder = k < c.folders;
            EXPECT_EQ(entry.kind, folder ? MenuItemKind::FolderSubmenu : MenuItemKind::Command)
                << entry.path;
            EXPECT_EQ(entry.submenu != nullptr, folder) << entry.path;
        }
        // Command ids keep counting through the submenu: "Open" 1, separator 2, files 3...
        EXPECT_EQ(entries[0].id, 1u);
        EXPECT_EQ(entries[1].id, 2u);
        if (!c.folderOnly) {
            EXPECT_EQ(entries[4].id, 3u);
        }

        // Opening it again during the same showing adds nothing.
        OpenSubmenu(submenu);
        EXPECT_EQ(ReadMenu(submenu).size(), entries.size());

        // A subfolder fills in turn; Alpha holds one file.
        HMENU alpha = entries[2].submenu;
        OpenSubmenu(alpha);
        const std::vector<MenuEntry> inner = ReadMenu(alpha);
        ASSERT_EQ(inner.size(), c.folderOnly ? 1u : 3u);
        EXPECT_EQ(inner[0].path, top + "\\Alpha");
        if (!c.folderOnly) {
            EXPECT_EQ(inner[2].path, top + "\\Alpha\\deep.txt");
        }
        // beta is empty: only its "Open" entry.
        OpenSubmenu(entries[3].submenu);
        EXPECT_EQ(ReadMenu(entries[3].submenu).size(), 1u);
        m_menu.DestroyMenu();
    }
}

TEST_F(MenuTest, ManyFilesComeOutSortedWithoutRegardToCase) {
    const std::string top = MakeFolder("Many");
    std::vector<std::string> names;
    for (int k = 0; k < 24; ++k) {
        // Scrambled creation order, mixed case.
        const int n = (k * 7) % 24;
        std::string name = std::string(1, static_cast<char>((n % 2 ? 'A' : 'a') + n)) + "-" +
                           std::to_string(k) + ".txt";
        MakeFile("Many\\" + name);
        names.push_back(name);
    }
    SaveList({{top, ""}});
    m_menu.SetOptions(true, false);
    HMENU popup = m_menu.BuildMenu();
    ASSERT_NE(popup, nullptr);
    HMENU submenu = ReadMenu(popup).at(0).submenu;
    OpenSubmenu(submenu);
    const std::vector<MenuEntry> entries = ReadMenu(submenu);
    ASSERT_EQ(entries.size(), names.size() + 2);
    std::vector<std::string> labels;
    for (size_t k = 2; k < entries.size(); ++k) {
        labels.push_back(entries[k].label);
    }
    std::vector<std::string> expected;
    for (const std::string& name : names) {
        expected.push_back(ShellName(top + "\\" + name));
    }
    std::sort(expected.begin(), expected.end(), [](const std::string& a, const std::string& b) {
        return lstrcmpiA(a.c_str(), b.c_str()) < 0;
    });
    EXPECT_EQ(labels, expected);
}

// A shortcut shows without its extension, so its label sorts before a name it follows on
// disk: the menu goes by labels, not by the order the folder lists its files.
TEST_F(MenuTest, FilesGoByTheirLabelsNotTheirFileNames) {
    const std::string top = MakeFolder("Links");
    const std::string target = MakeFile("Links\\x a.txt");
    const std::string shortcut = top + "\\x.lnk";
    ASSERT_TRUE(CreateShellShortcut(shortcut, target));
    const std::string shortcutLabel = ShellName(shortcut);
    const std::string textLabel = ShellName(target);
    ASSERT_LT(lstrcmpiA(shortcutLabel.c_str(), textLabel.c_str()), 0)
        << "this shell shows " << shortcutLabel << " and " << textLabel;

    SaveList({{top, ""}});
    m_menu.SetOptions(true, false);
    HMENU popup = m_menu.BuildMenu();
    ASSERT_NE(popup, nullptr);
    HMENU submenu = ReadMenu(popup).at(0).submenu;
    OpenSubmenu(submenu);
    const std::vector<MenuEntry> entries = ReadMenu(submenu);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[2].path, shortcut);
    EXPECT_EQ(entries[3].path, target);
}

TEST_F(MenuTest, PopupsThatAreNotFolderSubmenusStayUntouched) {
    const std::string top = MakeFolder("Top");
    MakeFile("Top\\a.txt");
    SaveList({{top, ""}});
    m_menu.SetOptions(true, false);
    HMENU popup = m_menu.BuildMenu();
    ASSERT_NE(popup, nullptr);
    HMENU stranger = CreatePopupMenu();
    OpenSubmenu(stranger);
    EXPECT_EQ(GetMenuItemCount(stranger), 0);
    DestroyMenu(stranger);
    // The root popup itself is no folder's submenu either.
    const int before = GetMenuItemCount(popup);
    OpenSubmenu(popup);
    EXPECT_EQ(GetMenuItemCount(popup), before);
}

TEST_F(MenuTest, DesktopSubmenuIsFlatAndInDesktopOrder) {
    SaveDesktopList();
    m_menu.SetOptions(true, false);
    HMENU popup = m_menu.BuildMenu();
    ASSERT_NE(popup, nullptr);
    const std::vector<MenuEntry> root = ReadMenu(popup);
    ASSERT_EQ(root.size(), 1u);
    ASSERT_EQ(root[0].kind, MenuItemKind::FolderSubmenu) << "the desktop is always expandable";
    OpenSubmenu(root[0].submenu);
    const std::vector<MenuEntry> entries = ReadMenu(root[0].submenu);
    ASSERT_GE(entries.size(), 3u) << "the desktop holds at least My Computer";
    EXPECT_EQ(entries[0].label, Text(L"開く", "Open"));
    EXPECT_EQ(entries[1].kind, MenuItemKind::Separator);
    std::string drivesName;
    ASSERT_TRUE(m_menu.GetDrivesFolderInfo(nullptr, &drivesName));
    EXPECT_EQ(entries[2].label, drivesName) << "My Computer comes first";
    // Groups never go back: no path, folders, files, drive roots.
    int lastGroup = 0;
    for (size_t k = 2; k < entries.size(); ++k) {
        const MenuEntry& entry = entries[k];
        EXPECT_EQ(entry.kind, MenuItemKind::Command) << entry.label;
        EXPECT_EQ(entry.submenu, nullptr) << entry.label;
        int group = 0;
        if (!entry.path.empty()) {
            const DWORD attributes = GetFileAttributesA(entry.path.c_str());
            group =
                IsDriveRoot(entry.path.c_str()) ? 3
                : (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
                    ? 1
                    : 2;
        }
        EXPECT_GE(group, lastGroup) << entry.label;
        lastGroup = group;
    }
}

TEST_F(MenuTest, ColumnsBreakEveryColumnWhenTheSystemDoesNotScroll) {
    const std::string top = MakeFolder("Long");
    for (int k = 0; k < 3; ++k) {
        MakeFolder("Long\\dir" + std::to_string(k));
    }
    for (int k = 0; k < 9; ++k) {
        MakeFile("Long\\file" + std::to_string(k) + ".txt");
    }
    SaveList({{top, ""}});
    m_menu.SetOptions(true, false);
    int h = std::max(m_menu.GetMenuLineHeight(), 20);
    h += h % 2;
    m_menu.screenHeight = 6 * h + h / 2; // five entries per column
    struct Case {
        bool scrolls;
        std::vector<size_t> breaks; // positions in the submenu
    } cases[] = {
        // "Open" and the separator make the running position start at 2; it reaches 5 at
        // position 5 and 10 at position 10.
        {false, {5, 10}},
        {true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scrolls ? "scrolling system" : "old system");
        m_menu.scrolls = c.scrolls;
        HMENU popup = m_menu.BuildMenu();
        ASSERT_NE(popup, nullptr);
        HMENU submenu = ReadMenu(popup).at(0).submenu;
        OpenSubmenu(submenu);
        const std::vector<MenuEntry> entries = ReadMenu(submenu);
        ASSERT_EQ(entries.size(), 14u);
        std::vector<size_t> breaks;
        for (size_t k = 0; k < entries.size(); ++k) {
            if (entries[k].type & MFT_MENUBARBREAK) {
                breaks.push_back(k);
            }
        }
        EXPECT_EQ(breaks, c.breaks);
        // The break falls on a folder entry as well as on a file entry.
        if (!c.scrolls) {
            EXPECT_EQ(entries[5].kind, MenuItemKind::Command);
            EXPECT_EQ(entries[4].kind, MenuItemKind::FolderSubmenu);
        }
        m_menu.DestroyMenu();
    }
    // One entry per column at the smallest screen: a break on every listed item.
    m_menu.scrolls = false;
    m_menu.screenHeight = 1;
    HMENU popup = m_menu.BuildMenu();
    ASSERT_NE(popup, nullptr);
    HMENU submenu = ReadMenu(popup).at(0).submenu;
    OpenSubmenu(submenu);
    const std::vector<MenuEntry> entries = ReadMenu(submenu);
    ASSERT_EQ(entries.size(), 14u);
    for (size_t k = 2; k < entries.size(); ++k) {
        EXPECT_TRUE(entries[k].type & MFT_MENUBARBREAK) << k;
    }
}

TEST_F(MenuTest, DriveThatIsNotReadyShowsOnlyAGreyedEntry) {
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string drive = std::string(windows, 3); // "C:\"
    SaveList({{drive, ""}});
    m_menu.SetOptions(true, false);
    struct Case {
        bool ready;
        std::string label;
    } cases[] = {
        {false, Text(L"なし", "Non")},
        {true, Text(L"開く", "Open")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ready ? "ready" : "not ready");
        m_menu.notReadyDrives.clear();
        if (!c.ready) {
            m_menu.notReadyDrives.insert(drive);
        }
        HMENU popup = m_menu.BuildMenu();
        ASSERT_NE(popup, nullptr);
        const MenuEntry root = ReadMenu(popup).at(0);
        ASSERT_EQ(root.kind, MenuItemKind::FolderSubmenu);
        OpenSubmenu(root.submenu);
        const std::vector<MenuEntry> entries = ReadMenu(root.submenu);
        ASSERT_FALSE(entries.empty());
        EXPECT_EQ(entries[0].label, c.label);
        EXPECT_EQ(entries[0].path, drive);
        EXPECT_EQ((entries[0].state & MFS_GRAYED) != 0, !c.ready);
        if (c.ready) {
            EXPECT_GT(entries.size(), 2u) << "the drive's folders and files";
        } else {
            EXPECT_EQ(entries.size(), 1u);
        }
        m_menu.DestroyMenu();
    }
}

TEST_F(MenuTest, ChosenEntryIsOpenedThroughTheHookOrTheShell) {
    const std::string first = MakeFile("first.txt");
    const std::string second = MakeFile("second.txt");
    SaveList({{first, ""}, {second, ""}});
    PlaceSettingsProgram();
    std::vector<std::string> launched;
    bool takeOver = true;
    m_menu.SetLaunchHook([&](LPCITEMIDLIST item) {
        launched.push_back(PathOf(item));
        return takeOver;
    });
    ASSERT_NE(m_menu.BuildMenu(), nullptr);
    struct Case {
        UINT id;
        BOOL result;
        std::string launched; // empty: the hook is not asked
    } cases[] = {
        {2, TRUE, second},
        {1, TRUE, first},
        {3, FALSE, ""}, // the separator has no item
        {4, TRUE, CorvinaPlusMenu::GetSettingsPath()},
        {99, FALSE, ""},
        {0, FALSE, ""},
    };
    for (const Case& c : cases) {
        launched.clear();
        EXPECT_EQ(m_menu.ExecuteCommand(c.id), c.result) << c.id;
        if (c.launched.empty()) {
            EXPECT_TRUE(launched.empty()) << c.id;
        } else {
            EXPECT_EQ(launched, std::vector<std::string>{c.launched}) << c.id;
        }
    }
    m_menu.DestroyMenu();

    // Without a hook that takes it, the shell starts the item: a tiny program that leaves a
    // marker beside itself.
    const std::string program = m_scratch.File("marker.exe");
    ASSERT_TRUE(CopyMarkerProgram(program)) << MarkerProgramPath();
    SaveList({{program, ""}});
    takeOver = false;
    ASSERT_NE(m_menu.BuildMenu(), nullptr);
    launched.clear();
    EXPECT_TRUE(m_menu.ExecuteCommand(1));
    EXPECT_EQ(launched, std::vector<std::string>{program}) << "the hook is still asked";
    const std::string ran = program + ".ran";
    EXPECT_TRUE(WaitForFile(ran, 60000));
}

TEST_F(MenuTest, TypedCharactersPickEntriesByTheirFirstCharacter) {
    const std::string top = MakeSortingSample();
    m_menu.SetOptions(true, false);
    HMENU popup = m_menu.BuildMenu();
    ASSERT_NE(popup, nullptr);
    HMENU submenu = ReadMenu(popup).at(0).submenu;
    OpenSubmenu(submenu);
    // 0 "Open" (Japanese: starts with 開), 1 separator, 2 Alpha, 3 beta, 4 apple.txt,
    // 5 Mid.txt, 6 zed.txt
    ASSERT_EQ(GetMenuItemCount(submenu), 7);
    const bool ja = IsJapaneseRun();
    struct Case {
        HMENU menu;
        char typed;
        int highlighted; // -1: none
        WORD command;
        int index;
    } cases[] = {
        {submenu, 'a', -1, MNC_SELECT, 2},
        {submenu, 'a', 2, MNC_SELECT, 4},
        {submenu, 'A', 4, MNC_SELECT, 2}, // wraps around, either case
        {submenu, 'a', 3, MNC_SELECT, 4},
        {submenu, 'm', 6, MNC_EXECUTE, 5},
        {submenu, 'Z', -1, MNC_EXECUTE, 6},
        {submenu, 'o', -1, ja ? WORD{MNC_IGNORE} : WORD{MNC_EXECUTE}, 0},
        {submenu, 'q', 2, MNC_IGNORE, 0},
        {submenu, '-', -1, MNC_IGNORE, 0}, // the separator is never picked
        {popup, 'e', -1, MNC_EXECUTE, 0},  // the user's own name counts at the top
        {popup, 'x', -1, MNC_IGNORE, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.typed) + " after " + std::to_string(c.highlighted));
        for (int k = 0; k < GetMenuItemCount(c.menu); ++k) {
            MENUITEMINFOA info = {};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_STATE;
            GetMenuItemInfoA(c.menu, static_cast<UINT>(k), TRUE, &info);
            info.fState =
                k == c.highlighted ? (info.fState | MFS_HILITE) : (info.fState & ~UINT{MFS_HILITE});
            SetMenuItemInfoA(c.menu, static_cast<UINT>(k), TRUE, &info);
        }
        const LRESULT answer = TypeInMenu(c.menu, c.typed);
        EXPECT_EQ(HIWORD(answer), c.command);
        if (c.command != MNC_IGNORE) {
            EXPECT_EQ(LOWORD(answer), c.index);
        }
    }
    if (ja) {
        // A double-byte character reaches an ANSI host with its lead byte in the high half,
        // a Unicode host (the NT family's) as one UTF-16 unit.
        const std::string open = ToAnsi(L"開");
        ASSERT_EQ(open.size(), 2u);
        const WORD typed = static_cast<WORD>((static_cast<unsigned char>(open[0]) << 8) |
                                             static_cast<unsigned char>(open[1]));
        const LRESULT answer =
            IsWindowUnicode(m_menu.GetHwnd())
                ? SendMessageW(m_menu.GetHwnd(), WM_MENUCHAR, MAKEWPARAM(L'開', MF_POPUP),
                               reinterpret_cast<LPARAM>(submenu))
                : SendMessageA(m_menu.GetHwnd(), WM_MENUCHAR, MAKEWPARAM(typed, MF_POPUP),
                               reinterpret_cast<LPARAM>(submenu));
        EXPECT_EQ(answer, MAKELRESULT(0, MNC_EXECUTE));
    }
    // Menus that are not this host's are left to the system.
    CMenuHandle other(CreatePopupMenu());
    AppendMenuA(other.Get(), MF_STRING, 1, "apple");
    EXPECT_EQ(TypeInMenu(other.Get(), 'a'), MAKELRESULT(0, MNC_IGNORE));
}

TEST_F(MenuTest, InfoTipFollowsTheSelection) {
    const std::string notes = MakeFile("notes.txt");
    SaveList({{notes, "My Notes"}});
    PlaceSettingsProgram();
    HMENU popup = m_menu.BuildMenu();
    ASSERT_NE(popup, nullptr);
    const std::vector<MenuEntry> entries = ReadMenu(popup);
    ASSERT_EQ(entries.size(), 3u);

    MenuEntryTip tip;
    ASSERT_TRUE(m_menu.GetInfoTip(*entries[2].data, &tip));
    EXPECT_EQ(tip.title, ToWide(Text(L"設定", "Settings")));
    EXPECT_EQ(
        tip.body,
        ToWide(Text(L"Corvina およびCorvina Plusで表示するためのメニューに関する設定を行います。",
                    "Corvina and Corvina Plus Settings.")));
    EXPECT_EQ(tip.wrapWidth, 50);
    EXPECT_EQ(tip.iconIndex, entries[2].icon);

    ASSERT_TRUE(m_menu.GetInfoTip(*entries[0].data, &tip));
    EXPECT_EQ(tip.title, ToWide(ShellName(notes))) << "the shell's name, not the user's";
    EXPECT_EQ(tip.iconIndex, entries[0].icon);
    if (tip.body == ToWide(notes)) {
        EXPECT_EQ(tip.wrapWidth, -1) << "a path is never wrapped";
    } else {
        EXPECT_FALSE(tip.body.empty());
        EXPECT_EQ(tip.wrapWidth, -1) << "an item with a path";
    }

    HWND host = m_menu.GetHwnd();
    struct Step {
        UINT item;
        UINT flags;
        bool closing;
        bool showing;
    } steps[] = {
        {1, MF_OWNERDRAW, false, true},   {0, 0xFFFF, true, false},
        {3, MF_OWNERDRAW, false, true},   {3, MF_OWNERDRAW | MF_GRAYED, false, false},
        {1, MF_OWNERDRAW, false, true},   {0, MF_OWNERDRAW | MF_POPUP, false, false},
        {77, MF_OWNERDRAW, false, false}, // no such entry
    };
    for (const Step& s : steps) {
        SendMessageA(host, WM_MENUSELECT, MAKEWPARAM(s.item, s.flags),
                     s.closing ? 0 : reinterpret_cast<LPARAM>(popup));
        EXPECT_EQ(m_menu.IsTipShowing(), s.showing) << s.item << " " << s.flags;
        EXPECT_EQ(m_menu.GetTipWindow().IsPending() || m_menu.GetTipWindow().IsVisible(), s.showing)
            << s.item << " " << s.flags;
        if (s.showing) {
            EXPECT_EQ(m_menu.GetTipCommandId(), s.item);
        }
    }

    // Repainting the described entry unselected hides the tip; another entry does not.
    SendMessageA(host, WM_MENUSELECT, MAKEWPARAM(1, MF_OWNERDRAW), reinterpret_cast<LPARAM>(popup));
    ASSERT_TRUE(m_menu.IsTipShowing());
    CCanvas canvas(200, 24);
    DRAWITEMSTRUCT draw = {};
    draw.CtlType = ODT_MENU;
    draw.hDC = canvas.Dc();
    draw.rcItem = {0, 0, 200, 24};
    draw.itemID = 3;
    draw.itemData = reinterpret_cast<ULONG_PTR>(entries[2].data);
    EXPECT_TRUE(SendMessageA(host, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)));
    EXPECT_TRUE(m_menu.IsTipShowing());
    draw.itemID = 1;
    draw.itemData = reinterpret_cast<ULONG_PTR>(entries[0].data);
    draw.itemState = ODS_SELECTED;
    SendMessageA(host, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
    EXPECT_TRUE(m_menu.IsTipShowing());
    draw.itemState = 0;
    SendMessageA(host, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
    EXPECT_FALSE(m_menu.IsTipShowing());
}

TEST_F(MenuTest, OnlyMenuOwnerDrawRequestsAreHandled) {
    const std::string notes = MakeFile("notes.txt");
    SaveList({{notes, "A rather long label for measuring"}});
    HMENU popup = m_menu.BuildMenu();
    ASSERT_NE(popup, nullptr);
    ShellMenuItemData* data = ReadMenu(popup).at(0).data;
    HWND host = m_menu.GetHwnd();

    MEASUREITEMSTRUCT measure = {};
    measure.CtlType = ODT_MENU;
    measure.itemData = reinterpret_cast<ULONG_PTR>(data);
    EXPECT_TRUE(SendMessageA(host, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)));
    const SIZE expected = MeasureMenuItem(*data, m_menu.GetMenuFont(), 42);
    EXPECT_EQ(static_cast<LONG>(measure.itemWidth), expected.cx);
    EXPECT_EQ(static_cast<LONG>(measure.itemHeight), expected.cy);
    const SIZE narrower = MeasureMenuItem(*data, m_menu.GetMenuFont(), 26);
    EXPECT_EQ(expected.cx - narrower.cx, 16) << "room for the submenu arrow";

    MEASUREITEMSTRUCT button = {};
    button.CtlType = ODT_BUTTON;
    button.itemWidth = 1234;
    button.itemData = reinterpret_cast<ULONG_PTR>(data);
    EXPECT_FALSE(SendMessageA(host, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&button)));
    EXPECT_EQ(button.itemWidth, 1234u);

    CCanvas canvas(120, 24);
    canvas.Fill(RGB(1, 2, 3));
    DRAWITEMSTRUCT draw = {};
    draw.CtlType = ODT_BUTTON;
    draw.hDC = canvas.Dc();
    draw.rcItem = {0, 0, 120, 24};
    draw.itemData = reinterpret_cast<ULONG_PTR>(data);
    EXPECT_FALSE(SendMessageA(host, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)));
    EXPECT_EQ(canvas.Pixel(60, 12), RGB(1, 2, 3)) << "a button is not painted";
    draw.CtlType = ODT_MENU;
    EXPECT_TRUE(SendMessageA(host, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)));
    EXPECT_EQ(canvas.Pixel(119, 0), GetSysColor(COLOR_MENU)) << "a menu entry is painted";
}

// Item data of another kind that the host must never take for its own.
class CForeignItemData : public ShellMenuItemData {
public:
    explicit CForeignItemData(int* destroyed) : m_destroyed(destroyed) {}
    ~CForeignItemData() override { ++*m_destroyed; }

private:
    int* m_destroyed;
};

TEST_F(MenuTest, EntriesOfOthersInTheMenuAreLeftAlone) {
    const std::string notes = MakeFile("notes.txt");
    const std::string folder = MakeFolder("Folder");
    MakeFile("Folder\\inside.txt");
    SaveList({{notes, "Ours"}});
    int launches = 0;
    m_menu.SetLaunchHook([&](LPCITEMIDLIST) {
        ++launches;
        return true;
    });
    HMENU popup = m_menu.BuildMenu();
    ASSERT_NE(popup, nullptr);
    ShellMenuItemData* ours = ReadMenu(popup).at(0).data;
    ASSERT_NE(ours, nullptr);

    // Entries the shell might add beside ours: one whose data looks like ours, a folder popup
    // with such data, and one whose data is a block that faults when read.
    int destroyed = 0;
    auto* lookalike = new CForeignItemData(&destroyed);
    lookalike->SetKind(MenuItemKind::Command);
    lookalike->SetLabel("Foreign entry");
    lookalike->SetItemIdList(ParsePathToItemIdList(notes.c_str()));
    auto* lookalikeFolder = new CForeignItemData(&destroyed);
    lookalikeFolder->SetKind(MenuItemKind::FolderSubmenu);
    lookalikeFolder->SetItemIdList(ParsePathToItemIdList(folder.c_str()));
    HMENU foreignPopup = CreatePopupMenu();
    lookalikeFolder->SetSubmenu(foreignPopup);
    void* sealed = VirtualAlloc(nullptr, 0x1000, MEM_RESERVE | MEM_COMMIT, PAGE_NOACCESS);
    ASSERT_NE(sealed, nullptr);
    const UINT kForeignId = 0x7000;
    const UINT kSealedId = 0x7001;
    ASSERT_TRUE(AppendMenuA(popup, MF_OWNERDRAW, kForeignId, reinterpret_cast<LPCSTR>(lookalike)));
    ASSERT_TRUE(AppendMenuA(popup, MF_OWNERDRAW | MF_POPUP,
                            reinterpret_cast<UINT_PTR>(foreignPopup),
                            reinterpret_cast<LPCSTR>(lookalikeFolder)));
    ASSERT_TRUE(AppendMenuA(popup, MF_OWNERDRAW, kSealedId, reinterpret_cast<LPCSTR>(sealed)));

    HWND host = m_menu.GetHwnd();
    const SIZE ourSize = MeasureMenuItem(*ours, m_menu.GetMenuFont(), 42);
    struct Case {
        const char* name;
        UINT id;
        ULONG_PTR data;
        bool handled;
    };
    const Case cases[] = {
        {"our entry", 1, reinterpret_cast<ULONG_PTR>(ours), true},
        {"data that looks like ours", kForeignId, reinterpret_cast<ULONG_PTR>(lookalike), false},
        {"a block that faults when read", kSealedId, reinterpret_cast<ULONG_PTR>(sealed), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MEASUREITEMSTRUCT measure = {};
        measure.CtlType = ODT_MENU;
        measure.itemID = c.id;
        measure.itemWidth = 1234;
        measure.itemHeight = 56;
        measure.itemData = c.data;
        EXPECT_EQ(SendMessageA(host, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)) != 0,
                  c.handled);
        EXPECT_EQ(static_cast<LONG>(measure.itemWidth), c.handled ? ourSize.cx : 1234);
        EXPECT_EQ(static_cast<LONG>(measure.itemHeight), c.handled ? ourSize.cy : 56);

        CCanvas canvas(120, 24);
        canvas.Fill(RGB(1, 2, 3));
        DRAWITEMSTRUCT draw = {};
        draw.CtlType = ODT_MENU;
        draw.itemID = c.id;
        draw.itemAction = ODA_DRAWENTIRE;
        draw.hDC = canvas.Dc();
        draw.rcItem = {0, 0, 120, 24};
        draw.itemData = c.data;
        EXPECT_EQ(SendMessageA(host, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)) != 0,
                  c.handled);
        EXPECT_EQ(canvas.Pixel(119, 0) != RGB(1, 2, 3), c.handled);

        launches = 0;
        EXPECT_EQ(m_menu.ExecuteCommand(c.id) != FALSE, c.handled);
        EXPECT_EQ(launches, c.handled ? 1 : 0);
        SendMessageA(host, WM_MENUSELECT, MAKEWPARAM(c.id, MF_OWNERDRAW),
                     reinterpret_cast<LPARAM>(popup));
        EXPECT_EQ(m_menu.IsTipShowing(), c.handled);
    }

    // A popup of someone else's is not filled as a folder submenu, and destroying the menu
    // frees only what the host made.
    OpenSubmenu(foreignPopup);
    EXPECT_EQ(GetMenuItemCount(foreignPopup), 0);
    EXPECT_EQ(m_menu.FindSubmenuOwner(foreignPopup), nullptr);
    m_menu.DestroyMenu();
    EXPECT_EQ(destroyed, 0);
    delete lookalike;
    delete lookalikeFolder;
    EXPECT_EQ(destroyed, 2);
    DestroyMenu(foreignPopup);
    VirtualFree(sealed, 0, MEM_RELEASE);
}

TEST_F(MenuTest, DataHandedToTheHostIsFreedExactlyOnce) {
    SaveList({{MakeFile("notes.txt"), ""}});
    const UINT kEntryId = 0x7100;
    struct Case {
        const char* name;
        bool appendFails;    // appended to no menu: freed at once
        bool takenOut;       // someone else removes the entry before the menu goes
        bool freedWithPopup; // FreeMenuItemData on the popup before the menu goes
    };
    const Case cases[] = {
        {"kept until the menu goes", false, false, false},
        {"an append that fails", true, false, false},
        {"an entry taken out by someone else", false, true, false},
        {"freed with the popup's data", false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HMENU popup = m_menu.BuildMenu();
        ASSERT_NE(popup, nullptr);
        int destroyed = 0;
        auto data = std::make_unique<CForeignItemData>(&destroyed);
        data->SetKind(MenuItemKind::Command);
        const ULONG_PTR address = reinterpret_cast<ULONG_PTR>(data.get());
        const bool appended =
            m_menu.AppendEntry(c.appendFails ? nullptr : popup, std::move(data), kEntryId, 0);
        EXPECT_EQ(appended, !c.appendFails);
        EXPECT_EQ(destroyed, c.appendFails ? 1 : 0);
        EXPECT_EQ(m_menu.OwnsItemData(address), appended);
        if (c.takenOut) {
            ASSERT_TRUE(RemoveMenu(popup, kEntryId, MF_BYCOMMAND));
        }
        if (c.freedWithPopup) {
            m_menu.FreeMenuItemData(popup);
            EXPECT_EQ(destroyed, 1);
            EXPECT_FALSE(m_menu.OwnsItemData(address));
            MENUITEMINFOA info = {};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_DATA;
            ASSERT_TRUE(GetMenuItemInfoA(popup, kEntryId, FALSE, &info));
            EXPECT_EQ(info.dwItemData, 0u) << "the entry no longer points at freed data";
        }
        m_menu.DestroyMenu();
        EXPECT_EQ(destroyed, 1);
        EXPECT_FALSE(m_menu.OwnsItemData(address));
    }
}

TEST_F(MenuTest, SettingChangeMakesANewMenuFontAndFreesTheOld) {
    std::vector<HFONT> fonts;
    for (int k = 0; k < 5; ++k) {
        fonts.push_back(m_menu.GetMenuFont());
        SendMessageA(m_menu.GetHwnd(), WM_SETTINGCHANGE, 0, 0);
    }
    ASSERT_NE(m_menu.GetMenuFont(), nullptr);
    EXPECT_EQ(GetObjectType(m_menu.GetMenuFont()), static_cast<DWORD>(OBJ_FONT));
    for (HFONT font : fonts) {
        if (font != m_menu.GetMenuFont()) {
            EXPECT_EQ(GetObjectType(font), 0u) << "an earlier font is deleted";
        }
    }
    EXPECT_GT(m_menu.GetMenuLineHeight(), 0);
}

TEST_F(MenuTest, ThousandShowingsLeaveNothingBehind) {
    const std::string top = MakeFolder("Top");
    MakeFolder("Top\\Sub");
    MakeFile("Top\\Sub\\x.txt");
    MakeFile("Top\\y.txt");
    const std::string notes = MakeFile("notes.txt");
    SaveList({{top, "Top"}, {notes, ""}});
    PlaceSettingsProgram();
    m_menu.SetOptions(true, false);

    auto cycle = [&](std::vector<HMENU>* handles) {
        HMENU popup = m_menu.BuildMenu();
        if (popup == nullptr) {
            return false;
        }
        handles->push_back(m_menu.GetRootMenu());
        handles->push_back(popup);
        const std::vector<MenuEntry> root = ReadMenu(popup);
        OpenSubmenu(root.at(0).submenu);
        handles->push_back(root.at(0).submenu);
        for (const MenuEntry& entry : ReadMenu(root.at(0).submenu)) {
            if (entry.submenu != nullptr) {
                OpenSubmenu(entry.submenu);
                handles->push_back(entry.submenu);
            }
        }
        m_menu.DestroyMenu();
        return true;
    };
    std::vector<HMENU> warmUp;
    ASSERT_TRUE(cycle(&warmUp)); // the shell's own caches fill here
    ASSERT_EQ(warmUp.size(), 4u);

    CTaskAllocatorSpy counter;
    ASSERT_TRUE(counter.Registered());
    const size_t liveBefore = counter.LiveCount();
    const DWORD gdiBefore = CountGdiObjects();
    for (int k = 0; k < 1000; ++k) {
        std::vector<HMENU> handles;
        ASSERT_TRUE(cycle(&handles)) << k;
        for (HMENU handle : handles) {
            ASSERT_FALSE(IsMenu(handle)) << "cycle " << k;
        }
        ASSERT_TRUE(m_menu.GetCreatedSubmenus().empty());
    }
    EXPECT_EQ(counter.LiveCount(), liveBefore) << "item ID lists left over";
    EXPECT_EQ(CountGdiObjects(), gdiBefore);
}

} // namespace
