// The menu a host gets from the extension, its command strings and its commands, with the
// extension created through its registration as Explorer creates it.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CContextMenuHost.h"
#include "ExtensionTestSupport.h"
#include "common/ShellMenuItemData.h"

namespace {

struct MenuEntry {
    UINT type = 0;
    UINT state = 0;
    UINT id = 0;
    HMENU submenu = nullptr;
    ULONG_PTR data = 0;
    std::string text;
};

MenuEntry EntryAt(HMENU menu, int position) {
    MenuEntry entry;
    char text[1024] = {};
    MENUITEMINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof(text);
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) {
        ADD_FAILURE() << "no entry at " << position;
        return entry;
    }
    entry.type = info.fType;
    entry.state = info.fState;
    entry.id = info.wID;
    entry.submenu = info.hSubMenu;
    entry.data = info.dwItemData;
    entry.text = (info.fType & (MFT_OWNERDRAW | MFT_SEPARATOR)) ? std::string() : text;
    return entry;
}

const ShellMenuItemData& DataOf(const MenuEntry& entry) {
    return *reinterpret_cast<const ShellMenuItemData*>(entry.data);
}

// One registered copy of the server, with the marker program as its settings program, for
// the whole suite; the list is written by each test.
class ContextMenuTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        OleInitialize(nullptr);
        s_server = new CServerCopy(true);
        ASSERT_TRUE(s_server->Loaded());
        ASSERT_EQ(s_server->Register(), S_OK);
    }
    static void TearDownTestSuite() {
        s_server->Unregister();
        delete s_server;
        s_server = nullptr;
        CUserList::Clear();
        OleUninitialize();
    }
    void SetUp() override {
        CUserList::Clear();
        ASSERT_TRUE(s_server->Loaded());
        m_files.CreateTextFile("alpha.txt");
        m_files.CreateTextFile("beta.txt");
        CopyMarkerProgram(m_files.File("marker.exe"));
    }

    // Loads the extension into host through COM and lets it add its entries.
    void BuildMenu(CContextMenuHost& host, UINT grant = 0) {
        ASSERT_EQ(host.Load(CServerCopy::kClsid), S_OK);
        ASSERT_EQ(host.QueryHandlers(0, grant), S_OK);
    }

    static CServerCopy* s_server;
    CScratchFolder m_files{"menu"};
};

CServerCopy* ContextMenuTest::s_server = nullptr;

TEST_F(ContextMenuTest, SubmenuEntriesIdentifiersAndCountForListSizes) {
    struct Case {
        std::vector<std::string> files;
    };
    const Case cases[] = {{{}}, {{"alpha.txt"}}, {{"alpha.txt", "beta.txt", "marker.exe"}}};
    for (const Case& c : cases) {
        const size_t n = c.files.size();
        SCOPED_TRACE(n);
        std::vector<ListEntry> entries;
        for (const std::string& file : c.files) {
            entries.push_back({m_files.File(file), ""});
        }
        CUserList list(entries);
        CContextMenuHost host;
        BuildMenu(host);
        const UINT first = host.FirstId(0);
        EXPECT_EQ(host.UsedIds(0), n == 0 ? 1u : n + 2);

        HMENU menu = host.Menu();
        ASSERT_EQ(GetMenuItemCount(menu), CContextMenuHost::kOwnEntryCount + 2);
        const MenuEntry popup = EntryAt(menu, 0);
        ASSERT_NE(popup.submenu, nullptr);
        EXPECT_EQ(popup.text, ExpectedCaption());
        EXPECT_TRUE(EntryAt(menu, 1).type & MFT_SEPARATOR);
        EXPECT_EQ(EntryAt(menu, 2).id, 1u); // the host's own entries follow unchanged

        HMENU submenu = popup.submenu;
        ASSERT_EQ(GetMenuItemCount(submenu), static_cast<int>(n == 0 ? 1 : n + 2));
        for (size_t i = 0; i < n; ++i) {
            const MenuEntry entry = EntryAt(submenu, static_cast<int>(i));
            EXPECT_EQ(entry.id, first + i);
            EXPECT_TRUE(entry.type & MFT_OWNERDRAW);
            EXPECT_FALSE(entry.state & MFS_GRAYED);
            ASSERT_NE(entry.data, 0u);
            EXPECT_EQ(DataOf(entry).GetKind(), MenuItemKind::Command);
            const std::string path = m_files.File(c.files[i]);
            EXPECT_STREQ(DataOf(entry).GetLabel(), ShellDisplayName(path).c_str());
            EXPECT_EQ(DataOf(entry).GetIconIndex(), ShellIconIndex(path));
        }
        if (n > 0) {
            const MenuEntry separator = EntryAt(submenu, static_cast<int>(n));
            EXPECT_EQ(separator.id, first + n);
            EXPECT_TRUE(separator.type & MFT_OWNERDRAW);
            EXPECT_TRUE(separator.type & MFT_SEPARATOR);
            ASSERT_NE(separator.data, 0u);
            EXPECT_EQ(DataOf(separator).GetKind(), MenuItemKind::Separator);
        }
        const MenuEntry settings = EntryAt(submenu, static_cast<int>(n == 0 ? 0 : n + 1));
        EXPECT_EQ(settings.id, first + (n == 0 ? 0 : n + 1));
        EXPECT_TRUE(settings.type & MFT_OWNERDRAW);
        EXPECT_FALSE(settings.state & MFS_GRAYED);
        ASSERT_NE(settings.data, 0u);
        EXPECT_EQ(DataOf(settings).GetKind(), MenuItemKind::Command);
        EXPECT_EQ(DataOf(settings).GetLabel(), ExpectedSettingsLabel());
        EXPECT_EQ(DataOf(settings).GetIconIndex(), ShellIconIndex(s_server->SettingsPath()));
    }
}

