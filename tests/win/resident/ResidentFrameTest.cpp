// CorvinaPlus.exe driven from outside, as the settings program, the installer and the shell
// drive it: by its window title, registered messages, commands and the hot key it holds.
#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "ResidentProcess.h"
#include "TestSupport.h"
#include "common/MenuItemList.h"
#include "common/ShellQueries.h"
#include "common/WindowMessages.h"

using namespace resident_test;

namespace {

constexpr UINT kCtrlAlt = MOD_CONTROL | MOD_ALT;
constexpr UINT kTrayCallback = WM_USER + 1;
constexpr UINT kTrayIconId = 100;

// A visible popup menu window ("#32768") of the given process, or null.
HWND FindPopupMenuOf(DWORD processId) {
    HWND found = nullptr;
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, "#32768", nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window)) {
            found = window;
        }
    }
    return found;
}

INT_PTR CALLBACK IgnoringDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// Whether the shell still knows the program's icon: modifying a missing icon fails.
bool ShellKnowsIcon(HWND window) {
    NOTIFYICONDATAA data;
    std::memset(&data, 0, sizeof data);
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = window;
    data.uID = kTrayIconId;
    data.uFlags = NIF_TIP;
    lstrcpyA(data.szTip, "Corvina Plus");
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

bool RemoveIconBehindItsBack(HWND window) {
    NOTIFYICONDATAA data;
    std::memset(&data, 0, sizeof data);
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = window;
    data.uID = kTrayIconId;
    return Shell_NotifyIconA(NIM_DELETE, &data) != FALSE;
}

// Posts "UpdateOption" 1 after whatever was posted before and waits until the hot key is
// free: by then the program has handled everything posted earlier.
void DrainPostedMessages(HWND program) {
    PostMessageA(program, Registered(kUpdateOptionMessageName), 1, 0);
    ASSERT_TRUE(WaitFor([] { return !IsHotKeyHeld(kCtrlAlt, 'Q'); }));
}

// The user's list: the marker program alone, under a name of the test's own.
bool SaveMarkerList() {
    MenuItemList list;
    MenuItemRecord record;
    record.itemIdList = ParsePathToItemIdList(MarkerProgramPath().c_str());
    if (!record.itemIdList.Get()) {
        return false;
    }
    record.displayName = "Marker";
    list.push_back(std::move(record));
    return SaveMenuItemList(list) != FALSE;
}

class ResidentFrame : public ::testing::Test {
protected:
    void SetUp() override {
        // A leftover instance of an earlier failed run would answer instead of ours.
        if (HWND stale = FindWindowA(nullptr, kResidentTitle)) {
            DWORD_PTR ignored = 0;
            SendMessageTimeoutA(stale, WM_COMMAND, 57665, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
            WaitFor([] { return FindWindowA(nullptr, kResidentTitle) == nullptr; });
        }
        DeleteOptions();
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Velmora\\Corvina");
    }
    void TearDown() override {
        program.Stop();
        DeleteOptions();
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Velmora\\Corvina");
    }
    void StartProgram() {
        ASSERT_TRUE(program.Start());
        ASSERT_NE(program.WaitForWindow(), nullptr);
        ASSERT_TRUE(WaitFor([] { return IsHotKeyHeld(kCtrlAlt, 'Q'); }))
            << "the default hot key was not taken";
    }

    ResidentProcess program;
};

TEST_F(ResidentFrame, WindowIsAHiddenToolWindowHoldingTheDefaultHotKey) {
    StartProgram();
    HWND window = program.Window();
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_TRUE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetParent(window), nullptr);
    EXPECT_FALSE(IsHotKeyHeld(kCtrlAlt, 'W'));
}

TEST_F(ResidentFrame, SecondStartEndsAndBringsTheFirstForward) {
    StartProgram();
    // Someone else has the foreground before the second start.
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                 nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    WaitFor([other] { return GetForegroundWindow() == other; }, 5000);

    ResidentProcess second;
    ASSERT_TRUE(second.Start());
    ASSERT_TRUE(second.WaitForExit()) << "a second instance kept running";
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_EQ(CountResidentWindows(), 1);
    EXPECT_TRUE(WaitFor([this] { return GetForegroundWindow() == program.Window(); }))
        << "the first instance's window was not brought forward";
    EXPECT_TRUE(IsHotKeyHeld(kCtrlAlt, 'Q'));
    DestroyWindow(other);
}

TEST_F(ResidentFrame, UpdateOptionReleasesAndRetakesTheHotKey) {
    StartProgram();
    HWND window = program.Window();
    PostMessageA(window, Registered(kUpdateOptionMessageName), 1, 0);
    ASSERT_TRUE(WaitFor([] { return !IsHotKeyHeld(kCtrlAlt, 'Q'); })) << "hot key not released";

    // While released, anyone may take the combination.
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, kCtrlAlt, 'Q'));
    UnregisterHotKey(nullptr, 1);

    // The settings program wrote a new combination: Ctrl + Shift + W.
    const BYTE key[] = {'W', 0};
    const BYTE modifiers[] = {2 | 1, 0};
    WriteBinaryOption("KeyCode", key, sizeof key);
    WriteBinaryOption("Modifiers", modifiers, sizeof modifiers);
    PostMessageA(window, Registered(kUpdateOptionMessageName), 0, 0);
    EXPECT_TRUE(WaitFor([] { return IsHotKeyHeld(MOD_CONTROL | MOD_SHIFT, 'W'); }))
        << "new combination not registered";
    EXPECT_FALSE(IsHotKeyHeld(kCtrlAlt, 'Q'));
    EXPECT_FALSE(IsHotKeyHeld(MOD_CONTROL | MOD_ALT, 'W'));
}

