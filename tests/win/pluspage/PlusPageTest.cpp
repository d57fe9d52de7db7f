// The resident program page hosted in a property sheet on its own thread, against the real
// resident program: its hot key, the options it writes, the autostart entry and "start now".
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "TestSupport.h"
#include "common/UiText.h"
#include "common/WindowMessages.h"
#include "framework/CPropertySheet.h"
#include "settings/CPlusPage.h"
#include "settings/resource.h"

namespace {

const char* const kResidentTitle = kResidentFrameTitle;
const char kOptionsKey[] = "Software\\Velmora\\Corvina Plus";
const char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kAutostartName[] = "CorvinaPlus";
const char kSheetCaption[] = "Resident page test";
constexpr WORD kExitCommand = 57665;

// The build's bin folder as Wine shows it (the host's root is drive Z:), with a backslash.
std::string BinFolder() {
    const std::string path = HostPath(CORVINA_PLUS_EXE);
    return path.substr(0, path.rfind('\\') + 1);
}

std::string ResidentPath() {
    return BinFolder() + "CorvinaPlus.exe";
}

HWND ResidentWindow() {
    return FindWindowA(nullptr, kResidentTitle);
}

// Whether nobody holds the combination (modifiers in registration form).
bool HotKeyFree(UINT modifiers, UINT key) {
    if (RegisterHotKey(nullptr, 0xB17, modifiers, key)) {
        UnregisterHotKey(nullptr, 0xB17);
        return true;
    }
    return false;
}

// Waits until the resident program has handled what was posted to it so far.
void WaitResidentIdle() {
    DWORD processId = 0;
    GetWindowThreadProcessId(ResidentWindow(), &processId);
    if (HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId)) {
        WaitForInputIdle(process, 10000);
        CloseHandle(process);
    }
}

// Whether the resident program holds the combination. The probe itself registers it for a
// moment, which would make a registration running at that very moment fail: so it waits for
// the program to be idle first and then probes sparingly.
bool HeldByResident(UINT modifiers, UINT key, DWORD timeoutMs = 30000) {
    WaitResidentIdle();
    return WaitFor([=] { return !HotKeyFree(modifiers, key); }, timeoutMs, Pumping::Messages, 250);
}

// Has the resident program read its options again and take the stored combination. The
// request is repeated when a probe happened to collide with the registration.
bool ResidentRetakes(UINT modifiers, UINT key) {
    for (int attempt = 0; attempt < 10; ++attempt) {
        PostMessageA(ResidentWindow(), RegisterWindowMessageA(kUpdateOptionMessageName), 0, 0);
        if (HeldByResident(modifiers, key, 3000)) {
            return true;
        }
    }
    return false;
}

bool StartResident() {
    std::string command = "\"" + ResidentPath() + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return WaitFor([] { return ResidentWindow() != nullptr; });
}

bool EndResident() {
    if (HWND window = ResidentWindow()) {
        PostMessageA(window, WM_COMMAND, kExitCommand, 0);
    }
    return WaitFor([] { return ResidentWindow() == nullptr; });
}

void DeleteValue(HKEY root, const char* path, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, name);
        RegCloseKey(key);
    }
}

void SetValue(HKEY root, const char* path, const char* name, DWORD type, const void* data,
              DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

void SetString(HKEY root, const char* path, const char* name, const std::string& text) {
    SetValue(root, path, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

struct Stored {
    bool exists = false;
    DWORD type = 0;
    std::vector<BYTE> bytes;
    std::string Text() const {
        std::string text(bytes.begin(), bytes.end());
        return text.substr(0, text.find('\0'));
    }
};

Stored Query(HKEY root, const char* path, const char* name) {
    Stored stored;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return stored;
    }
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &stored.type, nullptr, &size) == ERROR_SUCCESS) {
        stored.bytes.resize(size);
        stored.exists = RegQueryValueExA(key, name, nullptr, &stored.type, stored.bytes.data(),
                                         &size) == ERROR_SUCCESS;
        stored.bytes.resize(size);
    }
    RegCloseKey(key);
    return stored;
}

void ClearOptions() {
    for (const char* name : {"KeyCode", "Modifiers", "TierFlag", "FolderOnly"}) {
        DeleteValue(HKEY_CURRENT_USER, kOptionsKey, name);
    }
}

