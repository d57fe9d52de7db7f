// The item context menu window: the shell's own menu of a real file, the relay of the menu
// messages, the help texts in the tip, the command run and the tracking loop, with a
// context-menu object of the test's own where the shell's cannot show what is checked.
#include "band/CItemContextMenuWnd.h"

#include "common/ItemIdList.h"
#include "common/ShellQueries.h"

#include <windows.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "WideNames.h"
#include "common/WideLabels.h"

#include <map>
#include <string>
#include <vector>

namespace {

// A context-menu object that adds a few entries and records what it is asked. It offers
// IContextMenu3, or only IContextMenu2, or neither, as a test chooses.
class CFakeContextMenu : public IContextMenu3 {
public:
    enum class Level { Menu1, Menu2, Menu3 };
    static constexpr LRESULT kMenuCharResult = MAKELRESULT(2, MNC_EXECUTE);

    explicit CFakeContextMenu(Level level) : m_level(level) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IContextMenu) ||
            (IsEqualIID(iid, IID_IContextMenu2) && m_level != Level::Menu1) ||
            (IsEqualIID(iid, IID_IContextMenu3) && m_level == Level::Menu3)) {
            *out = static_cast<IContextMenu3*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }

    HRESULT STDMETHODCALLTYPE QueryContextMenu(HMENU menu, UINT index, UINT first, UINT last,
                                               UINT flags) override {
        queried = {reinterpret_cast<UINT_PTR>(menu), index, first, last, flags};
        filledMenu = menu;
        if (FAILED(queryResult)) {
            return queryResult;
        }
        InsertMenuA(menu, index, MF_BYPOSITION | MF_STRING, first + 0, "&Open");
        InsertMenuA(menu, index + 1, MF_BYPOSITION | MF_STRING, first + 1, "&Edit");
        return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 2);
    }
    HRESULT STDMETHODCALLTYPE InvokeCommand(CMINVOKECOMMANDINFO* info) override {
        invoked.push_back(*info);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCommandString(UINT_PTR command, UINT type, UINT*, LPSTR name,
                                               UINT size) override {
        helpRequests.push_back({command, type, size});
        if (type == GCS_HELPTEXTW) {
            const auto wide = wideHelpTexts.find(command);
            if (wide == wideHelpTexts.end()) {
                return E_NOTIMPL;
            }
            lstrcpynW(reinterpret_cast<LPWSTR>(name), wide->second.c_str(), static_cast<int>(size));
            return S_OK;
        }
        const auto text = helpTexts.find(command);
        if (type != GCS_HELPTEXTA || text == helpTexts.end()) {
            return E_NOTIMPL;
        }
        lstrcpynA(name, text->second.c_str(), static_cast<int>(size));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE HandleMenuMsg(UINT message, WPARAM, LPARAM) override {
        handled.push_back({2, message});
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE HandleMenuMsg2(UINT message, WPARAM, LPARAM,
                                             LRESULT* result) override {
        handled.push_back({3, message});
        if (result) {
            *result = message == WM_MENUCHAR ? kMenuCharResult : 0;
        }
        return S_OK;
    }

    struct Query {
        UINT_PTR menu;
        UINT index, first, last, flags;
    };
    struct HelpRequest {
        UINT_PTR command;
        UINT type, size;
    };
    struct Handled {
        int level; // 2: HandleMenuMsg, 3: HandleMenuMsg2
        UINT message;
        bool operator==(const Handled& other) const {
            return level == other.level && message == other.message;
        }
    };

    ULONG references = 1; // the test's own
    HRESULT queryResult = S_OK;
    Query queried = {};
    HMENU filledMenu = nullptr;
    std::map<UINT_PTR, std::string> helpTexts;
    std::map<UINT_PTR, std::wstring> wideHelpTexts; // GCS_HELPTEXTW refused for the others
    std::vector<CMINVOKECOMMANDINFO> invoked;
    std::vector<HelpRequest> helpRequests;
    std::vector<Handled> handled;

private:
    Level m_level;
};

// The window with the test's own object in place of the shell's. While its menu is open, a
// timer presses the keys one per tick and notes whether the tip was showing at each tick.
class CTestItemMenu : public CItemContextMenuWnd {
public:
    static constexpr UINT_PTR kKeyTimer = 77;

    CFakeContextMenu* fake = nullptr;
    HRESULT uiObjectResult = S_OK;
    std::vector<UINT> keys;
    std::vector<bool> tipAtTick;

    bool TrackWithKeys(std::vector<UINT> pressed) {
        keys = std::move(pressed);
        tipAtTick.clear();
        SetTimer(GetHwnd(), kKeyTimer, 50, nullptr);
        const bool shown = TrackMenu({150, 150}, TPM_LEFTALIGN | TPM_RIGHTBUTTON);
        KillTimer(GetHwnd(), kKeyTimer);
        return shown;
    }

protected:
    HRESULT GetItemContextMenu(IShellFolder* parent, LPCITEMIDLIST last,
                               IContextMenu** menu) override {
        if (!fake) {
            return CItemContextMenuWnd::GetItemContextMenu(parent, last, menu);
        }
        *menu = nullptr;
        if (FAILED(uiObjectResult)) {
            return uiObjectResult;
        }
        fake->AddRef();
        *menu = fake;
        return S_OK;
    }

public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_TIMER && wParam == kKeyTimer) {
            tipAtTick.push_back(GetTipWindow().IsPending() || GetTipWindow().IsVisible());
            if (tipAtTick.size() <= keys.size()) {
                const UINT key = keys[tipAtTick.size() - 1];
                PostMessageA(GetHwnd(), WM_KEYDOWN, key, 1);
                PostMessageA(GetHwnd(), WM_KEYUP, key, 0xC0000001);
            }
            return 0;
        }
        return CItemContextMenuWnd::WindowProc(message, wParam, lParam);
    }
};

class ItemContextMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        ASSERT_TRUE(parent.Create("Item menu test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr,
                                  {100, 100, 400, 300}));
        ASSERT_TRUE(menu.Create("WORK001", parent, 100));
        file = folder.CreateTextFile(ToAnsi(ForRun(L"メモ.txt", L"note.txt")));
        fileItem = ParsePathToItemIdList(file.c_str());
        ASSERT_TRUE(fileItem);
    }
    void TearDown() override {
        SetWideLabelsForTesting(-1);
        menu.DestroyWindow();
        parent.DestroyWindow();
        fileItem.Free();
        OleUninitialize();
    }

    // Fills a fresh popup through the window; the popup is the caller's.
    CMenuHandle Fill(bool* filled) {
        CMenuHandle popup(CreatePopupMenu());
        *filled = menu.FillMenu(popup);
        return popup;
    }
    void UseFake(CFakeContextMenu* fake) {
        menu.fake = fake;
        ASSERT_TRUE(menu.SetItem(fileItem));
    }
    bool TipShowing() { return menu.GetTipWindow().IsPending() || menu.GetTipWindow().IsVisible(); }

    CWnd parent;
    CTestItemMenu menu;
    CScratchFolder folder{"itemmenu"};
    std::string file;
    CItemIdList fileItem;
};

// Every command id of the menu and its submenus.
void CollectCommands(HMENU menu, std::vector<UINT>* ids) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE;
        ASSERT_TRUE(GetMenuItemInfoA(menu, i, TRUE, &info));
        if (info.hSubMenu) {
            CollectCommands(info.hSubMenu, ids);
        } else if (!(info.fType & MFT_SEPARATOR)) {
            ids->push_back(info.wID);
        }
    }
}

TEST_F(ItemContextMenuTest, CreatesAHiddenZeroSizedChildWithItsTextIdAndTip) {
    EXPECT_EQ(GetParent(menu), parent.GetHwnd());
    EXPECT_EQ(GetDlgCtrlID(menu), 100);
    EXPECT_FALSE(IsWindowVisible(menu));
    char text[32] = {};
    GetWindowTextA(menu, text, sizeof(text));
    EXPECT_STREQ(text, "WORK001");
    RECT rect = {};
    GetWindowRect(menu, &rect);
    EXPECT_EQ(rect.right - rect.left, 0);
    EXPECT_EQ(rect.bottom - rect.top, 0);
    ASSERT_NE(menu.GetTipWindow().GetHwnd(), nullptr);
    EXPECT_EQ(menu.GetTipWindow().GetMarginX(), 4);
    EXPECT_EQ(menu.GetTipWindow().GetMarginY(), 4);
    EXPECT_FALSE(menu.Create("WORK001", parent, 100));
}