TEST_F(ContextMenuTest, HostFindsTheHandlerThroughItsRegistration) {
    const std::vector<CLSID> handlers = ReadBackgroundMenuHandlers();
    int ours = 0;
    for (const CLSID& clsid : handlers) {
        ours += IsEqualCLSID(clsid, CServerCopy::kClsid) ? 1 : 0;
    }
    EXPECT_EQ(ours, 1);
    CContextMenuHost host;
    EXPECT_EQ(host.LoadRegistered(), handlers.size());
}

TEST_F(ContextMenuTest, OverrideReplacesTheShellNameOnlyWhenNotEmpty) {
    const std::string own = IsJapaneseRun() ? ToAnsi(L"日本語の名前") : "My own name";
    CUserList list({{m_files.File("alpha.txt"), own}, {m_files.File("beta.txt"), ""}});
    CContextMenuHost host;
    BuildMenu(host);
    HMENU submenu = EntryAt(host.Menu(), 0).submenu;
    ASSERT_NE(submenu, nullptr);
    EXPECT_EQ(DataOf(EntryAt(submenu, 0)).GetLabel(), own);
    EXPECT_EQ(DataOf(EntryAt(submenu, 0)).GetIconIndex(),
              ShellIconIndex(m_files.File("alpha.txt")));
    EXPECT_EQ(DataOf(EntryAt(submenu, 1)).GetLabel(), ShellDisplayName(m_files.File("beta.txt")));
}

TEST_F(ContextMenuTest, EarlierSubmenuIsRemovedByCaptionIgnoringCase) {
    CUserList list({{m_files.File("alpha.txt"), ""}});
    CContextMenuHost host;
    // An entry captioned like ours in other letters case goes; one merely similar stays.
    const std::string otherCase =
        IsJapaneseRun() ? ToAnsi(L"コルヴィナ(&q)") : std::string("&CORVINA");
    const std::string similar = IsJapaneseRun() ? ToAnsi(L"コルヴィナ") : std::string("Corvina");
    AppendMenuA(host.Menu(), MF_STRING, 6, otherCase.c_str());
    AppendMenuA(host.Menu(), MF_STRING, 7, similar.c_str());
    // Two objects for the same menu, as when the extension is registered twice.
    ASSERT_EQ(host.Load(CServerCopy::kClsid), S_OK);
    ASSERT_EQ(host.Load(CServerCopy::kClsid), S_OK);
    ASSERT_EQ(host.QueryHandlers(), S_OK);

    HMENU menu = host.Menu();
    int captions = 0;
    int separators = 0;
    bool similarKept = false;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        const MenuEntry entry = EntryAt(menu, i);
        captions += entry.text == ExpectedCaption() || entry.text == otherCase;
        separators += (entry.type & MFT_SEPARATOR) != 0;
        similarKept |= entry.text == similar;
    }
    EXPECT_EQ(captions, 1);
    EXPECT_TRUE(similarKept);
    EXPECT_EQ(EntryAt(menu, 0).text, ExpectedCaption());
    // The second object's submenu comes first, with its own identifiers.
    const MenuEntry first = EntryAt(EntryAt(menu, 0).submenu, 0);
    EXPECT_EQ(first.id, host.FirstId(1));
    EXPECT_TRUE(EntryAt(menu, 1).type & MFT_SEPARATOR);
    EXPECT_TRUE(EntryAt(menu, 2).type & MFT_SEPARATOR); // the earlier one's separator remains
    EXPECT_EQ(separators, 2 + 2);                       // ours and the host's own two
}

