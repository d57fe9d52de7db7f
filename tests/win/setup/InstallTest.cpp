// Uninstall.exe -install as a separate process in a prefix of its own, driven through its
// dialog and message boxes: what it copies, links and records, which folders it takes, how
// it meets an installed version, files in use and an incomplete package.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SetupTestSupport.h"
#include "TestSupport.h"
#include "common/WindowMessages.h"
#include "framework/CRegKey.h"
#include "framework/ComPtr.h"

using setup_test::CPackage;
using setup_test::CSetupProcess;
using setup_test::kRunKey;
using setup_test::kUninstallKey;

namespace {

const char kExtensionClass[] = "{5A1C7E20-3B9D-4F62-8E41-0C7D2B9F6A13}";
const char* const kSixFiles[] = {"Readme.txt",     "Corvset.exe",     "Corvina.dll",
                                 "CorvinaBar.dll", "CorvinaPlus.exe", "Uninstall.exe"};
constexpr int kFolderField = 1002;
constexpr int kBrowseButton = 1003;
constexpr int kInfoText = 1004;

std::wstring Completed() {
    return ForRun(L"インストールが完了しました。Corvinaの設定を行って下さい。",
                  L"Installation was completed. Please Settings.");
}
std::wstring SameVersion() {
    return ForRun(
        L"同じバージョンのCorvinaが既にインストールされています。\n上書きインストールしますか?",
        L"The new version is installed. Override ?");
}

// The system's description of an error on a line of its own, as the failure messages end.
std::wstring ReasonLine(DWORD error) {
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring line = text ? text : L"";
    LocalFree(text);
    while (!line.empty() && (line.back() == L'\r' || line.back() == L'\n' || line.back() == L' ')) {
        line.pop_back();
    }
    return line.empty() ? line : L"\n" + line;
}
std::wstring CopyFailed(const std::string& path, DWORD error) {
    const std::wstring file = ToWide(path);
    return ForRun(
               (L"「" + file + L"」をコピーできませんでした。インストールを中止しました。").c_str(),
               (L"ERROR : \"" + file + L"\" could not be copied. The installation was stopped.")
                   .c_str()) +
           ReasonLine(error);
}
std::wstring FolderUnusable(const std::string& path) {
    const std::wstring folder = ToWide(path);
    return ForRun((L"インストール先「" + folder + L"」にインストールできませんでした。").c_str(),
                  (L"ERROR : Corvina could not be installed in \"" + folder + L"\".").c_str());
}

std::string SpecialFolder(int csidl) {
    char path[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE);
    return path;
}

std::string ShortcutFolder() {
    return SpecialFolder(CSIDL_COMMON_PROGRAMS) + "\\Corvina\\";
}

std::string SettingsShortcut() {
    return ShortcutFolder() + ToAnsi(ForRun(L"Corvinaの設定.lnk", L"Setting Corivna.lnk"));
}

std::string ShortcutTarget(const std::string& link) {
    CComPtr<IShellLinkW> shellLink;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(shellLink.GetAddressOf())))) {
        return "(no shell link)";
    }
    CComPtr<IPersistFile> file;
    if (FAILED(shellLink.As(&file)) || FAILED(file->Load(ToWide(link).c_str(), STGM_READ))) {
        return "(not loaded)";
    }
    wchar_t target[MAX_PATH] = {};
    shellLink->GetPath(target, MAX_PATH, nullptr, 0);
    return ToAnsi(target);
}

// The value's text and its stored size, or size 0 when it is missing.
struct StoredText {
    std::string text;
    DWORD size = 0;
};