TEST_F(ItemContextMenuTest, HoldsOneCopyOfTheItemAndFreesTheOldOne) {
    {
        CTaskAllocatorSpy spy;
        ASSERT_TRUE(spy.Registered());
        ASSERT_TRUE(menu.SetItem(fileItem));
        EXPECT_NE(menu.GetItem(), fileItem.Get());
        EXPECT_TRUE(spy.IsLive(menu.GetItem()));
        ASSERT_TRUE(menu.SetItem(fileItem));
        EXPECT_EQ(spy.LiveCount(), 1u); // the first copy went
        EXPECT_FALSE(menu.SetItem(nullptr));
        EXPECT_EQ(menu.GetItem(), nullptr);
        EXPECT_EQ(spy.LiveCount(), 0u);
    }
    std::string name;
    EXPECT_FALSE(menu.GetItemNameAndIcon(&name, nullptr));
    ASSERT_TRUE(menu.SetItem(fileItem));
    int icon = -1;
    EXPECT_TRUE(menu.GetItemNameAndIcon(&name, &icon));
    EXPECT_NE(file.find(name.substr(0, name.find('.'))), std::string::npos) << name;
    EXPECT_GE(icon, 0);
}

TEST_F(ItemContextMenuTest, FillsTheShellsOwnMenuOfAFileWithinTheCommandRange) {
    ASSERT_TRUE(menu.SetItem(fileItem));
    bool filled = false;
    CMenuHandle popup = Fill(&filled);
    ASSERT_TRUE(filled);
    ASSERT_NE(menu.GetContextMenu(), nullptr);
    std::vector<UINT> ids;
    CollectCommands(popup, &ids);
    ASSERT_FALSE(ids.empty());
    for (UINT id : ids) {
        EXPECT_GE(id, CItemContextMenuWnd::kFirstCommand);
        EXPECT_LE(id, CItemContextMenuWnd::kLastCommand);
    }
    // The shell knows its own entries by verb at the command offset id - 1.
    bool hasProperties = false;
    for (UINT id : ids) {
        char verb[64] = {};
        if (SUCCEEDED(menu.GetContextMenu()->GetCommandString(id - 1, GCS_VERBA, nullptr, verb,
                                                              sizeof(verb)))) {
            hasProperties |= lstrcmpiA(verb, "properties") == 0;
        }
    }
    EXPECT_TRUE(hasProperties);

    // A second fill lets the first object go before it asks for a new one.
    IContextMenu* firstObject = menu.GetContextMenu();
    firstObject->AddRef();
    CMenuHandle again = Fill(&filled);
    EXPECT_TRUE(filled);
    EXPECT_NE(menu.GetContextMenu(), firstObject);
    EXPECT_EQ(firstObject->Release(), 0u);
}

TEST_F(ItemContextMenuTest, BuildsNoMenuWithoutAnItemOrABindableParent) {
    // A file is no folder, so an identifier below it has no parent to bind either.
    const BYTE child[] = {4, 0, 0xEE, 0xEE, 0, 0};
    CItemIdList belowFile = JoinItemIdLists(fileItem, reinterpret_cast<LPCITEMIDLIST>(child));
    struct Case {
        const char* what;
        LPCITEMIDLIST item;
    } cases[] = {{"no item", nullptr}, {"below a file", belowFile}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        menu.SetItem(c.item);
        bool filled = true;
        CMenuHandle popup = Fill(&filled);
        EXPECT_FALSE(filled);
        EXPECT_EQ(GetMenuItemCount(popup), 0);
        EXPECT_EQ(menu.GetContextMenu(), nullptr);
        if (!filled) { // a filled menu would stay open with nobody to close it
            EXPECT_FALSE(menu.TrackMenu({150, 150}, TPM_LEFTALIGN));
        }
    }
}