void StoreHotKey(BYTE key, BYTE modifiers) {
    const BYTE code[2] = {key, 0};
    const BYTE mods[2] = {modifiers, 0};
    SetValue(HKEY_CURRENT_USER, kOptionsKey, "KeyCode", REG_BINARY, code, 2);
    SetValue(HKEY_CURRENT_USER, kOptionsKey, "Modifiers", REG_BINARY, mods, 2);
}

// The page in a sheet of its own, run modally on a thread of its own.
class PageRun {
public:
    explicit PageRun(bool maySetAutostart = true, const std::string& folder = BinFolder())
        : page(folder, maySetAutostart) {
        m_thread = std::thread([this] {
            CPropertySheet sheet(kSheetCaption);
            sheet.AddPage(&page);
            sheet.DoModal(nullptr);
        });
        WaitFor([this] {
            m_sheet = FindWindowA("#32770", kSheetCaption);
            return m_sheet && IsWindowVisible(m_sheet) && page.GetHwnd() != nullptr;
        });
    }
    ~PageRun() { Close(); }

    bool Shown() const { return m_sheet && page.GetHwnd(); }
    HWND Item(int id) const { return GetDlgItem(page.GetHwnd(), id); }
    WORD HotKey() const { return LOWORD(SendMessageA(Item(IDC_HOTKEY), HKM_GETHOTKEY, 0, 0)); }
    bool Checked(int id) const { return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    // A click as the user makes it: the page hears BN_CLICKED.
    void Click(int id) const { SendMessageA(Item(id), BM_CLICK, 0, 0); }
    // The sheet's Apply: every page gets its apply notification.
    void Apply() const { SendMessageA(m_sheet, PSM_APPLY, 0, 0); }
    void Close() {
        if (m_thread.joinable()) {
            if (m_sheet && IsWindow(m_sheet)) {
                PostMessageA(m_sheet, WM_COMMAND, IDCANCEL, 0);
            }
            m_thread.join();
        }
    }

    CPlusPage page;

private:
    HWND m_sheet = nullptr;
    std::thread m_thread;
};

// The resident program runs for every test and holds Ctrl + Alt + Q; no flags are stored.
class PlusPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The resident program keeps its last combination when the values are missing, so
        // the default is stored for it to take back.
        StoreHotKey('Q', HOTKEYF_CONTROL | HOTKEYF_ALT);
        DeleteValue(HKEY_LOCAL_MACHINE, kRunKey, kAutostartName);
        if (!ResidentWindow()) {
            ASSERT_TRUE(StartResident());
        }
        ASSERT_TRUE(ResidentRetakes(MOD_CONTROL | MOD_ALT, 'Q'));
    }
    void TearDown() override {
        ClearOptions();
        DeleteValue(HKEY_LOCAL_MACHINE, kRunKey, kAutostartName);
    }
};

class ResidentEnvironment : public ::testing::Environment {
public:
    void TearDown() override { EXPECT_TRUE(EndResident()); }
};
const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new ResidentEnvironment);

TEST_F(PlusPageTest, StoredHotKeyIsShownOnlyWhenBothValuesAreBinary) {
    const BYTE code[2] = {'W', 0};
    const BYTE shiftCtrl[2] = {HOTKEYF_SHIFT | HOTKEYF_CONTROL, 0};
    const DWORD asNumber = 'W';
    const WORD defaultKey = MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_ALT);
    struct Case {
        const char* what;
        bool keyCode;
        bool keyCodeAsDword;
        bool modifiers;
        WORD shown;
    };
    const Case cases[] = {
        {"nothing stored", false, false, false, defaultKey},
        {"only KeyCode", true, false, false, defaultKey},
        {"only Modifiers", false, false, true, defaultKey},
        {"KeyCode not binary", false, true, true, defaultKey},
        {"both binary", true, false, true, MAKEWORD('W', HOTKEYF_SHIFT | HOTKEYF_CONTROL)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearOptions();
        if (c.keyCode) {
            SetValue(HKEY_CURRENT_USER, kOptionsKey, "KeyCode", REG_BINARY, code, 2);
        }
        if (c.keyCodeAsDword) {
            SetValue(HKEY_CURRENT_USER, kOptionsKey, "KeyCode", REG_DWORD, &asNumber, 4);
        }
        if (c.modifiers) {
            SetValue(HKEY_CURRENT_USER, kOptionsKey, "Modifiers", REG_BINARY, shiftCtrl, 2);
        }
        PageRun run;
        ASSERT_TRUE(run.Shown());
        EXPECT_EQ(run.HotKey(), c.shown);
    }
}

