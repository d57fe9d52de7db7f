// The removal through Uninstall.exe run as the system runs it: started from the uninstall
// entry, it copies itself to the temporary folder, and the copy's dialog is driven by window
// messages. The suite is installed by Uninstall.exe -install, with both servers registered
// afterwards; the automation doubles play the browser windows. Everything here changes the
// machine, so the program runs in a throwaway copy of the prefix.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "SetupTestSupport.h"
#include "TestSupport.h"
#include "automation_doubles/DoublesControl.h"
#include "framework/CRegKey.h"
#include "serversetup/ServerLoading.h"

using setup_test::CPackage;
using setup_test::CSetupProcess;
using setup_test::kRunKey;
using setup_test::kUninstallKey;

namespace {

constexpr char kListKey[] = "Software\\Velmora\\Corvina";
constexpr char kResidentKey[] = "Software\\Velmora\\Corvina Plus";
constexpr char kExtensionClassKey[] = "CLSID\\{5A1C7E20-3B9D-4F62-8E41-0C7D2B9F6A13}";
constexpr char kBandClassKey[] = "CLSID\\{9E3B4C71-2D58-4A0F-B6C3-71E8D2A45F90}";
constexpr char kBandToolbarKey[] = "SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar";
constexpr char kBandClassId[] = "{9E3B4C71-2D58-4A0F-B6C3-71E8D2A45F90}";

// What the two servers and the installation write, and the neighbours they write into.
struct SnapshotRoot {
    HKEY root;
    const char* rootName;
    const char* key;
};
const SnapshotRoot kSnapshotRoots[] = {
    {HKEY_LOCAL_MACHINE, "HKLM", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"},
    {HKEY_LOCAL_MACHINE, "HKLM", kRunKey},
    {HKEY_LOCAL_MACHINE, "HKLM", kBandToolbarKey},
    {HKEY_CURRENT_USER, "HKCU", "Software\\Velmora"},
    {HKEY_CLASSES_ROOT, "HKCR", "CLSID"},
    {HKEY_CLASSES_ROOT, "HKCR", "TypeLib"},
    {HKEY_CLASSES_ROOT, "HKCR", "Interface"},
    {HKEY_CLASSES_ROOT, "HKCR", "Component Categories"},
    {HKEY_CLASSES_ROOT, "HKCR", "Directory\\Background\\shellex"},
    {HKEY_CLASSES_ROOT, "HKCR", "Corvina.CorvinaExtention"},
    {HKEY_CLASSES_ROOT, "HKCR", "Corvina.CorvinaExtention.1"},
    {HKEY_CLASSES_ROOT, "HKCR", "CorvinaBar.CorvBar"},
    {HKEY_CLASSES_ROOT, "HKCR", "CorvinaBar.CorvBar.1"},
};

using Entries = std::vector<std::string>;

void DumpKey(HKEY root, const std::string& name, const std::string& path, Entries& entries) {
    CRegKey key;
    if (key.Open(root, path.c_str(), KEY_READ) != ERROR_SUCCESS) {
        return;
    }
    entries.push_back(name + "\\" + path);
    for (DWORD index = 0;; ++index) {
        char value[16384];
        DWORD valueSize = sizeof value;
        BYTE data[4096];
        DWORD dataSize = sizeof data;
        DWORD type = 0;
        if (RegEnumValueA(key, index, value, &valueSize, nullptr, &type, data, &dataSize) !=
            ERROR_SUCCESS) {
            break;
        }
        entries.push_back(name + "\\" + path + " [" + std::string(value, valueSize) + "] " +
                          std::to_string(type) + ":" +
                          std::string(reinterpret_cast<char*>(data), dataSize));
    }
    std::vector<std::string> subkeys;
    for (DWORD index = 0;; ++index) {
        char subkey[256];
        DWORD size = sizeof subkey;
        if (RegEnumKeyExA(key, index, subkey, &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        subkeys.emplace_back(subkey, size);
    }
    for (const std::string& subkey : subkeys) {
        DumpKey(root, name, path + "\\" + subkey, entries);
    }
}

void DumpFolder(const std::string& folder, Entries& entries) {
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) {
        return;
    }
    std::vector<std::string> subfolders;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") {
            continue;
        }
        entries.push_back(folder + "\\" + name);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            subfolders.push_back(folder + "\\" + name);
        }
    } while (FindNextFileA(find, &found));
    FindClose(find);
    for (const std::string& subfolder : subfolders) {
        DumpFolder(subfolder, entries);
    }
}