TEST_F(ItemContextMenuTest, AsksTheObjectForItsEntriesAndDropsItWhenThatFails) {
    struct Case {
        const char* what;
        HRESULT uiObject;
        HRESULT query;
        bool held;
        int entries;
    } cases[] = {{"entries added", S_OK, S_OK, true, 2},
                 {"the object refuses to add", S_OK, E_FAIL, false, 0},
                 {"no object for the item", E_NOINTERFACE, S_OK, false, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CFakeContextMenu fake(CFakeContextMenu::Level::Menu3);
        fake.queryResult = c.query;
        menu.uiObjectResult = c.uiObject;
        UseFake(&fake);
        bool filled = false;
        CMenuHandle popup = Fill(&filled);
        EXPECT_TRUE(filled);
        EXPECT_EQ(menu.GetContextMenu() != nullptr, c.held);
        EXPECT_EQ(GetMenuItemCount(popup), c.entries);
        if (SUCCEEDED(c.uiObject)) {
            EXPECT_EQ(fake.queried.menu, reinterpret_cast<UINT_PTR>(popup.Get()));
            EXPECT_EQ(fake.queried.index, 0u);
            EXPECT_EQ(fake.queried.first, 1u);
            EXPECT_EQ(fake.queried.last, 0x7000u);
            EXPECT_EQ(fake.queried.flags, static_cast<UINT>(CMF_CANRENAME));
        }
        menu.SetItem(nullptr);
        Fill(&filled); // lets the object go
        EXPECT_EQ(fake.references, 1u);
    }
}

TEST_F(ItemContextMenuTest, RelaysTheMenuMessagesToTheRichestInterfaceOffered) {
    using Level = CFakeContextMenu::Level;
    using H = CFakeContextMenu::Handled;
    struct Case {
        Level level;
        UINT message;
        std::vector<H> expected;
    } cases[] = {
        {Level::Menu3, WM_INITMENUPOPUP, {{3, WM_INITMENUPOPUP}}},
        {Level::Menu3, WM_DRAWITEM, {{3, WM_DRAWITEM}}},
        {Level::Menu3, WM_MEASUREITEM, {{3, WM_MEASUREITEM}}},
        {Level::Menu3, WM_MENUCHAR, {{3, WM_MENUCHAR}}},
        {Level::Menu2, WM_INITMENUPOPUP, {{2, WM_INITMENUPOPUP}}},
        {Level::Menu2, WM_DRAWITEM, {{2, WM_DRAWITEM}}},
        {Level::Menu2, WM_MEASUREITEM, {{2, WM_MEASUREITEM}}},
        {Level::Menu2, WM_MENUCHAR, {}},
        {Level::Menu1, WM_INITMENUPOPUP, {}},
        {Level::Menu1, WM_MENUCHAR, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "level " << static_cast<int>(c.level) << " message " << c.message);
        CFakeContextMenu fake(c.level);
        UseFake(&fake);
        bool filled = false;
        CMenuHandle popup = Fill(&filled);
        ASSERT_TRUE(filled);
        // Entries the shell draws itself carry its own data: the window must not read it.
        DRAWITEMSTRUCT draw = {};
        draw.CtlType = ODT_MENU;
        draw.itemData = 0xBADF00D;
        MEASUREITEMSTRUCT measure = {};
        measure.CtlType = ODT_MENU;
        measure.itemData = 0xBADF00D;
        LPARAM lParam = 0;
        WPARAM wParam = 0;
        if (c.message == WM_DRAWITEM) {
            lParam = reinterpret_cast<LPARAM>(&draw);
        } else if (c.message == WM_MEASUREITEM) {
            lParam = reinterpret_cast<LPARAM>(&measure);
        } else if (c.message == WM_INITMENUPOPUP) {
            wParam = reinterpret_cast<WPARAM>(popup.Get());
        } else {
            wParam = MAKEWPARAM('e', MF_POPUP);
            lParam = reinterpret_cast<LPARAM>(popup.Get());
        }
        const LRESULT result = SendMessageA(menu, c.message, wParam, lParam);
        EXPECT_EQ(fake.handled, c.expected);
        if (c.message == WM_MENUCHAR) {
            EXPECT_EQ(result == CFakeContextMenu::kMenuCharResult, !c.expected.empty());
        }
        menu.SetItem(nullptr);
        Fill(&filled);
    }
}

TEST_F(ItemContextMenuTest, ShowsTheHelpTextOfAnEntryAndHidesItElsewhere) {
    const std::string help = ToAnsi(ForRun(L"項目を開きます", L"Opens the item"));
    const std::string longHelp(60, 'x');
    const std::wstring wideHelp = OutsideCodePageNames()[2];
    struct Case {
        const char* what;
        UINT item;
        UINT flags;
        bool shown;
        std::wstring text;
    } cases[] = {
        {"entry with a help text", 1, MF_STRING, true, ToWide(help)},
        {"wrapped at 50 columns", 2, MF_STRING | MF_HILITE, true,
         std::wstring(50, L'x') + L"\n" + std::wstring(10, L'x')},
        {"entry with a wide help text", 5, MF_STRING, true, wideHelp},
        {"entry without one", 3, MF_STRING, false, L""},
        {"entry with an empty one", 4, MF_STRING, false, L""},
        {"submenu", 1, MF_POPUP, false, L""},
        {"disabled entry", 1, MF_DISABLED, false, L""},
        {"separator", 0, MF_SEPARATOR, false, L""},
        {"menu closing", 0, 0xFFFF, false, L""},
    };
    CFakeContextMenu fake(CFakeContextMenu::Level::Menu3);
    fake.helpTexts = {{0, help}, {1, longHelp}, {3, ""}};
    fake.wideHelpTexts = {{4, wideHelp}};
    UseFake(&fake);
    bool filled = false;
    CMenuHandle popup = Fill(&filled);
    ASSERT_TRUE(filled);
    menu.GetTipWindow().SetDelay(60000); // the show stays pending: no window on the desktop
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // A tip from the entry before, which each case either replaces or hides.
        SendMessageA(menu, WM_MENUSELECT, MAKEWPARAM(1, MF_STRING),
                     reinterpret_cast<LPARAM>(popup.Get()));
        ASSERT_TRUE(TipShowing());
        fake.helpRequests.clear();
        SendMessageA(menu, WM_MENUSELECT, MAKEWPARAM(c.item, c.flags),
                     c.flags == 0xFFFF ? 0 : reinterpret_cast<LPARAM>(popup.Get()));
        EXPECT_EQ(TipShowing(), c.shown);
        if (c.shown) {
            EXPECT_EQ(menu.GetTipWindow().GetText(), c.text);
        }
        if (c.item >= 1 && c.flags == MF_STRING) {
            // The wide form first; the code page's only when the handler refuses it.
            const bool wide = fake.wideHelpTexts.count(c.item - 1) != 0;
            ASSERT_EQ(fake.helpRequests.size(), wide ? 1u : 2u);
            for (size_t k = 0; k < fake.helpRequests.size(); ++k) {
                EXPECT_EQ(fake.helpRequests[k].command, c.item - 1);
                EXPECT_EQ(fake.helpRequests[k].type,
                          static_cast<UINT>(k == 0 ? GCS_HELPTEXTW : GCS_HELPTEXTA));
                EXPECT_EQ(fake.helpRequests[k].size, 1024u);
            }
        }
    }
    // The 9x family asks for the code page's form alone.
    SetWideLabelsForTesting(0);
    for (UINT item : {1u, 5u}) {
        SCOPED_TRACE(item);
        fake.helpRequests.clear();
        SendMessageA(menu, WM_MENUSELECT, MAKEWPARAM(item, MF_STRING),
                     reinterpret_cast<LPARAM>(popup.Get()));
        ASSERT_EQ(fake.helpRequests.size(), 1u);
        EXPECT_EQ(fake.helpRequests[0].type, static_cast<UINT>(GCS_HELPTEXTA));
        EXPECT_EQ(TipShowing(), item == 1);
        if (item == 1) {
            EXPECT_EQ(menu.GetTipWindow().GetText(), ToWide(help));
        }
    }
    SetWideLabelsForTesting(-1);
    // Without an object nothing is asked and the tip goes.
    SendMessageA(menu, WM_MENUSELECT, MAKEWPARAM(1, MF_STRING),
                 reinterpret_cast<LPARAM>(popup.Get()));
    menu.SetItem(nullptr);
    Fill(&filled);
    fake.helpRequests.clear();
    SendMessageA(menu, WM_MENUSELECT, MAKEWPARAM(1, MF_STRING),
                 reinterpret_cast<LPARAM>(popup.Get()));
    EXPECT_FALSE(TipShowing());
    EXPECT_TRUE(fake.helpRequests.empty());
}