TEST_F(PlusPageTest, PlainKeyGetsAltAndFolderOnlyFollowsTierFlag) {
    PageRun run;
    ASSERT_TRUE(run.Shown());
    EXPECT_EQ(run.HotKey(), MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_ALT));
    EXPECT_FALSE(run.Checked(IDC_TIER_FLAG));
    EXPECT_FALSE(run.Checked(IDC_FOLDER_ONLY));
    EXPECT_FALSE(IsWindowEnabled(run.Item(IDC_FOLDER_ONLY)));

    // A letter typed with no modifier held.
    HWND hotKey = run.Item(IDC_HOTKEY);
    SendMessageA(hotKey, WM_KEYDOWN, 'W', 0x00110001);
    SendMessageA(hotKey, WM_KEYUP, 'W', 0xC0110001);
    EXPECT_EQ(run.HotKey(), MAKEWORD('W', HOTKEYF_ALT));

    run.Click(IDC_TIER_FLAG);
    EXPECT_TRUE(IsWindowEnabled(run.Item(IDC_FOLDER_ONLY)));
    run.Click(IDC_TIER_FLAG);
    EXPECT_FALSE(IsWindowEnabled(run.Item(IDC_FOLDER_ONLY)));
}

TEST_F(PlusPageTest, StoredFlagsAreShown) {
    const DWORD on = 1;
    SetValue(HKEY_CURRENT_USER, kOptionsKey, "TierFlag", REG_DWORD, &on, 4);
    SetValue(HKEY_CURRENT_USER, kOptionsKey, "FolderOnly", REG_DWORD, &on, 4);
    PageRun run;
    ASSERT_TRUE(run.Shown());
    EXPECT_TRUE(run.Checked(IDC_TIER_FLAG));
    EXPECT_TRUE(run.Checked(IDC_FOLDER_ONLY));
    EXPECT_TRUE(IsWindowEnabled(run.Item(IDC_FOLDER_ONLY)));
}

