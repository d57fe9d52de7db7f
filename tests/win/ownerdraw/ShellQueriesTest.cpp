// Shell queries, path parsing, opening items and the path tests, on files of the test's own.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "TestSupport.h"
#include "common/ShellQueries.h"
#include "framework/AnsiWide.h"
#include "framework/ComPtr.h"
#include "framework/Handles.h"

namespace {

class ShellQueriesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override { CoUninitialize(); }

    static std::string CurrentDirectory() {
        char buffer[MAX_PATH * 2] = {};
        GetCurrentDirectoryA(sizeof(buffer), buffer);
        return buffer;
    }

    CScratchFolder m_folder;
};

TEST_F(ShellQueriesTest, LabelAndIconOfAFileAndAFolder) {
    const std::string file = m_folder.CreateTextFile("sample.txt");
    struct Case {
        std::string path;
        std::string labelStart;
    };
    const std::string folderPath = m_folder.Path().substr(0, m_folder.Path().size() - 1);
    const std::string folderName = folderPath.substr(folderPath.rfind('\\') + 1);
    const Case cases[] = {{file, "sample"}, {folderPath, folderName}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        CItemIdList list = ParsePathToItemIdList(c.path.c_str());
        ASSERT_TRUE(list);
        std::string both = "sentinel";
        int bothIcon = -7;
        ASSERT_TRUE(QueryLabelAndIcon(list, &both, &bothIcon));
        EXPECT_EQ(both.rfind(c.labelStart, 0), 0u) << both;
        EXPECT_GE(bothIcon, 0);

        std::string label = "sentinel";
        int icon = -7;
        ASSERT_TRUE(QueryLabel(list, &label));
        ASSERT_TRUE(QueryIconIndex(list, &icon));
        EXPECT_EQ(label, both);
        EXPECT_EQ(icon, bothIcon);
        EXPECT_TRUE(QueryLabelAndIcon(list, nullptr, nullptr));
    }
    // A folder and a text file do not share an icon.
    CItemIdList fileList = ParsePathToItemIdList(file.c_str());
    CItemIdList folderList = ParsePathToItemIdList(folderPath.c_str());
    int fileIcon = -1;
    int folderIcon = -1;
    ASSERT_TRUE(QueryIconIndex(fileList, &fileIcon));
    ASSERT_TRUE(QueryIconIndex(folderList, &folderIcon));
    EXPECT_NE(fileIcon, folderIcon);
}

// A child's name and path asked of its bound folder are what the file-information query and
// SHGetPathFromIDList give for its absolute list: in a folder of our own (a hidden extension,
// a name beyond ASCII, a subfolder), on the desktop and in My Computer (drives, and items
// outside the file system without a path).
TEST_F(ShellQueriesTest, ChildLabelAndPathOfABoundFolderAreTheShells) {
    m_folder.CreateTextFile("sample.txt");
    m_folder.CreateTextFile("no extension");
    m_folder.CreateTextFile("shortcut.lnk"); // its class never shows the extension
    CreateDirectoryA(m_folder.File("sub").c_str(), nullptr);
    CHandle wide(CreateFileW((AnsiToWide(m_folder.Path()) + L"日本語のファイル.txt").c_str(),
                             GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_NE(wide.Get(), INVALID_HANDLE_VALUE);
    wide.Close();

    CComPtr<IShellFolder> desktop;
    ASSERT_TRUE(SUCCEEDED(SHGetDesktopFolder(&desktop)));
    LPITEMIDLIST drivesList = nullptr;
    ASSERT_TRUE(SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &drivesList)));
    CItemIdList drives(drivesList);
    struct Case {
        const char* what;
        CItemIdList folder; // empty: the desktop
        size_t atLeast;
    } cases[] = {
        {"our folder", ParsePathToItemIdList(m_folder.Folder().c_str()), 5},
        {"the desktop", CItemIdList(), 1},
        {"My Computer", std::move(drives), 1},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        CComPtr<IShellFolder> folder;
        if (c.folder) {
            ASSERT_TRUE(
                SUCCEEDED(desktop->BindToObject(c.folder.Get(), nullptr, IID_IShellFolder,
                                                reinterpret_cast<void**>(folder.GetAddressOf()))));
        } else {
            folder = desktop;
        }
        CComPtr<IEnumIDList> items;
        ASSERT_EQ(folder->EnumObjects(nullptr,
                                      SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN,
                                      items.GetAddressOf()),
                  S_OK);
        std::vector<std::string> seen;
        LPITEMIDLIST next = nullptr;
        ULONG fetched = 0;
        while (items->Next(1, &next, &fetched) == S_OK && next) {
            CItemIdList child(next);
            CItemIdList full(ILCombine(c.folder.Get(), child.Get()));
            ASSERT_TRUE(full);
            std::string expected;
            ASSERT_TRUE(QueryLabel(full, &expected));
            std::string label = "sentinel";
            ASSERT_TRUE(QueryChildLabel(folder.Get(), child.Get(), &label));
            EXPECT_EQ(label, expected);
            char path[MAX_PATH] = {};
            const std::string expectedPath = SHGetPathFromIDListA(full, path) ? path : "";
            EXPECT_EQ(QueryChildPath(folder.Get(), child.Get()), expectedPath) << label;
            seen.push_back(label);
        }
        EXPECT_GE(seen.size(), c.atLeast);
        if (c.folder && cases[0].folder.Get() == c.folder.Get()) {
            for (const char* name : {"sample.txt", "no extension", "shortcut", "sub"}) {
                EXPECT_NE(std::find(seen.begin(), seen.end(), name), seen.end()) << name;
            }
        }
    }
    std::string label = "sentinel";
    EXPECT_FALSE(QueryChildLabel(nullptr, cases[0].folder.Get(), &label));
    EXPECT_FALSE(QueryChildLabel(desktop.Get(), nullptr, &label));
    EXPECT_EQ(label, "sentinel");
    EXPECT_EQ(QueryChildPath(nullptr, cases[0].folder.Get()), "");
}