std::string SpecialFolder(int csidl) {
    char path[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, path, csidl, TRUE);
    return path;
}

std::string ProgramsFolder() {
    return SpecialFolder(CSIDL_COMMON_PROGRAMS);
}

// The registry trees and the programs folder, sorted; entries under the list key are left
// out, as the removal leaves that key alone.
Entries TakeSnapshot() {
    Entries entries;
    for (const SnapshotRoot& root : kSnapshotRoots) {
        DumpKey(root.root, root.rootName, root.key, entries);
    }
    DumpFolder(ProgramsFolder(), entries);
    const std::string list = std::string("HKCU\\") + kListKey;
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [&](const std::string& entry) {
                                     return entry.compare(0, list.size(), list) == 0 &&
                                            (entry.size() == list.size() ||
                                             entry[list.size()] == ' ' ||
                                             entry[list.size()] == '\\');
                                 }),
                  entries.end());
    std::sort(entries.begin(), entries.end());
    return entries;
}

// Lines of a that b lacks.
Entries Missing(const Entries& a, const Entries& b) {
    Entries missing;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(missing));
    return missing;
}

std::string Joined(const Entries& entries) {
    std::string text;
    for (const std::string& entry : entries) {
        text += entry + "\n";
    }
    return text;
}

bool ValueExists(HKEY root, const char* path, const char* name) {
    CRegKey key;
    DWORD type = 0;
    DWORD size = 0;
    return key.Open(root, path) == ERROR_SUCCESS &&
           key.QueryValue(name, &type, nullptr, &size) == ERROR_SUCCESS;
}

bool PathExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The files the system deletes at its next start (the delayed moves without a new name).
std::vector<std::wstring> ScheduledDeletions() {
    std::vector<std::wstring> deletions;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Session Manager", 0,
                      KEY_READ, &key) != ERROR_SUCCESS) {
        return deletions;
    }
    std::vector<wchar_t> data(1 << 16);
    DWORD size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    const LONG result = RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, nullptr,
                                         reinterpret_cast<BYTE*>(data.data()), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) {
        return deletions;
    }
    std::vector<std::wstring> strings;
    const wchar_t* end = data.data() + size / sizeof(wchar_t);
    for (const wchar_t* p = data.data(); p < end;) {
        const std::wstring text(p, std::find(p, end, L'\0'));
        strings.push_back(text);
        p += text.size() + 1;
    }
    for (size_t i = 0; i + 1 < strings.size(); i += 2) {
        if (strings[i + 1].empty() && !strings[i].empty()) {
            deletions.push_back(strings[i].compare(0, 4, L"\\??\\") == 0 ? strings[i].substr(4)
                                                                         : strings[i]);
        }
    }
    return deletions;
}

bool ScheduledForDeletion(const std::string& path) {
    const std::wstring wide = ToWide(path);
    for (const std::wstring& scheduled : ScheduledDeletions()) {
        if (lstrcmpiW(scheduled.c_str(), wide.c_str()) == 0) {
            return true;
        }
    }
    return false;
}

std::wstring Caption() {
    return ForRun(L"アンインストール", L"Uninstall");
}

std::wstring CompletedText() {
    return ForRun(L"アンインストールが完了しました。\nご利用ありがとうございました。",
                  L"Uninstallation was completed. Thank you for use.");
}

std::wstring RestartQuestionText() {
    return ForRun(
        L"アンインストールを完了するには、Windowsを再起動する必要があります。\n今すぐ再起動しますか"
        L"?",
        L"In order to complete uninstallation, it is necessary to reboot Windows.\nreboot "
        L"computer now ?");
}

std::wstring RestartLaterText() {
    return ForRun(L"いくつかのファイルはWindowsが使用しているため、再起動後に削除されます。\nご利用"
                  L"ありがとうございました。",
                  L"In order to complete uninstallation, it is necessary to reboot Windows. "
                  L"Please reboot manually. Thank you for use.");
}