StoredText ReadMachineValue(const char* key, const char* name) {
    StoredText stored;
    CRegKey opened;
    if (opened.Open(HKEY_LOCAL_MACHINE, key, KEY_READ) != ERROR_SUCCESS) {
        return stored;
    }
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(opened, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return stored;
    }
    std::vector<char> data(size + 1, '\0');
    RegQueryValueExA(opened, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    stored.size = size;
    stored.text = data.data();
    return stored;
}

bool MachineValueExists(const char* key, const char* name) {
    CRegKey opened;
    return opened.Open(HKEY_LOCAL_MACHINE, key, KEY_READ) == ERROR_SUCCESS &&
           RegQueryValueExA(opened, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::string FileText(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return "(missing)";
    }
    char buffer[256] = {};
    DWORD read = 0;
    ReadFile(file, buffer, sizeof(buffer) - 1, &read, nullptr);
    CloseHandle(file);
    return std::string(buffer, read);
}

void WriteFileText(const std::string& path, const std::string& text) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

// The settings sheet that the installation starts at its end; closed again.
bool CloseStartedSettingsSheet() {
    std::vector<HWND> sheets;
    if (!WaitFor([&] {
            sheets = settings_test::FindDialogs(settings_test::ExpectedSheetTitle());
            return !sheets.empty();
        })) {
        return false;
    }
    for (HWND sheet : sheets) {
        PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
    }
    return WaitFor(
        [] { return settings_test::FindDialogs(settings_test::ExpectedSheetTitle()).empty(); });
}

class InstallTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        m_comInitialised = true;
        ASSERT_TRUE(m_package.Complete());
        ClearInstallation();
    }
    void TearDown() override {
        if (m_comInitialised) {
            CoUninitialize();
        }
    }

    // Every case starts without an installation to find.
    static void ClearInstallation() {
        CRegKey uninstall;
        if (uninstall.Open(HKEY_LOCAL_MACHINE,
                           "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
                           KEY_ALL_ACCESS) == ERROR_SUCCESS) {
            uninstall.DeleteTree("Corvina");
        }
        CRegKey classes;
        if (classes.Open(HKEY_CLASSES_ROOT, "CLSID", KEY_ALL_ACCESS) == ERROR_SUCCESS) {
            classes.DeleteTree(kExtensionClass);
        }
        CRegKey run;
        if (run.Open(HKEY_LOCAL_MACHINE, kRunKey, KEY_ALL_ACCESS) == ERROR_SUCCESS) {
            run.DeleteValue("CorvinaPlusOnce");
        }
        DeleteFolderTree(ShortcutFolder().substr(0, ShortcutFolder().size() - 1));
    }

    std::string Program() const { return m_package.File("Uninstall.exe"); }

    // Installs into typed by the OK button and answers the completion message.
    void InstallWithOk(const std::string& typed) {
        CSetupProcess setup;
        ASSERT_TRUE(setup.Start(Program(), "-install"));
        HWND dialog = setup.WaitForInstallDialog();
        ASSERT_NE(dialog, nullptr);
        setup_test::SetFolderField(dialog, ToWide(typed));
        setup_test::PostClick(dialog, IDOK);
        EXPECT_EQ(setup.Answer(IDOK), Completed());
        EXPECT_TRUE(setup.WaitForExit());
        EXPECT_TRUE(CloseStartedSettingsSheet());
    }

    void ExpectInstalledIn(const std::string& folder) {
        for (const char* name : kSixFiles) {
            EXPECT_EQ(FileText(folder + "\\" + name).substr(0, 64),
                      FileText(m_package.File(name)).substr(0, 64))
                << name;
        }
        EXPECT_EQ(ShortcutTarget(ShortcutFolder() + "Corvina Plus.lnk"),
                  folder + "\\CorvinaPlus.exe");
        EXPECT_EQ(ShortcutTarget(SettingsShortcut()), folder + "\\Corvset.exe");
        const struct {
            const char* name;
            std::string data;
        } values[] = {
            {"DisplayName", "Corvina 2.03"},
            {"DisplayIcon", folder + "\\uninstall.exe"},
            {"UninstallString", "\"" + folder + "\\uninstall.exe\""},
        };
        // The system reads these: each is stored with its terminating zero.
        for (const auto& value : values) {
            const StoredText stored = ReadMachineValue(kUninstallKey, value.name);
            EXPECT_EQ(stored.text, value.data) << value.name;
            EXPECT_EQ(stored.size, value.data.size() + 1) << value.name;
        }
        EXPECT_FALSE(MachineValueExists(kRunKey, "CorvinaPlusOnce"));
    }

    // The dialog shows the folder of an installation found and read-only; OK installs there.
    void InstallIntoTheFoundFolder(const std::string& folder);

    CPackage m_package;
    CScratchFolder m_scratch{"target"};
    bool m_comInitialised = false;
};