TEST_F(ContextMenuTest, SettingsGreyedWhileCorvsetIsMissing) {
    CUserList list({});
    ASSERT_TRUE(DeleteFileA(s_server->SettingsPath().c_str()));
    {
        CContextMenuHost host;
        BuildMenu(host);
        const MenuEntry settings = EntryAt(EntryAt(host.Menu(), 0).submenu, 0);
        EXPECT_TRUE(settings.state & MFS_GRAYED);
        EXPECT_EQ(DataOf(settings).GetLabel(), ExpectedSettingsLabel());
    }
    ASSERT_TRUE(CopyMarkerProgram(s_server->SettingsPath()));
    CContextMenuHost host;
    BuildMenu(host);
    EXPECT_FALSE(EntryAt(EntryAt(host.Menu(), 0).submenu, 0).state & MFS_GRAYED);
}

TEST_F(ContextMenuTest, FewerIdentifiersThanNeededKeepSettingsAndCutRecords) {
    CUserList list({{m_files.File("alpha.txt"), "A"},
                    {m_files.File("beta.txt"), "B"},
                    {m_files.File("marker.exe"), "C"}});
    struct Case {
        UINT grant;
        size_t records; // records shown
        UINT count;     // identifiers used
    };
    const Case cases[] = {{6, 3, 5}, {5, 3, 5}, {4, 2, 4}, {3, 1, 3}, {2, 0, 1}, {1, 0, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.grant);
        CContextMenuHost host;
        BuildMenu(host, c.grant);
        const UINT first = host.FirstId(0);
        EXPECT_EQ(host.UsedIds(0), c.count);
        HMENU submenu = EntryAt(host.Menu(), 0).submenu;
        ASSERT_NE(submenu, nullptr);
        const int entries = GetMenuItemCount(submenu);
        ASSERT_EQ(entries, static_cast<int>(c.records == 0 ? 1 : c.records + 2));
        for (int i = 0; i < entries; ++i) {
            const MenuEntry entry = EntryAt(submenu, i);
            EXPECT_GE(entry.id, first);
            EXPECT_LE(entry.id, first + c.grant - 1);
        }
        for (size_t i = 0; i < c.records; ++i) {
            EXPECT_EQ(DataOf(EntryAt(submenu, static_cast<int>(i))).GetLabel(),
                      std::string(1, static_cast<char>('A' + i)));
        }
        EXPECT_EQ(DataOf(EntryAt(submenu, entries - 1)).GetLabel(), ExpectedSettingsLabel());
    }

    // A range that holds no identifier at all (last below first) leaves the menu alone.
    CContextMenuHost host;
    ASSERT_EQ(host.Load(CServerCopy::kClsid), S_OK);
    const HRESULT hr = host.Handler(0)->QueryContextMenu(host.Menu(), 0, 200, 199, CMF_NORMAL);
    EXPECT_EQ(hr, MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0));
    EXPECT_EQ(GetMenuItemCount(host.Menu()), CContextMenuHost::kOwnEntryCount);
}