std::wstring MissingServerText(bool band, const std::string& path) {
    return ForRun(band ? L"『Corvina Bar』の実行に必要なファイルがありません。\n("
                       : L"『Corvina』の実行に必要なファイルがありません。\n(",
                  L"ERROR : dll file required for a setup is not found.\n(") +
           ToWide(path) + L")";
}

bool ProcessEnded(HANDLE process, DWORD timeoutMs = 60000) {
    return WaitFor([process] { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; },
                   timeoutMs);
}

// The uninstaller's temporary copies in the temporary folder, sorted.
Entries TemporaryCopies() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string folder = temp;
    if (!folder.empty() && folder.back() == '\\') {
        folder.pop_back();
    }
    Entries copies;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\tmpCorvina*.tmp").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            copies.push_back(folder + "\\" + found.cFileName);
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    std::sort(copies.begin(), copies.end());
    return copies;
}

// One removal: the first instance started from the uninstall entry, then its temporary copy
// with the uninstall dialog.
class RemovalRun {
public:
    RemovalRun() = default;
    RemovalRun(const RemovalRun&) = delete;
    RemovalRun& operator=(const RemovalRun&) = delete;
    ~RemovalRun() {
        if (m_copy) {
            if (WaitForSingleObject(m_copy, 0) != WAIT_OBJECT_0) {
                TerminateProcess(m_copy, 1);
            }
            CloseHandle(m_copy);
        }
    }

    // Starts the uninstall entry's command without arguments, waits for that instance to end
    // and for the copy's dialog.
    bool Start() {
        CRegKey key;
        std::string command;
        if (key.Open(HKEY_LOCAL_MACHINE, kUninstallKey) != ERROR_SUCCESS ||
            key.QueryString("UninstallString", command) != ERROR_SUCCESS) {
            ADD_FAILURE() << "no uninstall entry";
            return false;
        }
        const Entries copiesBefore = TemporaryCopies();
        // Run as the system runs it: the stored command is the command line.
        std::string line = command;
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION first = {};
        if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &first)) {
            ADD_FAILURE() << "cannot start " << line;
            return false;
        }
        CloseHandle(first.hThread);
        const bool firstEnded = ProcessEnded(first.hProcess);
        CloseHandle(first.hProcess);
        if (!firstEnded) {
            ADD_FAILURE() << "the first instance did not end";
            return false;
        }
        WaitFor([&] {
            for (HWND dialog : settings_test::FindDialogs(L"アンインストール")) {
                DWORD process = 0;
                GetWindowThreadProcessId(dialog, &process);
                if (process != first.dwProcessId && GetDlgItem(dialog, 1001) &&
                    IsWindowVisible(dialog)) {
                    m_dialog = dialog;
                    m_process = process;
                    return true;
                }
            }
            return false;
        });
        if (!m_dialog) {
            ADD_FAILURE() << "no uninstall dialog";
            return false;
        }
        m_copy = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, m_process);
        const Entries copies = TemporaryCopies();
        const Entries added = Missing(copies, copiesBefore);
        if (added.size() == 1) {
            m_copyPath = added.front();
        }
        return m_copy != nullptr;
    }

    void Press(int button) { PostMessageW(GetDlgItem(m_dialog, button), BM_CLICK, 0, 0); }

    // The next box of the dialog, once it shows; nullptr when none comes.
    HWND WaitForBox() {
        HWND box = nullptr;
        WaitFor(
            [&] {
                box = settings_test::FindOwnedDialog(m_dialog, Caption().c_str());
                return box && IsWindowVisible(box);
            },
            60000);
        return box;
    }

    // The next box's text; it is answered with button.
    std::wstring Answer(int button) {
        HWND box = WaitForBox();
        if (!box) {
            return L"(no box)";
        }
        const std::wstring text = basicpage_test::MessageBoxText(box);
        EXPECT_TRUE(basicpage_test::AnswerMessageBox(box, button)) << ToAnsi(text);
        return text;
    }

    bool Ended() { return ProcessEnded(m_copy); }
    const std::string& CopyPath() const { return m_copyPath; }
    HWND Dialog() const { return m_dialog; }