TEST_F(ItemContextMenuTest, RunsACommandAtTheShellsOffsetShownNormally) {
    CFakeContextMenu fake(CFakeContextMenu::Level::Menu1);
    UseFake(&fake);
    bool filled = false;
    CMenuHandle popup = Fill(&filled);
    ASSERT_TRUE(filled);
    for (UINT command : {1u, 2u, 0x7000u}) {
        SCOPED_TRACE(command);
        fake.invoked.clear();
        menu.RunCommand(command);
        ASSERT_EQ(fake.invoked.size(), 1u);
        const CMINVOKECOMMANDINFO& info = fake.invoked[0];
        EXPECT_EQ(info.cbSize, sizeof(CMINVOKECOMMANDINFO));
        EXPECT_EQ(info.fMask, 0u);
        EXPECT_EQ(info.hwnd, nullptr);
        EXPECT_EQ(info.lpVerb, MAKEINTRESOURCEA(command - 1));
        EXPECT_EQ(info.lpParameters, nullptr);
        EXPECT_EQ(info.lpDirectory, nullptr);
        EXPECT_EQ(info.nShow, SW_SHOWNORMAL);
        EXPECT_EQ(info.dwHotKey, 0u);
        EXPECT_EQ(info.hIcon, nullptr);
    }
    menu.SetItem(nullptr);
    Fill(&filled); // lets the object go before it does
}