TEST_F(InstallTest, InstallsIntoTheFolderWithTheProductNameOnce) {
    const struct {
        std::string typed;
        std::string installed;
    } cases[] = {
        {m_scratch.Path() + "Tools\\corvina", m_scratch.Path() + "Tools\\corvina"},
        {m_scratch.Path() + "Apps", m_scratch.Path() + "Apps\\Corvina"},
        {"C:\\", "C:\\Corvina"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        ClearInstallation();
        InstallWithOk(c.typed);
        ExpectInstalledIn(c.installed);
    }
}

TEST_F(InstallTest, RefusedFoldersKeepTheDialogOpenAndCreateNothing) {
    char missing[] = "?:\\Corvina";
    const DWORD drives = GetLogicalDrives();
    for (int letter = 25; letter >= 0; --letter) {
        if (!(drives & (1u << letter))) {
            missing[0] = static_cast<char>('A' + letter);
            break;
        }
    }
    ASSERT_NE(missing[0], '?');
    const std::string cases[] = {"relative\\Corvina", m_scratch.Path() + "a?b",
                                 m_scratch.Path() + "a*", missing, "C:"};
    // A relative folder would be made in the program's current folder.
    CSetupProcess setup;
    ASSERT_TRUE(setup.Start(Program(), "-install", m_scratch.Folder()));
    HWND dialog = setup.WaitForInstallDialog();
    ASSERT_NE(dialog, nullptr);
    for (const auto& typed : cases) {
        SCOPED_TRACE(typed);
        setup_test::SetFolderField(dialog, ToWide(typed));
        // Nothing is asked for a refused folder, so the click comes back once the steps are
        // done.
        DWORD_PTR ignored = 0;
        ASSERT_TRUE(SendMessageTimeoutW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0, SMTO_NORMAL,
                                        60000, &ignored));
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDCANCEL)));
        EXPECT_EQ(setup.WaitForMessageBox(500), nullptr);
        EXPECT_FALSE(FileExists(m_scratch.Path() + "relative"));
        EXPECT_FALSE(MachineValueExists(kUninstallKey, "UninstallString"));
    }
    setup_test::PostClick(dialog, IDCANCEL);
    EXPECT_TRUE(setup.WaitForExit());
    EXPECT_FALSE(MachineValueExists(kUninstallKey, "UninstallString"));
    EXPECT_FALSE(FileExists(ShortcutFolder() + "Corvina Plus.lnk"));
}