private:
    HWND m_dialog = nullptr;
    DWORD m_process = 0;
    HANDLE m_copy = nullptr;
    std::string m_copyPath;
};

void SetString(HKEY root, const char* path, const char* name, const std::string& value) {
    CRegKey key;
    ASSERT_EQ(key.Create(root, path), ERROR_SUCCESS) << path;
    ASSERT_EQ(key.SetString(name, value, false), ERROR_SUCCESS) << name;
}

class RemovalTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const char* copy = std::getenv("CORVINA_PREFIX_COPY");
        s_doubles = copy && std::string(copy) == "1" && RegisterServerByLoading(DOUBLES_DLL);
    }

    void SetUp() override {
        ASSERT_TRUE(s_doubles) << "the doubles are registered only in a copy of the prefix";
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        // One browser window open; Internet Explorer idle at once.
        ASSERT_TRUE(doubles::Play("windows=browser\nready=4"));
        m_folder = SpecialFolder(CSIDL_PROGRAM_FILES) + "\\Velmora\\Corvina";
        m_shortcuts = ProgramsFolder() + "\\Corvina";
    }

    void TearDown() override {
        RemoveLeftovers();
        CoUninitialize();
    }

    // Whatever a failed run left behind, so that the next test starts clean.
    void RemoveLeftovers() {
        for (const char* dll : {"Corvina.dll", "CorvinaBar.dll"}) {
            const std::string path = Installed(dll);
            if (ServerFileExists(path.c_str())) {
                UnregisterServerByLoading(path.c_str());
            }
        }
        DeleteFolderTree(m_folder);
        DeleteFolderTree(m_shortcuts);
        for (const char* key : {kExtensionClassKey, kBandClassKey}) {
            CRegKey classes(HKEY_CLASSES_ROOT);
            classes.DeleteTree(key);
            classes.Detach();
        }
        CRegKey machine(HKEY_LOCAL_MACHINE);
        machine.DeleteTree(kUninstallKey);
        machine.Detach();
    }

    std::string Installed(const char* name) const { return m_folder + "\\" + name; }

    // The installation made by Uninstall.exe -install from a package of the built files, and
    // what the settings program adds on request: both servers registered, the autostart value
    // and the resident program's options.
    void LayOutInstallation() {
        ASSERT_TRUE(m_package.Complete());
        {
            CSetupProcess setup;
            ASSERT_TRUE(setup.Start(m_package.File("Uninstall.exe"), "-install"));
            HWND dialog = setup.WaitForInstallDialog();
            ASSERT_NE(dialog, nullptr);
            setup_test::SetFolderField(dialog, ToWide(m_folder));
            setup_test::PostClick(dialog, IDOK);
            EXPECT_EQ(setup.Answer(IDOK),
                      ForRun(L"インストールが完了しました。Corvinaの設定を行って下さい。",
                             L"Installation was completed. Please Settings."));
            ASSERT_TRUE(setup.WaitForExit());
        }
        // The installation ends by starting the settings program; it is closed unchanged.
        std::vector<HWND> sheets;
        ASSERT_TRUE(WaitFor([&] {
            sheets = settings_test::FindDialogs(settings_test::ExpectedSheetTitle());
            return !sheets.empty();
        }));
        for (HWND sheet : sheets) {
            PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
        }
        ASSERT_TRUE(WaitFor([] {
            return settings_test::FindDialogs(settings_test::ExpectedSheetTitle()).empty();
        }));
        ASSERT_TRUE(PathExists(Installed("uninstall.exe")));
        ASSERT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"));

        SetString(HKEY_LOCAL_MACHINE, kRunKey, "CorvinaPlus", Installed("CorvinaPlus.exe"));
        SetString(HKEY_CURRENT_USER, kResidentKey, "FolderOnly", "0");
        ASSERT_TRUE(RegisterServerByLoading(Installed("Corvina.dll").c_str()));
        ASSERT_TRUE(RegisterServerByLoading(Installed("CorvinaBar.dll").c_str()));
        ASSERT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kExtensionClassKey));
        ASSERT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kBandClassKey));
    }

    CPackage m_package;
    static bool s_doubles;
    std::string m_folder;
    std::string m_shortcuts;
};