TEST_F(ItemContextMenuTest, TracksTheMenuRunsWhatIsChosenAndCleansUp) {
    struct Case {
        const char* what;
        std::vector<UINT> keys;
        std::vector<UINT_PTR> verbs; // commands run, at the shell's offset
    } cases[] = {
        {"Escape", {VK_ESCAPE}, {}},
        {"first entry", {VK_DOWN, VK_RETURN}, {0}},
        {"second entry", {VK_DOWN, VK_DOWN, VK_RETURN}, {1}},
        {"highlight, then Escape", {VK_DOWN, VK_ESCAPE}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CTaskAllocatorSpy spy;
        ASSERT_TRUE(spy.Registered());
        CFakeContextMenu fake(CFakeContextMenu::Level::Menu3);
        fake.helpTexts = {{0, "first"}, {1, "second"}};
        UseFake(&fake);
        menu.GetTipWindow().SetDelay(60000);
        EXPECT_TRUE(menu.TrackWithKeys(c.keys));
        ASSERT_GE(menu.tipAtTick.size(), c.keys.size());
        std::vector<UINT_PTR> verbs;
        for (const CMINVOKECOMMANDINFO& info : fake.invoked) {
            verbs.push_back(reinterpret_cast<UINT_PTR>(info.lpVerb));
        }
        EXPECT_EQ(verbs, c.verbs);
        EXPECT_FALSE(TipShowing());
        if (c.keys.size() > 1) {
            // The tick after the first Down: the first entry's help text is on its way.
            EXPECT_TRUE(menu.tipAtTick[1]);
        }
        EXPECT_EQ(menu.GetContextMenu(), nullptr);
        EXPECT_EQ(fake.references, 1u);
        EXPECT_FALSE(IsMenu(fake.filledMenu));
        menu.SetItem(nullptr);
        EXPECT_EQ(spy.LiveCount(), 0u);
        PumpMessages();
    }
}

TEST_F(ItemContextMenuTest, CopyChosenFromTheShellsMenuPutsTheFileOnTheClipboard) {
    ASSERT_TRUE(SUCCEEDED(OleSetClipboard(nullptr)));
    ASSERT_TRUE(menu.SetItem(fileItem));
    bool filled = false;
    CMenuHandle popup = Fill(&filled);
    ASSERT_TRUE(filled);
    ASSERT_NE(menu.GetContextMenu(), nullptr);
    std::vector<UINT> ids;
    CollectCommands(popup, &ids);
    UINT copy = 0;
    for (UINT id : ids) {
        char verb[64] = {};
        if (SUCCEEDED(menu.GetContextMenu()->GetCommandString(id - 1, GCS_VERBA, nullptr, verb,
                                                              sizeof(verb))) &&
            lstrcmpiA(verb, "copy") == 0) {
            copy = id;
        }
    }
    ASSERT_NE(copy, 0u) << "the shell offers no copy verb";
    menu.RunCommand(copy);

    CComPtr<IDataObject> clipboard;
    ASSERT_TRUE(SUCCEEDED(OleGetClipboard(clipboard.GetAddressOf())));
    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    ASSERT_TRUE(SUCCEEDED(clipboard->GetData(&format, &medium)));
    char dropped[MAX_PATH] = {};
    DragQueryFileA(static_cast<HDROP>(medium.hGlobal), 0, dropped, MAX_PATH);
    ReleaseStgMedium(&medium);
    EXPECT_EQ(lstrcmpiA(dropped, file.c_str()), 0) << dropped;
    clipboard.Reset();
    OleSetClipboard(nullptr);
}

} // namespace
