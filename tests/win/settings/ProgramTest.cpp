// Corvset.exe run as a separate process and driven through its windows, as a user or the
// installer would.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "TestSupport.h"

using namespace settings_test;

namespace {

constexpr int kApplyId = 0x3021;
constexpr WPARAM kAboutCommand = 0x0010;
const char kRunKeyPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunOnceName[] = "CorvinaPlusOnce";

std::string ProgramPath() {
    return HostPath(CORVSET_EXE);
}

// One run of the program; ended with Cancel, then terminated if it will not go.
class SettingsProcess {
public:
    SettingsProcess() = default;
    SettingsProcess(const SettingsProcess&) = delete;
    SettingsProcess& operator=(const SettingsProcess&) = delete;
    ~SettingsProcess() { Stop(); }

    bool Start() {
        std::string command = "\"" + ProgramPath() + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        return CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &m_process) != FALSE;
    }
    // The sheet of this process, once it is shown.
    HWND WaitForSheet() {
        WaitFor([this] {
            m_sheet = nullptr;
            for (HWND sheet : FindDialogs(ExpectedSheetTitle())) {
                DWORD owner = 0;
                GetWindowThreadProcessId(sheet, &owner);
                if (owner == m_process.dwProcessId && IsWindowVisible(sheet)) {
                    m_sheet = sheet;
                }
            }
            return m_sheet != nullptr;
        });
        return m_sheet;
    }
    bool WaitForExit(DWORD timeoutMs = 30000) {
        return !m_process.hProcess ||
               WaitFor([this] { return WaitForSingleObject(m_process.hProcess, 0) == 0; },
                       timeoutMs);
    }
    DWORD ExitCode() const {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(m_process.hProcess, &code);
        return code;
    }
    void Stop() {
        if (!m_process.hProcess) {
            return;
        }
        if (WaitForSingleObject(m_process.hProcess, 0) != WAIT_OBJECT_0) {
            if (m_sheet && IsWindow(m_sheet)) {
                PostMessageW(m_sheet, WM_COMMAND, IDCANCEL, 0);
            }
            if (!WaitForExit(10000)) {
                TerminateProcess(m_process.hProcess, 1);
                WaitForSingleObject(m_process.hProcess, 10000);
            }
        }
        CloseHandle(m_process.hThread);
        CloseHandle(m_process.hProcess);
        m_process = PROCESS_INFORMATION{};
        m_sheet = nullptr;
    }
    HWND Sheet() const { return m_sheet; }

private:
    PROCESS_INFORMATION m_process{};
    HWND m_sheet = nullptr;
};

bool RunOnceExists() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKeyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return false;
    }
    const bool exists =
        RegQueryValueExA(key, kRunOnceName, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return exists;
}

void SetRunOnce(bool present) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRunKeyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    if (present) {
        const char command[] = "\"C:\\Program Files\\Corvina\\Corvset.exe\"";
        RegSetValueExA(key, kRunOnceName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command),
                       sizeof command - 1);
    } else {
        RegDeleteValueA(key, kRunOnceName);
    }
    RegCloseKey(key);
}

// Everything the settings program may write: the suite's keys under HKEY_CURRENT_USER, the
// machine-wide autostart entries and the extension's handler key.
using Snapshot = std::map<std::string, std::string>;

void AddKey(Snapshot* snapshot, HKEY root, const std::string& label, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return;
    }
    (*snapshot)[label + "\\" + path] = "<key>";
    for (DWORD i = 0;; ++i) {
        char name[512] = {};
        BYTE data[4096] = {};
        DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) !=
            ERROR_SUCCESS) {
            break;
        }
        (*snapshot)[label + "\\" + path + ":" + name] =
            std::to_string(type) + "=" + std::string(reinterpret_cast<char*>(data), dataSize);
    }
    std::vector<std::string> subkeys;
    for (DWORD i = 0;; ++i) {
        char name[512] = {};
        DWORD nameSize = sizeof name;
        if (RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        subkeys.push_back(name);
    }
    RegCloseKey(key);
    for (const std::string& subkey : subkeys) {
        AddKey(snapshot, root, label, path + "\\" + subkey);
    }
}

Snapshot TakeSnapshot() {
    Snapshot snapshot;
    AddKey(&snapshot, HKEY_CURRENT_USER, "HKCU", "Software\\Velmora");
    AddKey(&snapshot, HKEY_LOCAL_MACHINE, "HKLM", kRunKeyPath);
    AddKey(&snapshot, HKEY_CLASSES_ROOT, "HKCR",
           "Directory\\Background\\shellex\\ContextMenuHandlers\\CorvinaExtention");
    return snapshot;
}