bool RemovalTest::s_doubles = false;

TEST_F(RemovalTest, FromTheUninstallEntryNothingOfTheSuiteIsLeft) {
    SetString(HKEY_CURRENT_USER, kListKey, "Length", "kept");
    // Every Windows has the keys the servers register below; the servers leave them when
    // they unregister, and a fresh Wine prefix lacks them.
    const std::pair<HKEY, const char*> sharedKeys[] = {
        {HKEY_CLASSES_ROOT, "Directory\\Background\\shellex\\ContextMenuHandlers"},
        {HKEY_LOCAL_MACHINE, kBandToolbarKey},
    };
    for (const auto& shared : sharedKeys) {
        CRegKey key;
        ASSERT_EQ(key.Create(shared.first, shared.second), ERROR_SUCCESS) << shared.second;
    }
    const Entries before = TakeSnapshot();
    LayOutInstallation();
    ASSERT_NE(TakeSnapshot(), before);

    RemovalRun run;
    ASSERT_TRUE(run.Start());
    // The copy runs from the temporary folder, so the installed program is free to go.
    EXPECT_NE(run.CopyPath().find("tmpCorvina"), std::string::npos) << run.CopyPath();
    EXPECT_TRUE(PathExists(run.CopyPath()));
    run.Press(IDOK);
    EXPECT_EQ(run.Answer(IDOK), CompletedText());
    ASSERT_TRUE(run.Ended());

    const Entries after = TakeSnapshot();
    EXPECT_EQ(Missing(after, before), Entries()) << "left behind:\n"
                                                 << Joined(Missing(after, before));
    EXPECT_EQ(Missing(before, after), Entries()) << "removed too:\n"
                                                 << Joined(Missing(before, after));
    EXPECT_FALSE(PathExists(m_folder));
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kListKey, "Length"));

    // The browser window was ended, and the band switched off for a page and for a folder.
    const std::vector<std::string> calls = doubles::Recorded();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "window0.Quit"), calls.end());
    std::vector<std::string> band;
    for (const std::string& call : calls) {
        if (call.compare(0, 12, "ie.Navigate ") == 0 ||
            call.compare(0, 18, "ie.ShowBrowserBar ") == 0) {
            band.push_back(call);
        }
    }
    const std::string hide =
        std::string("ie.ShowBrowserBar vt8=") + kBandClassId + " vt11=0 vt22=1";
    const std::vector<std::string> expected = {"ie.Navigate about:blank vt0= vt0= vt0= vt0= same",
                                               hide, "ie.Navigate C:\\ vt0= vt0= vt0= vt0= same",
                                               hide};
    EXPECT_EQ(band, expected);

    // The copy goes at the next start of Windows.
    ASSERT_TRUE(ScheduledForDeletion(run.CopyPath())) << run.CopyPath();
    EXPECT_EQ(RunAndWait("wineboot.exe -r"), 0);
    EXPECT_TRUE(WaitFor([&] { return !PathExists(run.CopyPath()); })) << run.CopyPath();
    CRegKey list;
    if (list.Open(HKEY_CURRENT_USER, kListKey, KEY_SET_VALUE) == ERROR_SUCCESS) {
        list.DeleteValue("Length");
    }
}

TEST_F(RemovalTest, AReadmeAlreadyGoneNeedsNoRestart) {
    LayOutInstallation();
    ASSERT_TRUE(DeleteFileA(Installed("Readme.txt").c_str()));

    RemovalRun run;
    ASSERT_TRUE(run.Start());
    run.Press(IDOK);
    EXPECT_EQ(run.Answer(IDOK), CompletedText());
    ASSERT_TRUE(run.Ended());
    EXPECT_FALSE(PathExists(m_folder));
    EXPECT_FALSE(ScheduledForDeletion(Installed("Readme.txt")));
    EXPECT_FALSE(ScheduledForDeletion(m_folder));
}