TEST_F(ShellQueriesTest, QueriesOnNoListFailAndWriteNothing) {
    std::string label = "sentinel";
    int icon = -7;
    EXPECT_FALSE(QueryLabelAndIcon(nullptr, &label, &icon));
    EXPECT_FALSE(QueryLabel(nullptr, &label));
    EXPECT_FALSE(QueryIconIndex(nullptr, &icon));
    EXPECT_EQ(label, "sentinel");
    EXPECT_EQ(icon, -7);
}

TEST_F(ShellQueriesTest, PathsBecomeItemIdListsOfTheSameItem) {
    const std::string file = m_folder.CreateTextFile("parsed.txt");
    CItemIdList list = ParsePathToItemIdList(file.c_str());
    ASSERT_TRUE(list);
    char back[MAX_PATH] = {};
    ASSERT_TRUE(SHGetPathFromIDListA(list, back));
    EXPECT_EQ(lstrcmpiA(back, file.c_str()), 0) << back;

    const std::string missing = m_folder.File("missing.txt");
    const std::string tooLong = "C:\\" + std::string(300, 'x');
    const char* failing[] = {nullptr, "", missing.c_str(), tooLong.c_str()};
    for (const char* path : failing) {
        EXPECT_FALSE(ParsePathToItemIdList(path)) << (path ? path : "(null)");
    }
}

TEST_F(ShellQueriesTest, JapaneseNamesReachTheShellIntact) {
    if (!IsJapaneseRun()) {
        GTEST_SKIP() << "Japanese names exist in ANSI only on a code page 932 system";
    }
    ASSERT_EQ(GetACP(), 932u);
    // Wine stores such names only when the host has a matching locale of its own.
    const std::wstring wideFolder(m_folder.Path().begin(), m_folder.Path().end());
    const std::wstring probe = wideFolder + L"\u8868.probe";
    HANDLE probeFile = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probeFile == INVALID_HANDLE_VALUE) {
        GTEST_SKIP() << "the file system here cannot hold Japanese names";
    }
    CloseHandle(probeFile);
    DeleteFileW(probe.c_str());

    const std::string name = ToAnsi(L"表示テスト.txt"); // 表 has a 0x5C trail byte
    ASSERT_EQ(name.size(), 14u);
    const std::string file = m_folder.CreateTextFile(name);
    ASSERT_TRUE(IsExistingFile(file.c_str()));
    CItemIdList list = ParsePathToItemIdList(file.c_str());
    ASSERT_TRUE(list);
    std::string label;
    ASSERT_TRUE(QueryLabel(list, &label));
    EXPECT_EQ(label.rfind(ToAnsi(L"表示テスト"), 0), 0u) << label;
}

TEST_F(ShellQueriesTest, RunItemIdListStartsAProgram) {
    ASSERT_TRUE(IsExistingFile(MarkerProgramPath().c_str())) << MarkerProgramPath();
    const std::string program = m_folder.File("marker.exe");
    ASSERT_TRUE(CopyMarkerProgram(program));
    const std::string marker = program + ".ran";

    CItemIdList list = ParsePathToItemIdList(program.c_str());
    ASSERT_TRUE(list);
    EXPECT_TRUE(RunItemIdList(list));
    EXPECT_TRUE(WaitForFile(marker, 60000)) << "the program never ran";
    // Let it end before the folder is removed.
    for (int i = 0; i < 200 && !DeleteFileA(program.c_str()); ++i) {
        Sleep(50);
    }
}

TEST_F(ShellQueriesTest, RunItemIdListOfAGoneFileFailsQuietly) {
    const std::string file = m_folder.CreateTextFile("gone.exe");
    CItemIdList list = ParsePathToItemIdList(file.c_str());
    ASSERT_TRUE(list);
    ASSERT_TRUE(DeleteFileA(file.c_str()));
    // No error window may appear: a test run without anyone to close it would hang here.
    EXPECT_FALSE(RunItemIdList(list));
    EXPECT_FALSE(RunItemIdList(nullptr));
}

