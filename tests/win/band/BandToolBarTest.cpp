// The band's toolbar in a rebar of a test window, created the way the band creates it: the
// buttons it makes from the list, reloads announced by another process, the folder
// drop-down, opening items, tooltips, the context menu's fallback and what it leaves behind.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "TestSupport.h"
#include "WideNames.h"
#include "band/CBandToolBar.h"
#include "common/MenuItemList.h"
#include "common/Registry.h"
#include "common/ShellMenuItemData.h"
#include "common/ShellQueries.h"
#include "common/WideLabels.h"
#include "common/WindowMessages.h"
#include "framework/CWnd.h"

namespace {

constexpr BYTE kPlainStyle = 0x70;
constexpr BYTE kArrowStyle = 0x78;

// The host's frame: records the context menus that reach it through the rebar.
class CFrame : public CWnd {
public:
    int contextMenus = 0;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_CONTEXTMENU) {
            ++contextMenus;
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

struct ShellInfo {
    std::string name;
    int icon = -1;
};

// What the shell says about a path, asked by path rather than by item ID list.
ShellInfo ShellInfoOf(const std::string& path) {
    SHFILEINFOA info = {};
    SHGetFileInfoA(path.c_str(), 0, &info, sizeof(info), SHGFI_DISPLAYNAME | SHGFI_SYSICONINDEX);
    return {info.szDisplayName, info.iIcon};
}

CItemIdList DesktopList() {
    LPITEMIDLIST desktop = nullptr;
    SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desktop);
    return CItemIdList(desktop);
}

// Ends the menu the test opened once it shows (the visible popup whose menu `wanted` gives,
// when set), after letting check look at it.
struct MenuWatch {
    static MenuWatch* current;
    std::function<HMENU()> wanted;
    std::function<void(HWND popup)> check;
    bool seen = false;

    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
        if (current == nullptr || current->seen) {
            return;
        }
        HWND popup = nullptr;
        while ((popup = FindWindowExA(nullptr, popup, "#32768", nullptr)) != nullptr) {
            if (IsWindowVisible(popup) &&
                (!current->wanted || reinterpret_cast<HMENU>(SendMessageA(
                                         popup, MN_GETHMENU, 0, 0)) == current->wanted())) {
                current->seen = true;
                current->check(popup);
                EndMenu();
                return;
            }
        }
    }
};
MenuWatch* MenuWatch::current = nullptr;

class BandToolBarTest : public RegistryTest {
protected:
    void SetUp() override {
        RegistryTest::SetUp();
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES | ICC_COOL_CLASSES};
        InitCommonControlsEx(&controls);
        SetTextOption(nullptr);
        ASSERT_TRUE(m_frame.CreateEx(0, nullptr, "band test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                     0, 700, 200, nullptr, nullptr));
        m_rebar = CreateWindowExA(0, REBARCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | RBS_VARHEIGHT, 0,
                                  0, 680, 40, m_frame.GetHwnd(), nullptr, nullptr, nullptr);
        ASSERT_NE(m_rebar, nullptr);
    }

    void TearDown() override {
        m_toolbar.reset();
        if (m_rebar) {
            DestroyWindow(m_rebar);
        }
        m_frame.DestroyWindow();
        SetTextOption(nullptr);
        OleUninitialize();
        RegistryTest::TearDown();
    }

    static void SetTextOption(const DWORD* value) {
        if (value) {
            EnsureRegistryKey(HKEY_CURRENT_USER, kCorvinaBarKeyPath);
            WriteRegistryDword(HKEY_CURRENT_USER, kCorvinaBarKeyPath, "Text", *value);
        } else {
            SHDeleteValueA(HKEY_CURRENT_USER, kCorvinaBarKeyPath, "Text");
        }
    }

    static void SaveList(const std::vector<std::pair<std::string, std::string>>& items) {
        MenuItemList list;
        for (const auto& item : items) {
            list.push_back({ParsePathToItemIdList(item.first.c_str()), item.second});
        }
        ASSERT_TRUE(SaveMenuItemList(list));
    }

    // The toolbar window as the band creates it, put into a rebar band, then the object.
    void CreateToolBar(std::unique_ptr<CBandToolBar> object = nullptr) {
        while (SendMessageA(m_rebar, RB_GETBANDCOUNT, 0, 0) > 0) {
            SendMessageA(m_rebar, RB_DELETEBAND, 0, 0);
        }
        m_window = CreateWindowExA(0, "ToolbarWindow32", kBandToolbarText, 0x50019946, 0, 0, 0, 0,
                                   m_rebar, reinterpret_cast<HMENU>(500), nullptr, nullptr);
        ASSERT_NE(m_window, nullptr);
        REBARBANDINFOA band = {};
        band.cbSize = REBARBANDINFOA_V6_SIZE;
        band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE;
        band.fStyle = RBBS_CHILDEDGE;
        band.hwndChild = m_window;
        band.cyMinChild = 22;
        ASSERT_TRUE(SendMessageA(m_rebar, RB_INSERTBANDA, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(&band)));
        m_toolbar = object ? std::move(object) : std::make_unique<CBandToolBar>();
        ASSERT_TRUE(m_toolbar->Initialize(m_window));
    }

    TBBUTTON Button(int index) const {
        TBBUTTON button = {};
        EXPECT_TRUE(SendMessageA(m_window, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button)));
        return button;
    }