TEST_F(RemovalTest, ShortcutsToTheSuiteGoWhereverTheyAre) {
    LayOutInstallation();
    const std::string programs = ProgramsFolder();
    const std::string startup = SpecialFolder(CSIDL_COMMON_STARTUP);
    const std::string tools = programs + "\\CorvinaTools";
    const std::string shared = programs + "\\CorvinaShared";
    for (const std::string& folder : {tools, shared, startup}) {
        SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr);
    }
    ASSERT_TRUE(CreateShellShortcut(tools + "\\Settings.lnk", Installed("Corvset.exe")));
    ASSERT_TRUE(CreateShellShortcut(shared + "\\Settings.lnk", Installed("Corvset.exe")));
    ASSERT_TRUE(CreateShellShortcut(shared + "\\Notepad.lnk", "C:\\windows\\notepad.exe"));
    ASSERT_TRUE(CreateShellShortcut(startup + "\\Corvina Plus.lnk", Installed("CorvinaPlus.exe")));

    RemovalRun run;
    ASSERT_TRUE(run.Start());
    run.Press(IDOK);
    EXPECT_EQ(run.Answer(IDOK), CompletedText());
    ASSERT_TRUE(run.Ended());

    struct Case {
        std::string path;
        bool exists;
    };
    const Case cases[] = {
        {m_shortcuts, false},
        {tools, false},
        {shared + "\\Settings.lnk", false},
        {shared + "\\Notepad.lnk", true},
        {shared, true},
        {startup + "\\Corvina Plus.lnk", false},
        {startup, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PathExists(c.path), c.exists) << c.path;
    }
    // The resident program was not running; its autostart value goes all the same.
    EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kRunKey, "CorvinaPlus"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kResidentKey));
    DeleteFolderTree(shared);
}

TEST_F(RemovalTest, RunningProgramsAreEnded) {
    LayOutInstallation();
    struct Program {
        const char* file;
        PROCESS_INFORMATION process;
    };
    Program programs[] = {{"CorvinaPlus.exe", {}}, {"Corvset.exe", {}}};
    for (Program& program : programs) {
        std::string line = "\"" + Installed(program.file) + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        ASSERT_TRUE(CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   m_folder.c_str(), &startup, &program.process))
            << program.file;
        CloseHandle(program.process.hThread);
    }
    ASSERT_TRUE(WaitFor([] { return FindWindowA(nullptr, "VLEMORA : CorvinaPlus") != nullptr; }));
    ASSERT_TRUE(WaitFor(
        [] { return !settings_test::FindDialogs(settings_test::ExpectedSheetTitle()).empty(); }));

    RemovalRun run;
    ASSERT_TRUE(run.Start());
    run.Press(IDOK);
    // The removal waits until the processes are gone, so their files go at once.
    const std::wstring text = run.Answer(IDNO);
    EXPECT_EQ(text, CompletedText());
    if (text == RestartQuestionText()) {
        run.Answer(IDOK);
    }
    ASSERT_TRUE(run.Ended());
    for (Program& program : programs) {
        EXPECT_TRUE(ProcessEnded(program.process.hProcess, 30000)) << program.file;
        if (WaitForSingleObject(program.process.hProcess, 0) != WAIT_OBJECT_0) {
            TerminateProcess(program.process.hProcess, 1);
        }
        CloseHandle(program.process.hProcess);
    }
}