TEST_F(InstallTest, AnInstalledVersionDecidesWhetherTheDialogWaits) {
    const std::string folder = m_scratch.Path() + "Corvina";
    InstallWithOk(folder);
    const std::string readme = folder + "\\Readme.txt";
    const std::string packageReadme = FileText(m_package.File("Readme.txt"));
    enum class Then { ClosesAlone, ClosesAfterInstalling, Waits };
    const struct {
        const char* name;
        WORD version[4];
        const wchar_t* japanese;
        const wchar_t* english;
        int answer;
        Then then;
    } cases[] = {
        {"newer installed",
         {9, 0, 0, 0},
         L"インストール元よりも新しいバージョンのCorvinaがインストールされています。",
         L"The new version is installed.",
         IDOK,
         Then::ClosesAlone},
        {"same, declined", {2, 3, 0, 34}, nullptr, nullptr, IDNO, Then::ClosesAlone},
        {"same, accepted", {2, 3, 0, 34}, nullptr, nullptr, IDYES, Then::ClosesAfterInstalling},
        {"older installed", {2, 3, 0, 33}, nullptr, nullptr, 0, Then::Waits},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(setup_test::SetFileVersion(folder + "\\Uninstall.exe", c.version[0],
                                               c.version[1], c.version[2], c.version[3]));
        WriteFileText(readme, "installed before");
        CSetupProcess setup;
        ASSERT_TRUE(setup.Start(Program(), "-install"));
        if (c.then == Then::Waits) {
            HWND dialog = setup.WaitForInstallDialog();
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(ToAnsi(setup_test::TextOf(GetDlgItem(dialog, kFolderField))), folder);
            setup_test::PostClick(dialog, IDCANCEL);
            EXPECT_TRUE(setup.WaitForExit());
            EXPECT_EQ(FileText(readme), "installed before");
            continue;
        }
        const std::wstring expected = c.japanese ? ForRun(c.japanese, c.english) : SameVersion();
        EXPECT_EQ(setup.Answer(c.answer), expected);
        if (c.then == Then::ClosesAfterInstalling) {
            EXPECT_EQ(setup.Answer(IDOK), Completed());
            EXPECT_TRUE(setup.WaitForExit());
            EXPECT_TRUE(CloseStartedSettingsSheet());
            EXPECT_EQ(FileText(readme), packageReadme);
        } else {
            EXPECT_TRUE(setup.WaitForExit());
            EXPECT_EQ(FileText(readme), "installed before");
        }
        // The installation dialog never showed.
        EXPECT_EQ(setup.WaitForInstallDialog(0), nullptr);
    }
}

TEST_F(InstallTest, AnUninstallEntryAloneFixesTheFolder) {
    // The entry names an Uninstall.exe that is not there: the installed version is 0.0.0.0.
    // Older installations stored the program bare, newer ones quoted.
    for (const bool quoted : {false, true}) {
        const std::string folder = m_scratch.CreateFolder(quoted ? "Found quoted" : "Found bare");
        const std::string program = folder + "\\uninstall.exe";
        const std::string command = quoted ? "\"" + program + "\"" : program;
        SCOPED_TRACE(command);
        ClearInstallation();
        CRegKey entry;
        ASSERT_EQ(entry.Create(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_ALL_ACCESS), ERROR_SUCCESS);
        ASSERT_EQ(entry.SetString("UninstallString", command), ERROR_SUCCESS);
        entry.Close();
        InstallIntoTheFoundFolder(folder);
    }
}

void InstallTest::InstallIntoTheFoundFolder(const std::string& folder) {
    CSetupProcess setup;
    ASSERT_TRUE(setup.Start(Program(), "-install"));
    HWND dialog = setup.WaitForInstallDialog();
    ASSERT_NE(dialog, nullptr);
    HWND field = GetDlgItem(dialog, kFolderField);
    EXPECT_EQ(ToAnsi(setup_test::TextOf(field)), folder);
    EXPECT_NE(GetWindowLongPtrW(field, GWL_STYLE) & ES_READONLY, 0);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, kBrowseButton)));
    EXPECT_EQ(setup_test::TextOf(GetDlgItem(dialog, kInfoText)),
              ForRun(L"古いバージョンのCorvinaが見つかりました。\n上書きインストールを行います。",
                     L"Corvina of an old version was found. Overwrite installation is "
                     L"performed."));
    setup_test::PostClick(dialog, IDOK);
    EXPECT_EQ(setup.Answer(IDOK), Completed());
    EXPECT_TRUE(setup.WaitForExit());
    EXPECT_TRUE(CloseStartedSettingsSheet());
    // Found, not Found\Corvina.
    ExpectInstalledIn(folder);
}