    std::vector<int> CommandIds() const {
        std::vector<int> ids;
        for (int i = 0; i < m_toolbar->GetButtonCount(); ++i) {
            ids.push_back(Button(i).idCommand);
        }
        return ids;
    }

    RECT ScreenRectOf(int commandId) const {
        RECT rect = {};
        SendMessageA(m_window, TB_GETRECT, commandId, reinterpret_cast<LPARAM>(&rect));
        MapWindowPoints(m_window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    std::wstring Tooltip(int commandId) {
        NMTTDISPINFOW info = {};
        info.hdr.hwndFrom = reinterpret_cast<HWND>(SendMessageA(m_window, TB_GETTOOLTIPS, 0, 0));
        info.hdr.idFrom = static_cast<UINT_PTR>(commandId);
        info.hdr.code = TTN_NEEDTEXTW;
        SendMessageW(m_window, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        return info.lpszText ? std::wstring(info.lpszText) : std::wstring();
    }

    // Runs action with watch looking for the menu it shows (and closing it once checked).
    static void WatchMenusDuring(MenuWatch& watch, const std::function<void()>& action) {
        MenuWatch::current = &watch;
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, &MenuWatch::OnTimer);
        action();
        KillTimer(nullptr, timer);
        MenuWatch::current = nullptr;
    }

    // The drop-down arrow of the button pressed, as the toolbar tells the band's parent.
    void DropDown(int commandId) {
        NMTOOLBARA notification = {};
        notification.hdr.hwndFrom = m_window;
        notification.hdr.idFrom = 500;
        notification.hdr.code = TBN_DROPDOWN;
        notification.iItem = commandId;
        SendMessageA(m_window, TB_GETRECT, commandId,
                     reinterpret_cast<LPARAM>(&notification.rcButton));
        SendMessageA(m_rebar, WM_NOTIFY, 500, reinterpret_cast<LPARAM>(&notification));
        // The menu opens once the control has finished with the notification.
        PumpMessages();
    }

    CScratchFolder m_scratch{"band"};
    CFrame m_frame;
    HWND m_rebar = nullptr;
    HWND m_window = nullptr;
    std::unique_ptr<CBandToolBar> m_toolbar;
};

TEST_F(BandToolBarTest, ButtonsFollowTheListAndTheTextOption) {
    const std::string file = m_scratch.CreateTextFile("note.txt");
    const std::string empty = m_scratch.CreateFolder("empty");
    const std::string full = m_scratch.CreateFolder("full");
    m_scratch.CreateTextFile("full\\inside.txt");
    const std::string link = m_scratch.File("to full.lnk");
    ASSERT_TRUE(CreateShellShortcut(link, full));

    struct Case {
        const char* what;
        std::string path; // empty: the desktop
        std::string override;
        BYTE style;
    };
    const Case cases[] = {
        {"file with its own name", file, ToAnsi(ForRun(L"メモ", L"My note")), kPlainStyle},
        {"empty folder", empty, "", kPlainStyle},
        {"folder with an entry", full, "", kArrowStyle},
        {"desktop", "", "", kArrowStyle},
        {"shortcut to a folder", link, "", kPlainStyle},
    };
    MenuItemList list;
    for (const Case& c : cases) {
        list.push_back(
            {c.path.empty() ? DesktopList() : ParsePathToItemIdList(c.path.c_str()), c.override});
    }
    ASSERT_TRUE(SaveMenuItemList(list));
    const ShellInfo desktop = [] {
        CItemIdList list = DesktopList();
        ShellInfo info;
        QueryLabelAndIcon(list.Get(), &info.name, &info.icon);
        return info;
    }();

    CreateToolBar();
    for (const DWORD text : {0u, 1u}) {
        SetTextOption(&text);
        m_toolbar->LoadButtons();
        ASSERT_EQ(m_toolbar->GetButtonCount(), static_cast<int>(std::size(cases)));
        ASSERT_EQ(m_toolbar->GetItemIdLists().size(), std::size(cases));
        for (size_t i = 0; i < std::size(cases); ++i) {
            const Case& c = cases[i];
            SCOPED_TRACE(std::string(c.what) + (text ? ", text on" : ", text off"));
            const ShellInfo shell = c.path.empty() ? desktop : ShellInfoOf(c.path);
            const TBBUTTON button = Button(static_cast<int>(i));
            EXPECT_EQ(button.fsStyle, c.style);
            EXPECT_EQ(button.iBitmap, shell.icon);
            EXPECT_EQ(button.idCommand, static_cast<int>(i + 1));
            EXPECT_EQ(button.dwData,
                      reinterpret_cast<DWORD_PTR>(m_toolbar->GetItemIdLists()[i].Get()));
            const std::string label = c.override.empty() ? shell.name : c.override;
            EXPECT_EQ(m_toolbar->GetLabels()[i], label);
            char buffer[MAX_PATH] = {};
            const LRESULT length = SendMessageA(m_window, TB_GETBUTTONTEXTA, button.idCommand,
                                                reinterpret_cast<LPARAM>(buffer));
            EXPECT_EQ(length > 0 ? std::string(buffer) : std::string(), text ? label : "");
        }
    }
    EXPECT_EQ(SendMessageA(m_window, TB_GETIMAGELIST, 0, 0),
              reinterpret_cast<LRESULT>(SystemSmallImageList()));
}

TEST_F(BandToolBarTest, ButtonsShowShellNamesOutsideTheCodePageWide) {
    std::vector<std::wstring> paths;
    MenuItemList list;
    for (const std::wstring& name : OutsideCodePageNames()) {
        paths.push_back(CreateWideFolder(m_scratch.Path(), name));
        ASSERT_FALSE(paths.back().empty());
        list.push_back({ParseWidePath(paths.back()), std::string()});
    }
    const std::string own = ToAnsi(ForRun(L"メモ", L"My note")); // the user's own name
    list.push_back({ParseWidePath(paths[0]), own});
    ASSERT_TRUE(SaveMenuItemList(list));
    const DWORD on = 1;
    SetTextOption(&on);
    CreateToolBar();
    for (const bool wide : {true, false}) {
        SCOPED_TRACE(wide ? "NT family" : "9x family, forced");
        SetWideLabelsForTesting(wide ? 1 : 0);
        m_toolbar->LoadButtons();
        ASSERT_EQ(m_toolbar->GetButtonCount(), 4);
        for (size_t i = 0; i < 4; ++i) {
            const std::wstring name = i < 3 ? OutsideCodePageNames()[i] : ToWide(own);
            // The 9x family shows the code page's reading, as it always did.
            const std::wstring shown = wide ? name : ToWide(ToAnsi(name));
            wchar_t buffer[MAX_PATH] = {};
            SendMessageW(m_window, TB_GETBUTTONTEXTW, Button(static_cast<int>(i)).idCommand,
                         reinterpret_cast<LPARAM>(buffer));
            EXPECT_EQ(std::wstring(buffer), shown) << i;
            EXPECT_EQ(m_toolbar->GetLabels()[i], ToAnsi(name)) << i;
        }
    }
    SetWideLabelsForTesting(-1);
    // The scratch folder's own clean-up goes by code-page names, which these lack.
    for (const std::wstring& path : paths) {
        RemoveDirectoryW(path.c_str());
    }
}

TEST_F(BandToolBarTest, DamagedRecordsStillLoadWithoutCrashing) {
    const std::string file = m_scratch.CreateTextFile("kept.txt");
    const std::string gone = m_scratch.CreateTextFile("gone.txt");
    SaveList({{file, ""}, {gone, ""}});
    ASSERT_TRUE(DeleteFileA(gone.c_str()));
    // Well-formed bytes that no folder understands, and a record that is not binary.
    PutValue(kCorvinaKeyPath, "NO.003", REG_BINARY, {7, 0, 0x5A, 0xA5, 0x13, 0x37, 0xEE, 0, 0});
    PutValue(kCorvinaKeyPath, "NO.004", REG_SZ, {'C', ':', '\\', 0});
    PutValue(kCorvinaKeyPath, "Length", REG_DWORD, {4, 0, 0, 0});

    CreateToolBar();
    ASSERT_EQ(m_toolbar->GetButtonCount(), 3);
    EXPECT_EQ(m_toolbar->GetLabels()[0], ShellInfoOf(file).name);
    for (int i = 0; i < 3; ++i) {
        if (i < 2) {
            EXPECT_EQ(Button(i).fsStyle, kPlainStyle) << i;
        }
        Tooltip(Button(i).idCommand); // the shell queries on a damaged item must not crash
    }
}

TEST_F(BandToolBarTest, ReloadsWithFreshIdsAndIdealWidth) {
    const std::string a = m_scratch.CreateTextFile("a.txt");
    const std::string b = m_scratch.CreateTextFile("b.txt");
    const std::string c = m_scratch.CreateTextFile("c.txt");
    struct Case {
        const char* trigger;
        std::function<void(HWND)> send;
    };
    const Case cases[] = {
        {"change message from another process",
         [](HWND) {
             EXPECT_GE(RunAndWait("\"" + HostPath(CORVINA_BAND_NOTIFY_HELPER) + "\""), 1);
         }},
        {"setting change", [](HWND window) { SendMessageA(window, WM_SETTINGCHANGE, 0, 0); }},
    };
    for (const Case& item : cases) {
        SCOPED_TRACE(item.trigger);
        m_toolbar.reset();
        SaveList({{a, ""}});
        CreateToolBar();
        // A dropped button takes id 2 in front; a reload must start from 1 again.
        ASSERT_TRUE(m_toolbar->InsertDroppedItem(0, ParsePathToItemIdList(b.c_str()), "b"));
        ASSERT_EQ(CommandIds(), (std::vector<int>{2, 1}));
        SaveList({{a, ""}, {b, ""}, {c, ""}});
        item.send(m_window);
        ASSERT_TRUE(WaitFor([&] { return m_toolbar->GetButtonCount() == 3; }));
        EXPECT_EQ(CommandIds(), (std::vector<int>{1, 2, 3}));
        EXPECT_EQ(m_toolbar->GetLabels()[2], ShellInfoOf(c).name);
        RECT last = {};
        SendMessageA(m_window, TB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&last));
        REBARBANDINFOA band = {};
        band.cbSize = REBARBANDINFOA_V6_SIZE;
        band.fMask = RBBIM_IDEALSIZE | RBBIM_STYLE;
        ASSERT_TRUE(SendMessageA(m_rebar, RB_GETBANDINFOA, 0, reinterpret_cast<LPARAM>(&band)));
        EXPECT_GT(last.right, 0);
        EXPECT_EQ(static_cast<LONG>(band.cxIdeal), last.right);
        EXPECT_TRUE(band.fStyle & RBBS_USECHEVRON);
    }
}

TEST_F(BandToolBarTest, DropDownListsTheFolderBelowTheButton) {
    const std::string folder = m_scratch.CreateFolder("docs");
    m_scratch.CreateTextFile("docs\\first.txt");
    m_scratch.CreateTextFile("docs\\second.txt");
    const std::string link = m_scratch.File("docs.lnk");
    ASSERT_TRUE(CreateShellShortcut(link, folder));
    SaveList({{folder, ""}, {link, ""}});
    CreateToolBar();

    const std::vector<std::string> expected = {ShellInfoOf(folder + "\\first.txt").name,
                                               ShellInfoOf(folder + "\\second.txt").name};
    for (int index : {0, 1}) {
        SCOPED_TRACE(index == 0 ? "folder" : "shortcut to the folder");
        const int id = Button(index).idCommand;
        const RECT rect = ScreenRectOf(id);
        std::vector<std::string> labels;
        POINT shownAt = {-1, -1};
        MenuWatch watch;
        watch.wanted = [&] { return m_toolbar->GetFolderMenu().GetPopupMenu(); };
        watch.check = [&](HWND popup) {
            RECT where = {};
            GetWindowRect(popup, &where);
            shownAt = {where.left, where.top};
            HMENU menu = m_toolbar->GetFolderMenu().GetPopupMenu();
            for (int i = 0; i < GetMenuItemCount(menu); ++i) {
                MENUITEMINFOA info = {};
                info.cbSize = sizeof(info);
                info.fMask = MIIM_DATA;
                GetMenuItemInfoA(menu, i, TRUE, &info);
                if (m_toolbar->GetFolderMenu().OwnsItemData(info.dwItemData)) {
                    auto* data = reinterpret_cast<ShellMenuItemData*>(info.dwItemData);
                    if (data->GetKind() == MenuItemKind::Command && data->GetItemIdList()) {
                        labels.push_back(data->GetLabel());
                    }
                }
            }
        };
        WatchMenusDuring(watch, [&] { DropDown(id); });

        ASSERT_TRUE(watch.seen);
        // The first entry opens the folder itself; the files follow.
        ASSERT_GE(labels.size(), 3u);
        EXPECT_EQ(std::vector<std::string>(labels.end() - 2, labels.end()), expected);
        EXPECT_EQ(shownAt.x, rect.left);
        EXPECT_EQ(shownAt.y, rect.bottom);
        EXPECT_EQ(m_toolbar->GetFolderMenu().GetFolder(), nullptr);
    }
}

TEST_F(BandToolBarTest, DropDownEntriesGetTheirIconsWhenPaintedAndAnswerKeys) {
    const std::string folder = m_scratch.CreateFolder("docs");
    const std::vector<std::string> files = {"first.txt", "fun.txt", "second.txt"};
    for (const std::string& file : files) {
        m_scratch.CreateTextFile("docs\\" + file);
    }
    SaveList({{folder, ""}});
    CreateToolBar();
    CBandFolderMenu& menu = m_toolbar->GetFolderMenu();
    // Positions: 0 "Open", 1 separator, 2 first.txt, 3 fun.txt, 4 second.txt.
    struct Key {
        char typed;
        WORD command;
        std::vector<int> positions; // any of these
    };
    const Key keys[] = {
        {'s', MNC_EXECUTE, {4}},
        {'F', MNC_SELECT, {2, 3}},
        {'q', MNC_IGNORE, {0}},
    };
    std::vector<std::string> wrongIcons;
    std::vector<LRESULT> answers;
    MenuWatch watch;
    watch.wanted = [&] { return menu.GetPopupMenu(); };
    watch.check = [&](HWND popup) {
        UpdateWindow(popup); // every entry fits: all are painted now
        HMENU shown = menu.GetPopupMenu();
        for (int i = 2; i < GetMenuItemCount(shown); ++i) {
            MENUITEMINFOA info = {};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_DATA;
            GetMenuItemInfoA(shown, i, TRUE, &info);
            ASSERT_TRUE(menu.OwnsItemData(info.dwItemData));
            const auto* data = reinterpret_cast<const ShellMenuItemData*>(info.dwItemData);
            const std::string path = folder + "\\" + files[static_cast<size_t>(i - 2)];
            if (data->IsIconPending() || data->GetIconIndex() != ShellInfoOf(path).icon) {
                wrongIcons.push_back(path);
            }
        }
        for (const Key& key : keys) {
            answers.push_back(SendMessageA(menu.GetHwnd(), WM_MENUCHAR,
                                           MAKEWPARAM(key.typed, MF_POPUP),
                                           reinterpret_cast<LPARAM>(shown)));
        }
    };
    WatchMenusDuring(watch, [&] { DropDown(Button(0).idCommand); });

    ASSERT_TRUE(watch.seen);
    EXPECT_EQ(wrongIcons, std::vector<std::string>{}) << "painted without the shell's icon";
    ASSERT_EQ(answers.size(), std::size(keys));
    for (size_t k = 0; k < answers.size(); ++k) {
        SCOPED_TRACE(std::string(1, keys[k].typed));
        EXPECT_EQ(HIWORD(answers[k]), keys[k].command);
        if (keys[k].command != MNC_IGNORE) {
            const std::vector<int>& allowed = keys[k].positions;
            EXPECT_NE(std::find(allowed.begin(), allowed.end(), LOWORD(answers[k])), allowed.end())
                << LOWORD(answers[k]);
        }
    }
}

TEST_F(BandToolBarTest, ClickThroughTheParentOpensTheItem) {
    const std::string program = m_scratch.File("marker.exe");
    ASSERT_TRUE(CopyMarkerProgram(program));
    SaveList({{program, ""}});
    CreateToolBar();
    const int id = Button(0).idCommand;
    // A command id without a button is left to the control.
    SendMessageA(m_rebar, WM_COMMAND, MAKEWPARAM(id + 7, BN_CLICKED),
                 reinterpret_cast<LPARAM>(m_window));
    SendMessageA(m_rebar, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(m_window));
    EXPECT_FALSE(FileExists(program + ".ran")); // posted, not run inside the click
    PumpMessages();
    EXPECT_TRUE(WaitForFile(program + ".ran"));
}

// Wine's folders hand out no info-tip objects: the tip itself is scripted here.
class CScriptedTipToolBar : public CBandToolBar {
public:
    bool hasTip = true;
    std::u16string tip;

protected:
    bool GetItemInfoTip(LPCITEMIDLIST, std::u16string* out) override {
        *out = tip;
        return hasTip;
    }
};

TEST_F(BandToolBarTest, TooltipShowsNameAndInfoTip) {
    const std::string file = m_scratch.CreateTextFile("tip.txt");
    SaveList({{file, "own name"}});
    auto* toolbar = new CScriptedTipToolBar;
    CreateToolBar(std::unique_ptr<CBandToolBar>(toolbar));
    const int id = Button(0).idCommand;
    // The shell's name, not the user's.
    const std::wstring name = ToWide(ShellInfoOf(file).name);
    const std::u16string longTip(3000, u'x');
    struct Case {
        const char* what;
        bool hasTip;
        std::u16string tip;
        std::wstring expected;
    };
    const Case cases[] = {
        {"info tip", true, u"Size: 4 bytes", name + L"\nSize: 4 bytes"},
        {"empty info tip", true, u"", name},
        {"no info tip object", false, u"ignored", L""},
        {"too long for the buffer", true, longTip,
         (name + L"\n" + std::wstring(3000, L'x')).substr(0, 1023)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        toolbar->hasTip = c.hasTip;
        toolbar->tip = c.tip;
        EXPECT_EQ(Tooltip(id), c.expected);
    }
    EXPECT_EQ(Tooltip(id + 7), L""); // no such button
}

TEST_F(BandToolBarTest, TooltipsOfTwoThreadsKeepTheirOwnTexts) {
    const std::string file = m_scratch.CreateTextFile("tip.txt");
    SaveList({{file, ""}});
    const std::wstring name = ToWide(ShellInfoOf(file).name);
    std::atomic<int> ready{0};
    std::atomic<int> asked{0};
    // A band window of its own on each thread; both ask at once, then read what they got
    // once both have asked.
    auto run = [&](std::u16string tip, std::wstring* seen) {
        OleInitialize(nullptr);
        HWND host = CreateWindowExA(0, "STATIC", "tip host", WS_POPUP, 0, 0, 300, 40, nullptr,
                                    nullptr, nullptr, nullptr);
        HWND window = CreateWindowExA(0, "ToolbarWindow32", "", 0x50019946, 0, 0, 300, 22, host,
                                      reinterpret_cast<HMENU>(500), nullptr, nullptr);
        {
            CScriptedTipToolBar toolbar;
            toolbar.tip = std::move(tip);
            const bool made = window != nullptr && toolbar.Initialize(window);
            ++ready;
            if (made && WaitFor([&] { return ready.load() == 2; }, 30000, Pumping::None, 1)) {
                TBBUTTON button = {};
                SendMessageA(window, TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&button));
                NMTTDISPINFOW info = {};
                info.hdr.hwndFrom =
                    reinterpret_cast<HWND>(SendMessageA(window, TB_GETTOOLTIPS, 0, 0));
                info.hdr.idFrom = static_cast<UINT_PTR>(button.idCommand);
                info.hdr.code = TTN_NEEDTEXTW;
                SendMessageW(window, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
                ++asked;
                WaitFor([&] { return asked.load() == 2; }, 30000, Pumping::None, 1);
                *seen = info.lpszText ? std::wstring(info.lpszText) : std::wstring();
            }
            DestroyWindow(host);
        }
        OleUninitialize();
    };
    std::wstring first;
    std::wstring second;
    std::thread one(run, u"first tip", &first);
    std::thread two(run, u"second tip", &second);
    one.join();
    two.join();
    EXPECT_EQ(first, name + L"\nfirst tip");
    EXPECT_EQ(second, name + L"\nsecond tip");
}

TEST_F(BandToolBarTest, AnsiTipRequestsOfOtherRebarChildrenReachTheHost) {
    SaveList({{m_scratch.CreateTextFile("tip.txt"), ""}});
    // The host's own handling of its rebar, there before the band hooks it.
    struct Host {
        int seen = 0;
        static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR, DWORD_PTR data) {
            if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == TTN_NEEDTEXTA) {
                ++reinterpret_cast<Host*>(data)->seen;
                return 0x5A;
            }
            return DefSubclassProc(window, message, wParam, lParam);
        }
    } host;
    ASSERT_TRUE(SetWindowSubclass(m_rebar, &Host::Proc, 1, reinterpret_cast<DWORD_PTR>(&host)));
    CreateToolBar();
    HWND other = CreateWindowExA(0, "ToolbarWindow32", "", WS_CHILD | TBSTYLE_TOOLTIPS, 0, 0, 50,
                                 22, m_rebar, nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    const HWND ownTips = reinterpret_cast<HWND>(SendMessageA(m_window, TB_GETTOOLTIPS, 0, 0));
    const HWND otherTips = reinterpret_cast<HWND>(SendMessageA(other, TB_GETTOOLTIPS, 0, 0));
    ASSERT_NE(ownTips, nullptr);
    ASSERT_NE(otherTips, nullptr);
    struct Case {
        const char* from;
        HWND window;
        int seen;
        LRESULT result;
    };
    const Case cases[] = {
        {"the band's own tooltip", ownTips, 0, 0},
        {"the band's toolbar", m_window, 0, 0},
        {"another child's tooltip", otherTips, 1, 0x5A},
        {"another child", other, 1, 0x5A},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from);
        host.seen = 0;
        NMTTDISPINFOA info = {};
        info.hdr.hwndFrom = c.window;
        info.hdr.idFrom = 1;
        info.hdr.code = TTN_NEEDTEXTA;
        EXPECT_EQ(SendMessageA(m_rebar, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info)), c.result);
        EXPECT_EQ(host.seen, c.seen);
    }
    m_toolbar.reset();
    DestroyWindow(other);
    RemoveWindowSubclass(m_rebar, &Host::Proc, 1);
}