class SettingsProgram : public ::testing::Test {
protected:
    void SetUp() override {
        // A sheet left over by an earlier failed run would answer for ours.
        for (HWND sheet : FindDialogs(ExpectedSheetTitle())) {
            PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
        }
        ASSERT_TRUE(WaitFor([] { return FindDialogs(ExpectedSheetTitle()).empty(); }, 20000));
    }
    void TearDown() override { SetRunOnce(false); }
};

TEST_F(SettingsProgram, SecondStartBringsTheSheetForwardAndEndsWithoutShowingAnything) {
    SetRunOnce(true);
    SettingsProcess first;
    ASSERT_TRUE(first.Start());
    HWND sheet = first.WaitForSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_FALSE(RunOnceExists()) << "the first start leaves the one-time entry";

    // Another window of ours in front, then the second start.
    HWND other = CreateWindowExA(0, "STATIC", "settings test window", WS_OVERLAPPEDWINDOW, 100, 100,
                                 300, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    ShowWindow(other, SW_SHOW);
    SetForegroundWindow(other);
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == other; }, 10000));

    SetRunOnce(true);
    SettingsProcess second;
    ASSERT_TRUE(second.Start());
    ASSERT_TRUE(second.WaitForExit());
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_FALSE(RunOnceExists()) << "the second start leaves the one-time entry";
    EXPECT_EQ(FindDialogs(ExpectedSheetTitle()).size(), 1u);
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == sheet; }, 10000));
    EXPECT_TRUE(IsWindow(sheet));
    DestroyWindow(other);
}

TEST_F(SettingsProgram, OpensOnTheEditorWithApplyEnabledAndApplyGreysIt) {
    SettingsProcess program;
    ASSERT_TRUE(program.Start());
    HWND sheet = program.WaitForSheet();
    ASSERT_NE(sheet, nullptr);

    HWND tabs = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0));
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 0);
    // All three pages exist at once; the one shown holds the menu list.
    EXPECT_EQ(ChildrenOfClass(sheet, L"#32770").size(), 3u);
    HWND page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(ClassNameW(GetDlgItem(page, 1000)), L"SysTreeView32");

    HWND apply = GetDlgItem(sheet, kApplyId);
    ASSERT_NE(apply, nullptr);
    EXPECT_TRUE(IsWindowEnabled(apply));
    PostMessageW(apply, BM_CLICK, 0, 0);
    // The editor page reports on the extension's registration in a message box: answer it.
    EXPECT_TRUE(WaitFor(
        [&] {
            HWND box = FindOwnedDialog(sheet, nullptr);
            if (box && IsWindowVisible(box)) {
                PostMessageW(box, WM_COMMAND, IDOK, 0);
            }
            return !IsWindowEnabled(apply);
        },
        10000));
    EXPECT_TRUE(IsWindow(sheet));
}

TEST_F(SettingsProgram, CancelCommandEndsTheProgramAndSavesNothing) {
    const Snapshot before = TakeSnapshot();
    SettingsProcess program;
    ASSERT_TRUE(program.Start());
    HWND sheet = program.WaitForSheet();
    ASSERT_NE(sheet, nullptr);
    // What the installer does before it replaces the suite.
    SendMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
    EXPECT_EQ(TakeSnapshot(), before);
}

TEST_F(SettingsProgram, AboutBoxFromTheSystemMenuAndTheCloseBox) {
    SettingsProcess program;
    ASSERT_TRUE(program.Start());
    HWND sheet = program.WaitForSheet();
    ASSERT_NE(sheet, nullptr);

    PostMessageW(sheet, WM_SYSCOMMAND, kAboutCommand, 0);
    HWND about = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        about = FindOwnedDialog(sheet, nullptr);
        return about && IsWindowVisible(about);
    }));
    // The dialog manager's ANSI path turns the Japanese caption into the system code page,
    // which only a Japanese system can show.
    if (IsJapaneseRun()) {
        EXPECT_EQ(WindowTextW(about), L"バージョン情報");
    }
    EXPECT_EQ(WindowTextW(GetDlgItem(about, 1008)), L"corvina@example.com");
    EXPECT_EQ(WindowTextW(GetDlgItem(about, 1009)), L"http://www.example.com/corvina/");
    EXPECT_EQ(ClassNameW(GetDlgItem(about, 1006)), L"Static");
    std::vector<std::wstring> texts;
    for (HWND child : ChildrenOfClass(about, L"Static")) {
        texts.push_back(WindowTextW(child));
    }
    EXPECT_NE(std::find(texts.begin(), texts.end(), L"Corvina"), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), L"version 2.03"), texts.end());
    SendMessageW(about, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(about); }, 10000));
    EXPECT_TRUE(IsWindow(sheet));

    // Any other system command keeps its usual meaning: the close box ends the program.
    SendMessageW(sheet, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
}

} // namespace