TEST_F(ContextMenuTest, SecondInitializeLoadsTheListAgain) {
    CContextMenuHost host;
    {
        CUserList list({{m_files.File("alpha.txt"), "A"}, {m_files.File("beta.txt"), "B"}});
        ASSERT_EQ(host.Load(CServerCopy::kClsid), S_OK); // first Initialize: two records
    }
    CUserList list({{m_files.File("marker.exe"), "C"}});
    CComPtr<IShellExtInit> init;
    ASSERT_EQ(host.Handler(0)->QueryInterface(IID_IShellExtInit,
                                              reinterpret_cast<void**>(init.GetAddressOf())),
              S_OK);
    ASSERT_EQ(init->Initialize(nullptr, nullptr, nullptr), S_OK);
    ASSERT_EQ(host.QueryHandlers(), S_OK);
    EXPECT_EQ(host.UsedIds(0), 3u);
    HMENU submenu = EntryAt(host.Menu(), 0).submenu;
    EXPECT_EQ(DataOf(EntryAt(submenu, 0)).GetLabel(), std::string("C"));
}

TEST_F(ContextMenuTest, GetCommandStringForEveryRequestType) {
    const std::string label = IsJapaneseRun() ? ToAnsi(L"メモ帳") : "Notes";
    CUserList list({{m_files.File("alpha.txt"), label}});
    CContextMenuHost host;
    BuildMenu(host);
    IContextMenu* menu = host.Handler(0);
    const std::string expected = ExpectedHelpText(label);
    const std::wstring expectedWide = ToWide(expected);

    struct Case {
        UINT type;
        bool wide;
        bool copies;
    };
    const Case cases[] = {{GCS_VERBA, false, true},      {GCS_HELPTEXTA, false, true},
                          {GCS_VERBW, true, true},       {GCS_HELPTEXTW, true, true},
                          {GCS_VALIDATEA, false, false}, {GCS_VALIDATEW, true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        WCHAR buffer[128];
        std::fill(std::begin(buffer), std::end(buffer), static_cast<WCHAR>(0x5A5A));
        EXPECT_EQ(menu->GetCommandString(0, c.type, nullptr, reinterpret_cast<LPSTR>(buffer), 128),
                  S_OK);
        if (!c.copies) {
            EXPECT_EQ(buffer[0], 0x5A5A);
        } else if (c.wide) {
            EXPECT_EQ(std::wstring(buffer), expectedWide);
        } else {
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer)), expected);
        }
    }

    char text[64];
    // The separator's entry names nothing.
    ASSERT_EQ(menu->GetCommandString(1, GCS_HELPTEXTA, nullptr, text, sizeof(text)), S_OK);
    EXPECT_EQ(std::string(text), ExpectedHelpText(""));
    // "Settings..." is entry 2.
    ASSERT_EQ(menu->GetCommandString(2, GCS_HELPTEXTA, nullptr, text, sizeof(text)), S_OK);
    EXPECT_EQ(std::string(text), ExpectedHelpText(ExpectedSettingsLabel()));
    // Beyond the entries.
    for (UINT_PTR offset : {UINT_PTR{3}, UINT_PTR{0xFFFF}, ~UINT_PTR{0}}) {
        EXPECT_EQ(menu->GetCommandString(offset, GCS_HELPTEXTA, nullptr, text, sizeof(text)),
                  E_FAIL);
    }
}

TEST_F(ContextMenuTest, GetCommandStringNeverWritesPastTheBuffer) {
    // A name whose double-byte characters straddle the cut on the Japanese run.
    const std::string label = IsJapaneseRun() ? ToAnsi(L"日本語") : "Notes";
    CUserList list({{m_files.File("alpha.txt"), label}});
    CContextMenuHost host;
    BuildMenu(host);
    IContextMenu* menu = host.Handler(0);
    const std::string full = ExpectedHelpText(label);

    for (UINT size : {0u, 1u, 2u, 4u, 5u, 6u}) {
        SCOPED_TRACE(size);
        char ansi[16];
        std::fill(std::begin(ansi), std::end(ansi), '#');
        ASSERT_EQ(menu->GetCommandString(0, GCS_HELPTEXTA, nullptr, ansi, size), S_OK);
        for (UINT i = size; i < sizeof(ansi); ++i) {
            EXPECT_EQ(ansi[i], '#') << "byte " << i;
        }
        if (size > 0) {
            const std::string copied(ansi);
            EXPECT_LT(copied.size(), size);
            EXPECT_EQ(full.compare(0, copied.size(), copied), 0);
            // At most the trail of a cut double-byte character is lost, and no lead byte
            // is left without its trail.
            EXPECT_GE(copied.size() + (IsJapaneseRun() ? 2u : 1u), size);
            size_t i = 0;
            while (i < copied.size()) {
                i += IsDBCSLeadByte(static_cast<BYTE>(copied[i])) ? 2 : 1;
            }
            EXPECT_EQ(i, copied.size());
        }

        WCHAR wide[16];
        std::fill(std::begin(wide), std::end(wide), static_cast<WCHAR>('#'));
        ASSERT_EQ(
            menu->GetCommandString(0, GCS_HELPTEXTW, nullptr, reinterpret_cast<LPSTR>(wide), size),
            S_OK);
        for (UINT i = size; i < 16; ++i) {
            EXPECT_EQ(wide[i], L'#') << "character " << i;
        }
        if (size > 0) {
            // Longer than any size here: cut to size - 1 characters and a terminator.
            const std::wstring copied(wide);
            EXPECT_EQ(copied.size(), size - 1);
            EXPECT_EQ(ToWide(full).compare(0, copied.size(), copied), 0);
        }
    }
}