TEST_F(ResidentFrame, StoredOptionsDecideTheCombination) {
    struct Case {
        const char* name;
        BYTE key[4];
        DWORD keySize; // 0: no value
        BYTE modifiers[4];
        DWORD modifiersSize;
        UINT heldModifiers;
        UINT heldKey;
    };
    const Case cases[] = {
        {"key without modifiers keeps the default", {'W', 0}, 2, {}, 0, kCtrlAlt, 'Q'},
        {"modifiers without key keep the default", {}, 0, {1, 0}, 2, kCtrlAlt, 'Q'},
        {"extended-key bit is ignored", {'E', 0}, 2, {2 | 4 | 8, 0}, 2, kCtrlAlt, 'E'},
        {"Alt alone", {'R', 0}, 2, {4, 0}, 2, MOD_ALT, 'R'},
        {"only the first bytes count", {'T', 0x41}, 2, {1, 0x02}, 2, MOD_SHIFT, 'T'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteOptions();
        if (c.keySize) {
            WriteBinaryOption("KeyCode", c.key, c.keySize);
        }
        if (c.modifiersSize) {
            WriteBinaryOption("Modifiers", c.modifiers, c.modifiersSize);
        }
        ResidentProcess run;
        ASSERT_TRUE(run.Start());
        ASSERT_NE(run.WaitForWindow(), nullptr);
        EXPECT_TRUE(WaitFor([&c] { return IsHotKeyHeld(c.heldModifiers, c.heldKey); }));
        if (c.heldKey != 'Q' || c.heldModifiers != kCtrlAlt) {
            EXPECT_FALSE(IsHotKeyHeld(kCtrlAlt, 'Q'));
        }
        run.Stop();
        EXPECT_TRUE(WaitFor([&c] { return !IsHotKeyHeld(c.heldModifiers, c.heldKey); }))
            << "hot key still held after the program ended";
    }
}

TEST_F(ResidentFrame, ExitCommandEndsTheProgramAndFreesTheHotKey) {
    StartProgram();
    DWORD_PTR result = 0;
    SendMessageTimeoutA(program.Window(), WM_COMMAND, 57665, 0, SMTO_ABORTIFHUNG, 10000, &result);
    ASSERT_TRUE(program.WaitForExit()) << "the program did not end";
    EXPECT_EQ(program.ExitCode(), 0u);
    EXPECT_FALSE(IsHotKeyHeld(kCtrlAlt, 'Q'));
    EXPECT_EQ(CountResidentWindows(), 0);
}

TEST_F(ResidentFrame, TaskbarCreatedAddsTheIconAgain) {
    StartProgram();
    HWND window = program.Window();
    ASSERT_TRUE(WaitFor([window] { return ShellKnowsIcon(window); })) << "no icon at start";
    // The restarted shell has forgotten every icon.
    ASSERT_TRUE(RemoveIconBehindItsBack(window));
    ASSERT_FALSE(ShellKnowsIcon(window));
    PostMessageA(window, Registered(kTaskbarCreatedMessageName), 0, 0);
    EXPECT_TRUE(WaitFor([window] { return ShellKnowsIcon(window); }))
        << "the icon was not added again";
}

TEST_F(ResidentFrame, IconMenuOpensOnRightButtonAndClosesWithEscape) {
    StartProgram();
    HWND window = program.Window();
    PostMessageA(window, kTrayCallback, kTrayIconId, WM_RBUTTONDOWN);
    HWND popup = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (popup = FindPopupMenuOf(program.ProcessId())) != nullptr; }))
        << "no popup menu";
    // Four entries: settings, about, a separator, exit; painted by the program itself.
    RECT rect{};
    GetWindowRect(popup, &rect);
    EXPECT_GT(rect.bottom - rect.top, 3 * 16);
    PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitFor([&] { return FindPopupMenuOf(program.ProcessId()) == nullptr; }))
        << "the menu did not close";
    // Still running, still holding its key.
    EXPECT_TRUE(IsHotKeyHeld(kCtrlAlt, 'Q'));
}