TEST_F(BandToolBarTest, ContextMenuOffTheButtonsGoesToTheHost) {
    const std::string file = m_scratch.CreateTextFile("menu.txt");
    MenuItemList list;
    list.push_back({ParsePathToItemIdList(file.c_str()), ""});
    list.push_back({DesktopList(), ""});
    ASSERT_TRUE(SaveMenuItemList(list));
    CreateToolBar();
    const RECT fileRect = ScreenRectOf(Button(0).idCommand);
    const RECT desktopRect = ScreenRectOf(Button(1).idCommand);
    RECT client = {};
    GetClientRect(m_window, &client);
    POINT clientEnd = {client.right - 2, client.top + 2};
    ClientToScreen(m_window, &clientEnd);

    struct Case {
        const char* where;
        POINT point;
        bool toHost;
        bool menu;
    };
    const Case cases[] = {
        {"outside the toolbar", {fileRect.left, fileRect.top - 200}, true, false},
        {"in the client area, on no button", clientEnd, true, false},
        {"on the desktop's button", {desktopRect.left + 3, desktopRect.top + 3}, false, false},
        {"on a file's button", {fileRect.left + 3, fileRect.top + 3}, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        m_frame.contextMenus = 0;
        bool pressedDuringMenu = false;
        MenuWatch watch;
        watch.check = [&](HWND) {
            pressedDuringMenu =
                SendMessageA(m_window, TB_ISBUTTONPRESSED, Button(0).idCommand, 0) != 0;
        };
        WatchMenusDuring(watch, [&] {
            SendMessageA(m_window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_window),
                         MAKELPARAM(c.point.x, c.point.y));
            PumpFor(100);
        });
        EXPECT_EQ(m_frame.contextMenus, c.toHost ? 1 : 0);
        EXPECT_EQ(watch.seen, c.menu);
        EXPECT_EQ(pressedDuringMenu, c.menu);
        EXPECT_FALSE(SendMessageA(m_window, TB_ISBUTTONPRESSED, Button(0).idCommand, 0));
    }
}