TEST_F(ContextMenuTest, InvokeCommandRejectsVerbsAndUnknownOffsetsAndOpensItems) {
    CScratchFolder launch("launch");
    const std::string program = launch.File("started.exe");
    ASSERT_TRUE(CopyMarkerProgram(program));
    CUserList list({{program, ""}});
    CContextMenuHost host;
    BuildMenu(host);
    IContextMenu* menu = host.Handler(0);

    CMINVOKECOMMANDINFO info = {};
    info.cbSize = sizeof(info);
    info.nShow = SW_SHOWNORMAL;
    info.lpVerb = "open";
    EXPECT_EQ(menu->InvokeCommand(&info), E_FAIL);
    info.lpVerb = MAKEINTRESOURCEA(3); // one past "Settings..."
    EXPECT_EQ(menu->InvokeCommand(&info), E_FAIL);
    EXPECT_EQ(GetFileAttributesA((program + ".ran").c_str()), INVALID_FILE_ATTRIBUTES);

    info.lpVerb = MAKEINTRESOURCEA(0);
    EXPECT_EQ(menu->InvokeCommand(&info), S_OK);
    EXPECT_TRUE(WaitForFile(program + ".ran"));

    // "Settings..." starts the settings program beside the server.
    const std::string settingsRan = s_server->SettingsPath() + ".ran";
    DeleteFileA(settingsRan.c_str());
    EXPECT_EQ(host.InvokeId(host.FirstId(0) + 2), S_OK);
    EXPECT_TRUE(WaitForFile(settingsRan));
    DeleteFileA(settingsRan.c_str());
}