TEST_F(RemovalTest, AFileInUseWaitsForTheRestart) {
    LayOutInstallation();
    const std::string readme = Installed("Readme.txt");
    HANDLE held = CreateFileA(readme.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    RemovalRun run;
    ASSERT_TRUE(run.Start());
    run.Press(IDOK);
    // Escape or the close box while the removal runs does not end it half-way.
    ASSERT_NE(run.WaitForBox(), nullptr);
    PostMessageW(run.Dialog(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(run.Answer(IDNO), RestartQuestionText());
    ASSERT_NE(run.WaitForBox(), nullptr);
    EXPECT_TRUE(IsWindowVisible(run.Dialog()));
    EXPECT_EQ(run.Answer(IDOK), RestartLaterText());
    ASSERT_TRUE(run.Ended());
    CloseHandle(held);

    EXPECT_TRUE(ScheduledForDeletion(readme));
    EXPECT_TRUE(ScheduledForDeletion(m_folder));
    EXPECT_FALSE(ScheduledForDeletion(Installed("Corvset.exe")));
    EXPECT_FALSE(PathExists(Installed("Corvset.exe")));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
}

TEST_F(RemovalTest, CancelLeavesTheInstallation) {
    LayOutInstallation();
    const Entries installed = TakeSnapshot();
    Entries files;
    DumpFolder(m_folder, files);

    RemovalRun run;
    ASSERT_TRUE(run.Start());
    run.Press(IDCANCEL);
    ASSERT_TRUE(run.Ended());

    EXPECT_EQ(TakeSnapshot(), installed);
    Entries filesAfter;
    DumpFolder(m_folder, filesAfter);
    EXPECT_EQ(filesAfter, files);
    EXPECT_TRUE(ScheduledForDeletion(run.CopyPath())) << run.CopyPath();
}

std::wstring NotAnInstallationGivenText(const std::string& folder) {
    return ForRun(L"「", L"ERROR : \"") + ToWide(folder) +
           ForRun(L"」はCorvinaのインストール先ではありません。何も削除しませんでした。",
                  L"\" is not an installation of Corvina. Nothing was removed.");
}

std::wstring NotAnInstallationHereText() {
    return ForRun(
        L"このフォルダはCorvinaのインストール先ではありません。何も削除しませんでした。"
        L"\nCorvinaをインストールするには、「Uninstall.exe -install」を実行してください。",
        L"ERROR : This folder is not an installation of Corvina. Nothing was removed.\n"
        L"To install Corvina, run \"Uninstall.exe -install\".");
}

TEST_F(RemovalTest, ANameThatIsNoInstallationIsSaidAndOnlyATemporaryCopySchedulesItself) {
    char temp[MAX_PATH] = {};
    ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
    CScratchFolder scratch("removal");
    const std::string copy = std::string(temp) + "tmpCorvinaFFFFFFF0.tmp";
    const std::string other = scratch.File("tmpCorvinaTest.tmp");
    for (const std::string& program : {copy, other}) {
        ASSERT_TRUE(CopyFileA(m_package.File("Uninstall.exe").c_str(), program.c_str(), FALSE));
    }
    const struct {
        const char* name;
        std::string program;
        std::string argument;
        bool scheduled;
    } cases[] = {
        {"missing folder", copy, "C:\\no such folder of Corvina", true},
        {"a file", copy, other, true},
        {"a folder without the suite", copy, scratch.Folder(), true},
        {"not a temporary copy", other, "C:\\no such folder of Corvina", false},
    };
    for (const auto& c : cases) {
        CSetupProcess run(setup_test::UninstallCaption());
        ASSERT_TRUE(run.Start(c.program, c.argument)) << c.name;
        EXPECT_EQ(run.Answer(IDOK), NotAnInstallationGivenText(c.argument)) << c.name;
        EXPECT_TRUE(run.WaitForExit()) << c.name;
        EXPECT_EQ(ScheduledForDeletion(c.program), c.scheduled) << c.name;
    }
    DeleteFileA(copy.c_str());
}

TEST_F(RemovalTest, StrayArgumentsAndOtherFoldersRemoveNothing) {
    LayOutInstallation();
    const Entries installed = TakeSnapshot();
    Entries files;
    DumpFolder(m_folder, files);
    // A copy of the suite that is not the recorded installation.
    CScratchFolder scratch("removal");
    const std::string elsewhere = scratch.CreateFolder("Corvina");
    for (const char* name : {"Corvset.exe", "uninstall.exe"}) {
        ASSERT_TRUE(CopyFileA(Installed(name).c_str(), (elsewhere + "\\" + name).c_str(), FALSE));
    }
    const std::string parent = m_folder.substr(0, m_folder.rfind('\\'));
    const struct {
        const char* name;
        std::string program;
        std::string arguments;
        std::wstring text;
    } cases[] = {
        // What an unquoted uninstall entry hands the installed program.
        {"rest of an unquoted path", Installed("uninstall.exe"),
         "Files\\Velmora\\Corvina\\uninstall.exe",
         NotAnInstallationGivenText("Files\\Velmora\\Corvina\\uninstall.exe")},
        {"the parent folder", Installed("uninstall.exe"), parent,
         NotAnInstallationGivenText(parent)},
        {"a copy elsewhere", Installed("uninstall.exe"), elsewhere,
         NotAnInstallationGivenText(elsewhere)},
        {"a mode word with more", Installed("uninstall.exe"), "-install x",
         NotAnInstallationGivenText("-install x")},
        {"the package started alone", m_package.File("Uninstall.exe"), "",
         NotAnInstallationHereText()},
        {"a copy elsewhere started alone", elsewhere + "\\uninstall.exe", "",
         NotAnInstallationHereText()},
    };
    const Entries packageBefore = [&] {
        Entries entries;
        DumpFolder(m_package.Path().substr(0, m_package.Path().size() - 1), entries);
        return entries;
    }();
    for (const auto& c : cases) {
        const std::vector<std::wstring> scheduledBefore = ScheduledDeletions();
        const Entries copiesBefore = TemporaryCopies();
        CSetupProcess run(setup_test::UninstallCaption());
        ASSERT_TRUE(run.Start(c.program, c.arguments)) << c.name;
        EXPECT_EQ(run.Answer(IDOK), c.text) << c.name;
        EXPECT_TRUE(run.WaitForExit()) << c.name;
        // Nothing was scheduled, unregistered or deleted, and no copy was started.
        EXPECT_EQ(ScheduledDeletions(), scheduledBefore) << c.name;
        EXPECT_EQ(TemporaryCopies(), copiesBefore) << c.name;
        EXPECT_EQ(TakeSnapshot(), installed) << c.name;
        Entries filesAfter;
        DumpFolder(m_folder, filesAfter);
        EXPECT_EQ(filesAfter, files) << c.name;
        EXPECT_TRUE(PathExists(elsewhere + "\\uninstall.exe")) << c.name;
        Entries packageAfter;
        DumpFolder(m_package.Path().substr(0, m_package.Path().size() - 1), packageAfter);
        EXPECT_EQ(packageAfter, packageBefore) << c.name;
    }
    // A blank after the mode word still installs: over the same version, it asks first.
    CSetupProcess install;
    ASSERT_TRUE(install.Start(m_package.File("Uninstall.exe"), "-install "));
    EXPECT_EQ(install.Answer(IDNO),
              ForRun(L"同じバージョンのCorvinaが既にインストールされています。\n上書きインストール"
                     L"しますか?",
                     L"The new version is installed. Override ?"));
    EXPECT_TRUE(install.WaitForExit());
}

TEST_F(RemovalTest, AMissingServerCostsItsMessageOnly) {
    struct Case {
        const char* missing;
        bool band;
        const char* otherClassKey;
    };
    const Case cases[] = {
        {"Corvina.dll", false, kBandClassKey},
        {"CorvinaBar.dll", true, kExtensionClassKey},
    };
    for (const Case& c : cases) {
        LayOutInstallation();
        // Kept aside, so that its registration can be taken back afterwards.
        CScratchFolder aside("removal");
        const std::string kept = aside.File(c.missing);
        ASSERT_TRUE(MoveFileA(Installed(c.missing).c_str(), kept.c_str()));
        ASSERT_TRUE(doubles::Play("windows=browser\nready=4"));

        RemovalRun run;
        ASSERT_TRUE(run.Start());
        run.Press(IDOK);
        EXPECT_EQ(run.Answer(IDOK), MissingServerText(c.band, Installed(c.missing))) << c.missing;
        EXPECT_EQ(run.Answer(IDOK), CompletedText()) << c.missing;
        ASSERT_TRUE(run.Ended());

        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, c.otherClassKey)) << c.missing;
        EXPECT_FALSE(PathExists(m_folder)) << c.missing;
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey)) << c.missing;
        // Without the band's file its switch-off is skipped too.
        const std::vector<std::string> calls = doubles::Recorded();
        const bool navigated = std::any_of(calls.begin(), calls.end(), [](const std::string& call) {
            return call.compare(0, 12, "ie.Navigate ") == 0;
        });
        EXPECT_EQ(navigated, !c.band) << c.missing;
        UnregisterServerByLoading(kept.c_str());
        RemoveLeftovers();
    }
}

} // namespace