TEST_F(ResidentFrame, IconMenuResourceHasTheJapaneseEntries) {
    HMODULE module =
        LoadLibraryExA(ResidentProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HMENU menu = LoadMenuA(module, MAKEINTRESOURCEA(130));
    ASSERT_NE(menu, nullptr);
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(GetMenuItemCount(popup), 4);
    const struct {
        UINT id;
        const wchar_t* text;
    } entries[] = {
        {32773, L"設定(&O)..."}, {57664, L"バージョン情報(&A)..."}, {57665, L"終了(&X)"}};
    for (const auto& entry : entries) {
        wchar_t text[64] = {};
        GetMenuStringW(popup, entry.id, text, 64, MF_BYCOMMAND);
        EXPECT_STREQ(text, entry.text) << entry.id;
    }
    EXPECT_EQ(GetMenuItemID(popup, 0), 32773u);
    EXPECT_TRUE(GetMenuState(popup, 2, MF_BYPOSITION) & MF_SEPARATOR);
    DestroyMenu(menu);
    FreeLibrary(module);
}

TEST_F(ResidentFrame, AboutBoxShowsItsTextsAndBlocksTheMenu) {
    StartProgram();
    HWND window = program.Window();
    PostMessageA(window, WM_COMMAND, 57664, 0);
    HWND about = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        about = FindWindowA("#32770", "Corvina Plus");
        DWORD owner = 0;
        GetWindowThreadProcessId(about, &owner);
        return about && owner == program.ProcessId() && IsWindowVisible(about);
    })) << "no about box";
    char text[128] = {};
    GetDlgItemTextA(about, 1000, text, sizeof text);
    EXPECT_STREQ(text, "Corvina Plus");
    GetDlgItemTextA(about, 1001, text, sizeof text);
    EXPECT_STREQ(text, "version 2.02");
    GetDlgItemTextA(about, 1002, text, sizeof text);
    EXPECT_STREQ(text, "corvina@example.com");
    GetDlgItemTextA(about, 1003, text, sizeof text);
    EXPECT_STREQ(text, "http://www.example.com/corvina/");
    EXPECT_NE(SendDlgItemMessageA(about, 1004, STM_GETICON, 0, 0), 0) << "no program icon";
    // The links are sized to their texts: the mail address is the shorter one.
    RECT mail{}, web{};
    GetWindowRect(GetDlgItem(about, 1002), &mail);
    GetWindowRect(GetDlgItem(about, 1003), &web);
    EXPECT_LT(mail.right - mail.left, web.right - web.left);
    EXPECT_EQ(mail.left, web.left);

    // A second about command while it is open makes no second box.
    PostMessageA(window, WM_COMMAND, 57664, 0);
    PostMessageA(window, Registered(kMenuMessageName), 0, 0);
    PostMessageA(window, kTrayCallback, kTrayIconId, WM_RBUTTONDOWN);
    PostMessageA(window, kTrayCallback, kTrayIconId, WM_LBUTTONDOWN);
    PostMessageA(window, WM_HOTKEY, 3 * 256 + 'Q', MAKELPARAM(kCtrlAlt, 'Q'));
    DrainPostedMessages(window);
    EXPECT_EQ(FindPopupMenuOf(program.ProcessId()), nullptr) << "menu shown over the about box";
    EXPECT_EQ(FindWindowExA(nullptr, about, "#32770", "Corvina Plus"), nullptr);
    EXPECT_TRUE(WaitFor([about] { return GetForegroundWindow() == about; }));

    PostMessageA(about, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([about] { return !IsWindow(about); })) << "about box did not close";
}