TEST_F(InstallTest, AFileInUseIsReplacedAtTheNextStart) {
    const std::string folder = m_scratch.Path() + "Corvina";
    InstallWithOk(folder);
    const std::string target = folder + "\\Readme.txt";
    HANDLE held = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    CSetupProcess setup;
    ASSERT_TRUE(setup.Start(Program(), "-install"));
    EXPECT_EQ(setup.Answer(IDYES), SameVersion());
    EXPECT_EQ(setup.Answer(IDNO),
              ForRun(L"インストールを完了するには、Windowsを再起動する必要があります。\n今すぐ再"
                     L"起動しますか?",
                     L"In order to complete installation, it is necessary to reboot Windows.\n"
                     L"reboot computer now ?"));
    EXPECT_EQ(setup.Answer(IDOK),
              ForRun(L"いくつかのファイルはWindowsが使用しているため、最新のファイルを有効にするに"
                     L"は、Windowsの再起動が必要です。",
                     L"In order to complete installation, it is necessary to reboot Windows. "
                     L"Please reboot manually."));
    EXPECT_TRUE(setup.WaitForExit());
    CloseHandle(held);

    EXPECT_TRUE(FileExists(target + ".1"));
    CRegKey session;
    ASSERT_EQ(
        session.Open(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager"),
        ERROR_SUCCESS);
    std::vector<BYTE> pending;
    ASSERT_EQ(session.QueryBinary("PendingFileRenameOperations", pending), ERROR_SUCCESS);
    std::string operations(pending.begin(), pending.end());
    for (char& c : operations) {
        c = c == '\0' ? '|' : c;
    }
    EXPECT_NE(operations.find(target + ".1"), std::string::npos) << operations;
    const StoredText once = ReadMachineValue(kRunKey, "CorvinaPlusOnce");
    EXPECT_EQ(once.text, folder + "\\Corvset.exe");
    EXPECT_EQ(once.size, once.text.size() + 1);
    // No settings sheet before the restart.
    EXPECT_TRUE(settings_test::FindDialogs(settings_test::ExpectedSheetTitle()).empty());
}

TEST_F(InstallTest, RunningProgramsOfTheSuiteAreEndedFirst) {
    const std::string folder = m_scratch.Path() + "Corvina";
    InstallWithOk(folder);
    settings_test::SettingsProcess sheet(folder + "\\Corvset.exe");
    ASSERT_TRUE(sheet.Start());
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION resident = {};
    std::string line = "\"" + folder + "\\CorvinaPlus.exe\"";
    ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               folder.c_str(), &startup, &resident));
    EXPECT_TRUE(WaitFor([] { return FindWindowA(nullptr, kResidentFrameTitle) != nullptr; }));
    HANDLE sheetProcess = OpenProcess(SYNCHRONIZE, FALSE, sheet.Id());
    ASSERT_NE(sheetProcess, nullptr);

    CSetupProcess setup;
    ASSERT_TRUE(setup.Start(Program(), "-install"));
    EXPECT_EQ(setup.Answer(IDYES), SameVersion());
    // Both programs are gone once the installation has copied the files.
    EXPECT_EQ(WaitForSingleObject(resident.hProcess, 60000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(sheetProcess, 60000), WAIT_OBJECT_0);
    // The installation waits until the programs are gone, so their files are copied at once.
    const std::wstring last =
        setup.Answer([](const std::wstring& text) { return text == Completed() ? IDOK : IDNO; });
    EXPECT_EQ(last, Completed());
    if (last == Completed()) {
        EXPECT_TRUE(CloseStartedSettingsSheet());
    } else {
        setup.Answer(IDOK);
    }
    EXPECT_TRUE(setup.WaitForExit());
    CloseHandle(sheetProcess);
    if (WaitForSingleObject(resident.hProcess, 0) != WAIT_OBJECT_0) {
        TerminateProcess(resident.hProcess, 1);
    }
    CloseHandle(resident.hThread);
    CloseHandle(resident.hProcess);
}