TEST_F(PlusPageTest, ResidentHotKeyIsReleasedWhileOpenAndRetakenFromRegistryAfterCancel) {
    PageRun run;
    ASSERT_TRUE(run.Shown());
    EXPECT_TRUE(WaitFor([] { return HotKeyFree(MOD_CONTROL | MOD_ALT, 'Q'); }));

    // Apply a new combination: written at once, used by the resident program only later.
    SendMessageA(run.Item(IDC_HOTKEY), HKM_SETHOTKEY,
                 MAKEWORD('W', HOTKEYF_CONTROL | HOTKEYF_SHIFT), 0);
    run.Apply();
    const Stored code = Query(HKEY_CURRENT_USER, kOptionsKey, "KeyCode");
    const Stored modifiers = Query(HKEY_CURRENT_USER, kOptionsKey, "Modifiers");
    EXPECT_EQ(code.type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(code.bytes, (std::vector<BYTE>{'W', 0}));
    EXPECT_EQ(modifiers.type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(modifiers.bytes, (std::vector<BYTE>{HOTKEYF_CONTROL | HOTKEYF_SHIFT, 0}));
    EXPECT_TRUE(HotKeyFree(MOD_CONTROL | MOD_SHIFT, 'W'));

    run.Close();
    EXPECT_TRUE(HeldByResident(MOD_CONTROL | MOD_SHIFT, 'W'));
    EXPECT_TRUE(HotKeyFree(MOD_CONTROL | MOD_ALT, 'Q'));
}

TEST_F(PlusPageTest, CancelGivesTheStoredKeyBackUnchanged) {
    StoreHotKey('E', HOTKEYF_CONTROL | HOTKEYF_ALT);
    ASSERT_TRUE(ResidentRetakes(MOD_CONTROL | MOD_ALT, 'E'));
    {
        PageRun run;
        ASSERT_TRUE(run.Shown());
        EXPECT_EQ(run.HotKey(), MAKEWORD('E', HOTKEYF_CONTROL | HOTKEYF_ALT));
        EXPECT_TRUE(WaitFor([] { return HotKeyFree(MOD_CONTROL | MOD_ALT, 'E'); }));
        // Changed in the control but not applied: Cancel keeps the stored key.
        SendMessageA(run.Item(IDC_HOTKEY), HKM_SETHOTKEY, MAKEWORD('R', HOTKEYF_CONTROL), 0);
    }
    EXPECT_TRUE(HeldByResident(MOD_CONTROL | MOD_ALT, 'E'));
    EXPECT_TRUE(HotKeyFree(MOD_CONTROL, 'R'));
    EXPECT_EQ(Query(HKEY_CURRENT_USER, kOptionsKey, "KeyCode").bytes, (std::vector<BYTE>{'E', 0}));
}

TEST_F(PlusPageTest, ApplyWritesFlagsAsNumbers) {
    PageRun run;
    ASSERT_TRUE(run.Shown());
    struct Case {
        bool tier;
        bool folderOnly;
    };
    for (const Case c : {Case{true, true}, Case{true, false}, Case{false, false}}) {
        SCOPED_TRACE(c.tier * 2 + c.folderOnly);
        if (run.Checked(IDC_TIER_FLAG) != c.tier) {
            run.Click(IDC_TIER_FLAG);
        }
        if (run.Checked(IDC_FOLDER_ONLY) != c.folderOnly) {
            run.Click(IDC_FOLDER_ONLY);
        }
        run.Apply();
        const Stored tier = Query(HKEY_CURRENT_USER, kOptionsKey, "TierFlag");
        const Stored folderOnly = Query(HKEY_CURRENT_USER, kOptionsKey, "FolderOnly");
        ASSERT_TRUE(tier.exists && folderOnly.exists);
        EXPECT_EQ(tier.type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(folderOnly.type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(tier.bytes, (std::vector<BYTE>{BYTE(c.tier), 0, 0, 0}));
        EXPECT_EQ(folderOnly.bytes, (std::vector<BYTE>{BYTE(c.folderOnly), 0, 0, 0}));
    }
}

TEST_F(PlusPageTest, AutostartEntryIsComparedQuotedAndReplacedOrDeleted) {
    const std::string quoted = "\"" + ResidentPath() + "\"";
    // The same path with the case of every ASCII letter swapped.
    std::string otherCase = quoted;
    for (char& c : otherCase) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        } else if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    ASSERT_NE(otherCase, quoted);
    struct Case {
        const char* what;
        bool hasEntry;
        std::string storedText;
        bool shownChecked;
        bool click;
        bool expectEntry; // after apply: the quoted path, else none
    };
    const Case cases[] = {
        {"none, left off", false, "", false, false, false},
        {"none, switched on", false, "", false, true, true},
        {"quoted, kept", true, quoted, true, false, true},
        {"quoted in other case", true, otherCase, true, false, true},
        {"quoted, switched off", true, quoted, true, true, false},
        {"unquoted, deleted", true, ResidentPath(), false, false, false},
        {"unquoted, replaced", true, ResidentPath(), false, true, true},
        {"with argument", true, quoted + " /x", false, true, true},
        {"elsewhere", true, "\"C:\\Elsewhere\\CorvinaPlus.exe\"", false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteValue(HKEY_LOCAL_MACHINE, kRunKey, kAutostartName);
        if (c.hasEntry) {
            SetString(HKEY_LOCAL_MACHINE, kRunKey, kAutostartName, c.storedText);
        }
        PageRun run;
        ASSERT_TRUE(run.Shown());
        EXPECT_TRUE(IsWindowEnabled(run.Item(IDC_AUTOSTART)));
        EXPECT_EQ(run.Checked(IDC_AUTOSTART), c.shownChecked);
        if (c.click) {
            run.Click(IDC_AUTOSTART);
        }
        run.Apply();
        const Stored entry = Query(HKEY_LOCAL_MACHINE, kRunKey, kAutostartName);
        EXPECT_EQ(entry.exists, c.expectEntry);
        if (c.expectEntry) {
            EXPECT_EQ(entry.type, static_cast<DWORD>(REG_SZ));
            // A kept entry is written again in its canonical spelling, with the terminator
            // that Windows's reader of the Run values expects.
            EXPECT_EQ(entry.Text(), quoted);
            EXPECT_EQ(entry.bytes.size(), quoted.size() + 1);
        }
    }
}

TEST_F(PlusPageTest, AutostartEntryIgnoresLetterCaseAsTheSystemDoes) {
    // Built in the system code page at run time: Shift-JIS on the Japanese run, the Western
    // code page on the English one, each with the letters that code page has.
    struct Case {
        const char* what;
        BilingualText folder;
        BilingualText stored;
        bool shownChecked;
    };
    const Case cases[] = {
        {"ASCII letters in another case",
         {L"C:\\ソフト\\", "C:\\Soft\\"},
         {L"\"c:\\ソフト\\CORVINAPLUS.EXE\"", "\"c:\\SOFT\\CORVINAPLUS.EXE\""},
         true},
        {"letters beyond ASCII in another case",
         {L"C:\\ＣｏｒｖｉｎａＰｌｕｓ\\", "C:\\\xC9t\xE9\\"},
         {L"\"C:\\ｃＯＲＶＩＮＡｐＬＵＳ\\CorvinaPlus.exe\"", "\"C:\\\xE9T\xC9\\CorvinaPlus.exe\""},
         true},
        // The second bytes of ア and ヂ are those of 'A' and 'a'; × and ÷ lie 0x20 apart like
        // the cases of a letter.
        {"other characters whose bytes differ as letter cases do",
         {L"C:\\ア\\", "C:\\\xD7\\"},
         {L"\"C:\\ヂ\\CorvinaPlus.exe\"", "\"C:\\\xF7\\CorvinaPlus.exe\""},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetString(HKEY_LOCAL_MACHINE, kRunKey, kAutostartName, BuildText(c.stored));
        PageRun run(true, BuildText(c.folder));
        ASSERT_TRUE(run.Shown());
        EXPECT_EQ(run.Checked(IDC_AUTOSTART), c.shownChecked);
    }
}

TEST_F(PlusPageTest, UserWhoMayNotSetAutostartLeavesTheEntryAlone) {
    const std::string unquoted = ResidentPath();
    SetString(HKEY_LOCAL_MACHINE, kRunKey, kAutostartName, unquoted);
    PageRun run(false);
    ASSERT_TRUE(run.Shown());
    EXPECT_FALSE(IsWindowEnabled(run.Item(IDC_AUTOSTART)));
    EXPECT_FALSE(run.Checked(IDC_AUTOSTART));
    run.Apply();
    const Stored entry = Query(HKEY_LOCAL_MACHINE, kRunKey, kAutostartName);
    EXPECT_TRUE(entry.exists);
    EXPECT_EQ(entry.Text(), unquoted);
    // The options are still written.
    EXPECT_TRUE(Query(HKEY_CURRENT_USER, kOptionsKey, "KeyCode").exists);
}

std::vector<WPARAM> g_updateOptions;

LRESULT CALLBACK StandInProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == RegisterWindowMessageA(kUpdateOptionMessageName)) {
        g_updateOptions.push_back(wParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A hidden window with the resident program's title that notes every "UpdateOption".
class StandIn {
public:
    StandIn() {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = StandInProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "PlusPageStandIn";
        RegisterClassA(&windowClass);
        g_updateOptions.clear();
        m_window = CreateWindowExA(0, "PlusPageStandIn", kResidentTitle, WS_OVERLAPPED, 0, 0, 10,
                                   10, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~StandIn() { DestroyWindow(m_window); }
    HWND Window() const { return m_window; }

private:
    HWND m_window = nullptr;
};

TEST_F(PlusPageTest, ReleaseIsRepeatedWhileOpenAndReloadIsAskedForOnceAtTheEnd) {
    ASSERT_TRUE(EndResident());
    StandIn standIn;
    ASSERT_TRUE(standIn.Window());
    {
        PageRun run;
        ASSERT_TRUE(run.Shown());
        EXPECT_TRUE(WaitFor([] { return g_updateOptions.size() >= 3; }));
        EXPECT_EQ(std::count(g_updateOptions.begin(), g_updateOptions.end(), WPARAM(0)), 0);
    }
    EXPECT_TRUE(WaitFor([] { return !g_updateOptions.empty() && g_updateOptions.back() == 0; }));
    EXPECT_EQ(std::count(g_updateOptions.begin(), g_updateOptions.end(), WPARAM(0)), 1);
    EXPECT_EQ(std::count(g_updateOptions.begin(), g_updateOptions.end(), WPARAM(1)),
              static_cast<std::ptrdiff_t>(g_updateOptions.size() - 1));
}

TEST_F(PlusPageTest, StartNowStartsTheResidentProgram) {
    ASSERT_TRUE(EndResident());
    PageRun run;
    ASSERT_TRUE(run.Shown());
    PostMessageA(run.Item(IDC_START_NOW), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([] { return ResidentWindow() != nullptr; }));
}

} // namespace