TEST_F(ResidentFrame, MenuMessageShowsTheListAndOpensTheChosenEntry) {
    const std::string marker = MarkerProgramPath() + ".ran";
    DeleteFileA(marker.c_str());
    ASSERT_TRUE(SaveMarkerList());
    StartProgram();
    PostMessageA(program.Window(), Registered(kMenuMessageName), 0, 0);
    HWND popup = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (popup = FindPopupMenuOf(program.ProcessId())) != nullptr; }))
        << "no hot-key menu";
    PostMessageA(popup, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(popup, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(WaitFor([&] { return FileExists(marker); })) << "the chosen item was not opened";
    EXPECT_TRUE(WaitFor([&] { return FindPopupMenuOf(program.ProcessId()) == nullptr; }));
    DeleteFileA(marker.c_str());
}

TEST_F(ResidentFrame, SettingsSheetComesForwardInsteadOfTheMenu) {
    // With a list the menu would have entries to show.
    ASSERT_TRUE(SaveMarkerList());
    StartProgram();
    HWND window = program.Window();
    // A dialog standing in for the settings sheet, titled as the sheet is on this system.
    const std::string title = IsJapaneseRun() ? ToAnsi(kJapaneseSettingsSheetTitle)
                                              : std::string(kSettingsSheetTitle.english);
    struct {
        DLGTEMPLATE dialog;
        WORD menu, windowClass, caption;
    } blank{};
    blank.dialog.style = WS_POPUP | WS_CAPTION | WS_VISIBLE;
    blank.dialog.cx = 100;
    blank.dialog.cy = 50;
    HWND sheet = CreateDialogIndirectA(nullptr, &blank.dialog, nullptr, IgnoringDialogProc);
    ASSERT_NE(sheet, nullptr);
    SetWindowTextA(sheet, title.c_str());
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 200, 200, 50, 50,
                                 nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    WaitFor([other] { return GetForegroundWindow() == other; }, 5000);

    PostMessageA(window, Registered(kMenuMessageName), 0, 0);
    PostMessageA(window, kTrayCallback, kTrayIconId, WM_LBUTTONDOWN);
    PostMessageA(window, kTrayCallback, kTrayIconId, WM_RBUTTONDOWN);
    DrainPostedMessages(window);
    EXPECT_EQ(FindPopupMenuOf(program.ProcessId()), nullptr) << "menu shown over the sheet";
    EXPECT_TRUE(WaitFor([sheet] { return GetForegroundWindow() == sheet; }))
        << "the sheet was not brought forward";
    DestroyWindow(sheet);
    DestroyWindow(other);
}

TEST_F(ResidentFrame, SheetOfTheOtherLanguageDoesNotBlockTheIconMenu) {
    StartProgram();
    HWND window = program.Window();
    const std::string otherTitle = IsJapaneseRun() ? std::string(kSettingsSheetTitle.english)
                                                   : ToAnsi(kJapaneseSettingsSheetTitle);
    HWND sheet = CreateWindowExA(0, "#32770", otherTitle.c_str(), WS_POPUP | WS_VISIBLE, 0, 0, 100,
                                 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(sheet, nullptr);
    PostMessageA(window, kTrayCallback, kTrayIconId, WM_RBUTTONDOWN);
    HWND popup = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (popup = FindPopupMenuOf(program.ProcessId())) != nullptr; }));
    if (popup) {
        PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
        WaitFor([&] { return FindPopupMenuOf(program.ProcessId()) == nullptr; });
    }
    DestroyWindow(sheet);
}

} // namespace