TEST_F(InstallTest, AFailedCopyIsReportedAndNothingClaimsTheInstallation) {
    const struct {
        const char* blocked; // made a folder where the installation writes a file
        const char* held;    // made a file and held open without sharing
        const char* named;   // the file the message names
        const char* after;   // a package file after it, never copied
    } cases[] = {
        {"Corvina.dll", nullptr, "Corvina.dll", "CorvinaBar.dll"},
        // In use, and its side file cannot be written.
        {"Readme.txt.1", "Readme.txt", "Readme.txt.1", "Corvset.exe"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.named);
        ClearInstallation();
        const std::string folder =
            m_scratch.CreateFolder("Fresh" + std::to_string(++n)) + "\\Corvina";
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA((folder + "\\" + c.blocked).c_str(), nullptr));
        HANDLE held = INVALID_HANDLE_VALUE;
        if (c.held) {
            WriteFileText(folder + "\\" + c.held, "in use");
            held = CreateFileA((folder + "\\" + c.held).c_str(), GENERIC_READ, 0, nullptr,
                               OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(held, INVALID_HANDLE_VALUE);
        }
        CSetupProcess setup;
        ASSERT_TRUE(setup.Start(Program(), "-install"));
        HWND dialog = setup.WaitForInstallDialog();
        ASSERT_NE(dialog, nullptr);
        setup_test::SetFolderField(dialog, ToWide(folder));
        setup_test::PostClick(dialog, IDOK);
        EXPECT_EQ(setup.Answer(IDOK), CopyFailed(folder + "\\" + c.named, ERROR_ACCESS_DENIED));
        // The dialog waits again, for another folder or for Cancel.
        EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE; }));
        setup_test::PostClick(dialog, IDCANCEL);
        EXPECT_TRUE(setup.WaitForExit());
        if (held != INVALID_HANDLE_VALUE) {
            CloseHandle(held);
        }
        EXPECT_FALSE(FileExists(folder + "\\" + c.after));
        EXPECT_FALSE(MachineValueExists(kUninstallKey, "UninstallString"));
        EXPECT_FALSE(MachineValueExists(kRunKey, "CorvinaPlusOnce"));
        EXPECT_FALSE(FileExists(ShortcutFolder() + "Corvina Plus.lnk"));
        EXPECT_FALSE(FileExists(SettingsShortcut()));
    }
}

TEST_F(InstallTest, AReinstallationWhoseStepsFailSaysSo) {
    const std::string folder = m_scratch.Path() + "Corvina";
    InstallWithOk(folder);
    const std::string bar = folder + "\\CorvinaBar.dll";
    ASSERT_TRUE(DeleteFileA(bar.c_str()));
    ASSERT_TRUE(CreateDirectoryA(bar.c_str(), nullptr));
    // The same installation recorded in a form the folder check refuses.
    const std::string longForm = "\\\\?\\" + folder;
    const struct {
        std::string entry; // the uninstall entry's program
        std::wstring message;
    } cases[] = {
        {"\"" + folder + "\\uninstall.exe\"", CopyFailed(bar, ERROR_ACCESS_DENIED)},
        {longForm + "\\uninstall.exe", FolderUnusable(longForm)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        CRegKey entry;
        ASSERT_EQ(entry.Create(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_ALL_ACCESS), ERROR_SUCCESS);
        ASSERT_EQ(entry.SetString("UninstallString", c.entry), ERROR_SUCCESS);
        entry.Close();
        CSetupProcess setup;
        ASSERT_TRUE(setup.Start(Program(), "-install"));
        EXPECT_EQ(setup.Answer(IDYES), SameVersion());
        EXPECT_EQ(setup.Answer(IDOK), c.message);
        EXPECT_TRUE(setup.WaitForExit());
        EXPECT_FALSE(FileExists(bar + ".1"));
        EXPECT_FALSE(MachineValueExists(kRunKey, "CorvinaPlusOnce"));
    }
}

TEST_F(InstallTest, AMissingPackageFileIsReportedAndNothingIsInstalled) {
    ASSERT_TRUE(DeleteFileA(m_package.File("CorvinaBar.dll").c_str()));
    CSetupProcess setup;
    ASSERT_TRUE(setup.Start(Program(), "-install"));
    EXPECT_EQ(setup.Answer(IDOK), ForRun(L"インストールに必要なファイルが不足しています。",
                                         L"Files required for installation are insufficient."));
    EXPECT_TRUE(setup.WaitForExit());
    EXPECT_FALSE(MachineValueExists(kUninstallKey, "UninstallString"));
    EXPECT_FALSE(FileExists(ShortcutFolder() + "Corvina Plus.lnk"));
}

} // namespace