TEST_F(ContextMenuTest, VerbStringsAboveFourGigabytesAreNotTakenForOffsets64BitOnly) {
    // A 64-bit string pointer whose bits 16-31 are clear has the same low word as an offset;
    // only a pointer below 0x10000 is one.
#ifndef _WIN64
    GTEST_SKIP() << "64-bit only: a 32-bit process has no address above 4 GB";
#else
    CScratchFolder launch("highverb");
    const std::string program = launch.File("started.exe");
    ASSERT_TRUE(CopyMarkerProgram(program));
    CUserList list({{program, ""}});
    CContextMenuHost host;
    BuildMenu(host);
    IContextMenu* menu = host.Handler(0);

    char* page = nullptr;
    for (ULONG_PTR base = ULONG_PTR{1} << 32; !page && base < (ULONG_PTR{64} << 32);
         base += ULONG_PTR{1} << 32) {
        page = static_cast<char*>(VirtualAlloc(reinterpret_cast<void*>(base), 0x1000,
                                               MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    }
    ASSERT_NE(page, nullptr) << "no page free at a multiple of 4 GB";
    ASSERT_EQ(reinterpret_cast<ULONG_PTR>(page) & 0xFFFFFFFFu, 0u);
    const struct {
        size_t at; // where the verb lies in the page; its low word reads as this offset
        const char* text;
    } verbs[] = {{0, "open"}, {2, "properties"}};
    for (const auto& verb : verbs) {
        SCOPED_TRACE(verb.text);
        lstrcpyA(page + verb.at, verb.text);
        CMINVOKECOMMANDINFO info = {};
        info.cbSize = sizeof(info);
        info.nShow = SW_SHOWNORMAL;
        info.lpVerb = page + verb.at;
        EXPECT_EQ(menu->InvokeCommand(&info), E_FAIL);
    }
    VirtualFree(page, 0, MEM_RELEASE);
    EXPECT_EQ(GetFileAttributesA((program + ".ran").c_str()), INVALID_FILE_ATTRIBUTES);
#endif
}

TEST_F(ContextMenuTest, OpeningAVanishedItemStillSucceeds) {
    const std::string path = m_files.CreateTextFile("vanishing.txt");
    CUserList list({{path, ""}});
    CContextMenuHost host;
    BuildMenu(host);
    ASSERT_TRUE(DeleteFileA(path.c_str()));
    EXPECT_EQ(host.InvokeId(host.FirstId(0)), S_OK);
}

} // namespace

namespace {

// Typed characters reach the "&Corvina" submenu through the host's HandleMenuMsg2; the only
// entry starting with one is chosen, and choosing it opens the item.
TEST_F(ContextMenuTest, TypedCharactersPickSubmenuEntriesThroughTheHost) {
    CScratchFolder launch("keys");
    const std::string program = launch.File("marker.exe");
    ASSERT_TRUE(CopyMarkerProgram(program));
    // Labels: 0 alpha.txt, 1 Avocado, 2 marker.exe, 3 separator, 4 "Settings..." (設定...).
    CUserList list(
        {{m_files.File("alpha.txt"), ""}, {m_files.File("beta.txt"), "Avocado"}, {program, ""}});
    CContextMenuHost host;
    BuildMenu(host);
    HMENU submenu = GetSubMenu(host.Menu(), 0);
    ASSERT_NE(submenu, nullptr);
    ASSERT_EQ(GetMenuItemCount(submenu), 5);
    const bool ja = IsJapaneseRun();
    struct Case {
        char typed;
        int highlighted;
        WORD command;
        int index;
    } cases[] = {
        {'a', -1, MNC_SELECT, 0}, {'a', 0, MNC_SELECT, 1},
        {'A', 1, MNC_SELECT, 0},  {'s', -1, ja ? WORD{MNC_IGNORE} : WORD{MNC_EXECUTE}, 4},
        {'x', 2, MNC_IGNORE, 0},  {'m', 0, MNC_EXECUTE, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.typed) + " after " + std::to_string(c.highlighted));
        for (int k = 0; k < GetMenuItemCount(submenu); ++k) {
            MENUITEMINFOA info = {};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_STATE;
            GetMenuItemInfoA(submenu, static_cast<UINT>(k), TRUE, &info);
            info.fState =
                k == c.highlighted ? (info.fState | MFS_HILITE) : (info.fState & ~UINT{MFS_HILITE});
            SetMenuItemInfoA(submenu, static_cast<UINT>(k), TRUE, &info);
        }
        const LRESULT answer =
            SendMessageA(host.Window(), WM_MENUCHAR, MAKEWPARAM(c.typed, MF_POPUP),
                         reinterpret_cast<LPARAM>(submenu));
        EXPECT_EQ(HIWORD(answer), c.command);
        if (c.command != MNC_IGNORE) {
            EXPECT_EQ(LOWORD(answer), c.index);
        }
        if (c.command == MNC_EXECUTE && c.index == 2) {
            // What the menu does with the answer: the entry's command goes to the host.
            EXPECT_EQ(host.InvokeId(GetMenuItemID(submenu, LOWORD(answer))), S_OK);
            EXPECT_TRUE(WaitForFile(program + ".ran"));
        }
    }
    // The host's own menu is not the extension's to answer.
    LRESULT untouched = 0x5EED;
    CComPtr<IContextMenu3> menu3;
    ASSERT_EQ(host.Handler(0)->QueryInterface(IID_IContextMenu3,
                                              reinterpret_cast<void**>(menu3.GetAddressOf())),
              S_OK);
    EXPECT_EQ(menu3->HandleMenuMsg2(WM_MENUCHAR, MAKEWPARAM('a', MF_POPUP),
                                    reinterpret_cast<LPARAM>(host.Menu()), &untouched),
              S_OK);
    EXPECT_EQ(untouched, 0x5EED);
}

} // namespace