// The band's side: its focus sink and its site's command target, recording what they hear.
class CBandSide : public IBandFocusSink, public IInputObjectSite, public IOleCommandTarget {
public:
    std::vector<bool> focus;
    int execs = 0;
    GUID group = {};
    DWORD command = 99;
    VARTYPE inType = VT_EMPTY;
    LONG inValue = 0;
    bool outEmpty = false;

    void FocusChange(bool gained) override { focus.push_back(gained); }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IInputObjectSite) {
            *ppv = static_cast<IInputObjectSite*>(this);
        } else if (riid == IID_IOleCommandTarget) {
            *ppv = static_cast<IOleCommandTarget*>(this);
        } else {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP OnFocusChangeIS(IUnknown*, BOOL) override { return S_OK; }
    STDMETHODIMP QueryStatus(const GUID*, ULONG, OLECMD*, OLECMDTEXT*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Exec(const GUID* cmdGroup, DWORD id, DWORD, VARIANT* in, VARIANT* out) override {
        ++execs;
        group = cmdGroup ? *cmdGroup : GUID{};
        command = id;
        inType = in ? in->vt : static_cast<VARTYPE>(VT_ILLEGAL);
        inValue = in && in->vt == VT_I4 ? in->lVal : 0;
        outEmpty = out != nullptr && out->vt == VT_EMPTY;
        return S_OK;
    }
};

TEST_F(BandToolBarTest, BandHearsOfFocusAndThemeChanges) {
    SaveList({{m_scratch.CreateTextFile("focus.txt"), ""}});
    CBandSide side;
    CreateToolBar();
    m_toolbar->SetBandCallback(&side);
    m_toolbar->SetSite(&side);
    m_toolbar->SetBandId(42);
    SetFocus(m_window);
    SetFocus(m_frame.GetHwnd());
    EXPECT_EQ(side.focus, (std::vector<bool>{true, false}));

    SendMessageA(m_window, WM_THEMECHANGED, 0, 0);
    EXPECT_EQ(side.execs, 1);
    EXPECT_TRUE(IsEqualGUID(side.group, CGID_DeskBand));
    EXPECT_EQ(side.command, static_cast<DWORD>(DBID_BANDINFOCHANGED));
    EXPECT_EQ(side.inType, VT_I4);
    EXPECT_EQ(side.inValue, 42);
    EXPECT_TRUE(side.outEmpty);
    EXPECT_EQ(m_toolbar->GetBarHeight(), 22);
    // A band that has let go of its site hears nothing, and nothing breaks.
    m_toolbar->SetSite(nullptr);
    SendMessageA(m_window, WM_THEMECHANGED, 0, 0);
    EXPECT_EQ(side.execs, 1);
    m_toolbar->SetBandCallback(nullptr);
}

TEST_F(BandToolBarTest, NothingOutlivesTheToolbar) {
    const std::string folder = m_scratch.CreateFolder("keep");
    m_scratch.CreateTextFile("keep\\one.txt");
    SaveList({{folder, ""}, {m_scratch.CreateTextFile("two.txt"), "two"}});
    // A first toolbar fills the shell's caches and the shared image list.
    CreateToolBar();
    m_toolbar.reset();
    ASSERT_FALSE(IsWindow(m_window));

    const DWORD gdiBefore = CountGdiObjects();
    CTaskAllocatorSpy spy;
    ASSERT_TRUE(spy.Registered());
    CreateToolBar();
    HWND itemMenu = m_toolbar->GetItemMenu().GetHwnd();
    HWND folderMenu = m_toolbar->GetFolderMenu().GetHwnd();
    ASSERT_NE(itemMenu, nullptr);
    ASSERT_NE(folderMenu, nullptr);
    char text[16] = {};
    GetWindowTextA(folderMenu, text, sizeof(text));
    EXPECT_STREQ(text, "WORK002");
    EXPECT_EQ(GetDlgCtrlID(folderMenu), 101);
    for (int i = 0; i < 5; ++i) {
        m_toolbar->LoadButtons();
    }
    EXPECT_EQ(m_toolbar->GetButtonCount(), 2);
    m_toolbar.reset();
    EXPECT_FALSE(IsWindow(m_window));
    EXPECT_FALSE(IsWindow(itemMenu));
    EXPECT_FALSE(IsWindow(folderMenu));
    EXPECT_EQ(spy.LiveCount(), 0u);
    EXPECT_EQ(CountGdiObjects(), gdiBefore);
    EXPECT_TRUE(spy.Revoke());
}

} // namespace