TEST_F(ShellQueriesTest, PathTests) {
    const std::string file = m_folder.CreateTextFile("exists.txt");
    const std::string folder = m_folder.Path();
    const std::string missing = m_folder.File("missing");
    struct Case {
        const char* path;
        BOOL file;
        BOOL folder;
    };
    const Case cases[] = {
        {file.c_str(), TRUE, FALSE}, {folder.c_str(), FALSE, TRUE}, {missing.c_str(), FALSE, FALSE},
        {"C:\\", FALSE, TRUE},       {nullptr, FALSE, FALSE},
    };
    for (const Case& c : cases) {
        const char* shown = c.path ? c.path : "(null)";
        EXPECT_EQ(IsExistingFile(c.path), c.file) << shown;
        EXPECT_EQ(IsExistingFolder(c.path), c.folder) << shown;
    }

    const struct {
        const char* path;
        BOOL root;
    } roots[] = {{"C:\\", TRUE},  {"c:\\", TRUE},   {"C:", FALSE},    {"C:/", FALSE},
                 {"1:\\", FALSE}, {"CC:\\", FALSE}, {"C:\\x", FALSE}, {nullptr, FALSE}};
    for (const auto& r : roots) {
        EXPECT_EQ(IsDriveRoot(r.path), r.root) << (r.path ? r.path : "(null)");
    }
}

// The process's error mode, read without changing it (the function is not declared for the
// system version this code targets).
UINT ProcessErrorMode() {
    using GetErrorModeFunc = UINT(WINAPI*)();
    static const auto get = reinterpret_cast<GetErrorModeFunc>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetErrorMode")));
    return get ? get() : 0;
}

// A letter no drive of this system has, or 0.
char MissingDriveLetter() {
    const DWORD drives = GetLogicalDrives();
    for (char letter = 'Z'; letter >= 'D'; --letter) {
        if (!(drives & (1u << (letter - 'A')))) {
            return letter;
        }
    }
    return 0;
}

TEST_F(ShellQueriesTest, DriveReadyLeavesCurrentDirectoryAndErrorModeAlone) {
    ASSERT_TRUE(SetCurrentDirectoryA(m_folder.Path().c_str()));
    const std::string before = CurrentDirectory();
    const char letter = MissingDriveLetter();
    ASSERT_NE(letter, 0);
    const std::string missingDrive = std::string(1, letter) + ":\\";
    const std::string missing = m_folder.File("missing");
    // Only the not-ready error makes a drive "not ready": a drive letter that is not there, or
    // a folder that is not there, still counts as ready.
    const struct {
        const char* path;
        BOOL ready;
    } cases[] = {{"C:\\", TRUE},
                 {m_folder.Path().c_str(), TRUE},
                 {missing.c_str(), TRUE},
                 {missingDrive.c_str(), TRUE},
                 {nullptr, FALSE}};
    const UINT modes[] = {0, SEM_NOOPENFILEERRORBOX,
                          SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX};
    ASSERT_NE(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetErrorMode"), nullptr);
    const UINT original = ProcessErrorMode();
    for (UINT mode : modes) {
        for (const auto& c : cases) {
            const char* shown = c.path ? c.path : "(null)";
            SetErrorMode(mode);
            EXPECT_EQ(IsDriveReady(c.path), c.ready) << shown;
            EXPECT_EQ(ProcessErrorMode(), mode) << shown;
            EXPECT_EQ(CurrentDirectory(), before) << shown;
        }
    }
    SetErrorMode(original);
    SetCurrentDirectoryA("C:\\");
}

TEST_F(ShellQueriesTest, DriveProbesNeitherMoveAnotherThreadsDirectoryNorShowErrorBoxes) {
    // The current directory and the error mode belong to the whole process: another thread
    // must find its own directory whenever it looks, and must see the critical-error box off
    // while a probe runs (a drive without its medium would otherwise ask for one).
    CScratchFolder other;
    const std::string directories[] = {m_folder.Path(), other.Path()};
    const UINT original = ProcessErrorMode();
    SetErrorMode(0);
    volatile LONG done = 0;
    int moved = 0;
    bool sawBoxesOff = false;
    std::thread watcher([&] {
        char buffer[MAX_PATH * 2] = {};
        for (int i = 0; i < 200000 && (i < 2000 || !sawBoxesOff); ++i) {
            const std::string& mine = directories[i % 2];
            SetCurrentDirectoryA(mine.c_str());
            GetCurrentDirectoryA(sizeof(buffer), buffer);
            if (std::string(buffer) + "\\" != mine && std::string(buffer) != mine) {
                ++moved;
            }
            sawBoxesOff |= (ProcessErrorMode() & SEM_FAILCRITICALERRORS) != 0;
        }
        InterlockedExchange(&done, 1);
    });
    int probes = 0;
    while (InterlockedCompareExchange(&done, 0, 0) == 0) {
        EXPECT_TRUE(IsDriveReady("C:\\"));
        ++probes;
    }
    watcher.join();
    SetErrorMode(original);
    SetCurrentDirectoryA("C:\\");
    EXPECT_GT(probes, 0);
    EXPECT_EQ(moved, 0);
    EXPECT_TRUE(sawBoxesOff);
}

} // namespace
