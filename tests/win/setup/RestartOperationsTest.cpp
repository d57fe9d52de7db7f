// Scheduling for the next start: side and temporary copy names, WININIT.INI edited the
// 95/98/Me way in a file of the test's own, and the system's delayed moves, recorded and then
// carried out by Wine's restart processing (this program runs in a throwaway prefix).
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "framework/CRegKey.h"
#include "framework/Handles.h"
#include "setup/FileRules.h"
#include "setup/RestartOperations.h"

namespace {

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

std::string ShortForm(const std::string& path) {
    char buffer[MAX_PATH] = {};
    const DWORD length = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::string() : std::string(buffer, length);
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(SideNames, FirstFreeFileNameFoldersDoNotCount) {
    const struct {
        const char* what;
        std::vector<std::string> files;
        std::vector<std::string> folders;
        std::string expected;
    } cases[] = {
        {"none present", {}, {}, ".1"},
        {"X.1 and X.2 files", {".1", ".2"}, {}, ".3"},
        {"folder X.1, file X.2", {".2"}, {".1"}, ".1"},
        {"X.1 to X.3 with a gap at 4", {".1", ".2", ".3", ".5"}, {}, ".4"},
    };
    for (const auto& c : cases) {
        CScratchFolder place("side");
        const std::string path = place.CreateTextFile("Corvina.dll");
        for (const std::string& suffix : c.files) {
            place.CreateTextFile("Corvina.dll" + suffix);
        }
        for (const std::string& suffix : c.folders) {
            place.CreateFolder("Corvina.dll" + suffix);
        }
        std::string name = "sentinel";
        EXPECT_TRUE(FindSideFileName(path.c_str(), &name)) << c.what;
        EXPECT_EQ(name, path + c.expected) << c.what;
    }
}

TEST(SideNames, TemporaryCopyNamesCountInHexadecimal) {
    CScratchFolder scratch("tempnames");
    std::string name;
    ASSERT_TRUE(FindTemporaryCopyName(scratch.Path().c_str(), &name));
    EXPECT_EQ(name, scratch.Path() + "tmpCorvina00000000.tmp");
    EXPECT_TRUE(FindTemporaryCopyName(scratch.Folder().c_str(), &name));
    EXPECT_EQ(name, scratch.Path() + "tmpCorvina00000000.tmp");

    scratch.CreateTextFile("tmpCorvina00000000.tmp");
    scratch.CreateFolder("tmpCorvina00000001.tmp");
    EXPECT_TRUE(FindTemporaryCopyName(scratch.Path().c_str(), &name));
    EXPECT_EQ(name, scratch.Path() + "tmpCorvina00000001.tmp");
    for (int i = 1; i <= 10; ++i) {
        char file[32];
        wsprintfA(file, "tmpCorvina%08lX.tmp", static_cast<unsigned long>(i));
        RemoveDirectoryA(scratch.File(file).c_str());
        scratch.CreateTextFile(file);
    }
    EXPECT_TRUE(FindTemporaryCopyName(scratch.Path().c_str(), &name));
    EXPECT_EQ(name, scratch.Path() + "tmpCorvina0000000B.tmp");

    // In the system's temporary folder.
    char temp[MAX_PATH + 1] = {};
    ASSERT_NE(GetTempPathA(MAX_PATH + 1, temp), 0u);
    ASSERT_TRUE(FindTemporaryCopyName(&name));
    EXPECT_EQ(name.compare(0, strlen(temp), temp), 0) << name;
    EXPECT_EQ(name.size(), strlen(temp) + std::string("tmpCorvina00000000.tmp").size()) << name;
    EXPECT_TRUE(EndsWith(name, ".tmp")) << name;
    EXPECT_FALSE(FileExistsAt(name.c_str())) << name;
}

// WININIT.INI edited the 95/98/Me way, in the test's own file.
class WininitFile : public ::testing::Test {
protected:
    CScratchFolder m_scratch{"wininit"};
    const std::string m_ini = m_scratch.File("WININIT.INI");
    // Long names, so that their short forms differ.
    const std::string m_inUse = m_scratch.CreateTextFile("Corvina Extension Library.dll");
    const std::string m_newCopy = m_scratch.CreateTextFile("Corvina Extension Library.dll.1");
    const std::string m_gone = m_scratch.CreateTextFile(ToAnsi(
        ForRun(L"\u8868\u793a\u7528\u306e\u30bd\u30d5\u30c8.exe", L"Uninstall program.exe")));

    static constexpr const char* kOtherSections =
        "[boot]\r\nshell=Explorer.exe\r\n[rename]\r\nC:\\OTHER\\APP.EXE=C:\\OTHER\\APP.NEW\r\n"
        "[386Enh]\r\nNUL=C:\\KEEP.ME\r\n";

    void SetUp() override {
        for (const std::string* path : {&m_inUse, &m_newCopy, &m_gone}) {
            ASSERT_NE(ShortForm(*path), *path) << *path;
        }
    }
};

TEST_F(WininitFile, EntriesUnderTheHeaderOtherSectionsAndProgramsKept) {
    const std::string del = ShortForm(m_gone);
    const std::string src = ShortForm(m_newCopy);
    const std::string dst = ShortForm(m_inUse);
    const struct {
        const char* what;
        std::string before; // "-": no file
        bool replace;
        std::string after;
    } cases[] = {
        {"no file: created", "-", false, "[rename]\r\nNUL=" + del + "\r\n"},
        {"no file, replacement: no second line", "-", true,
         "[rename]\r\n" + dst + "=" + src + "\r\n"},
        {"empty file", "", false, "[rename]\r\nNUL=" + del + "\r\n"},
        {"other sections and entries kept", kOtherSections, false,
         "[boot]\r\nshell=Explorer.exe\r\n[rename]\r\nNUL=" + del +
             "\r\nC:\\OTHER\\APP.EXE=C:\\OTHER\\APP.NEW\r\n[386Enh]\r\nNUL=C:\\KEEP.ME\r\n"},
        {"replacement with its second line", kOtherSections, true,
         "[boot]\r\nshell=Explorer.exe\r\n[rename]\r\n" + dst + "=" + src + "\r\nNUL=" + src +
             "\r\nC:\\OTHER\\APP.EXE=C:\\OTHER\\APP.NEW\r\n[386Enh]\r\nNUL=C:\\KEEP.ME\r\n"},
        {"older entries for the same files dropped",
         "[Rename]\nNUL=" + del + "\n" + dst + "=C:\\OLDER.DLL\nNUL=" + dst + "\n", true,
         "[Rename]\r\n" + dst + "=" + src + "\r\nNUL=" + src + "\r\nNUL=" + del + "\r\n"},
        {"no section: appended", "[boot]\r\nx=1", false,
         "[boot]\r\nx=1\r\n[rename]\r\nNUL=" + del + "\r\n"},
    };
    for (const auto& c : cases) {
        DeleteFileA(m_ini.c_str());
        if (c.before != "-") {
            Write(m_ini, c.before);
        }
        if (c.replace) {
            EXPECT_TRUE(ReplaceOnRestart(m_newCopy.c_str(), m_inUse.c_str(),
                                         RestartPlatform::Windows9x, m_ini.c_str()));
        } else {
            EXPECT_TRUE(DeleteOnRestart(m_gone.c_str(), RestartPlatform::Windows9x, m_ini.c_str()));
        }
        EXPECT_EQ(Contents(m_ini), c.after) << c.what;
        // Nothing is left beside it.
        EXPECT_FALSE(FileExists(WininitNewFilePath(m_ini.c_str()))) << c.what;
        EXPECT_FALSE(FileExists(WininitBackupFilePath(m_ini.c_str()))) << c.what;
        // The schedules did not touch the files themselves.
        EXPECT_TRUE(FileExistsAt(m_gone.c_str()) && FileExistsAt(m_newCopy.c_str()));
    }
}

TEST_F(WininitFile, ScheduledTwiceLeavesOneEntry) {
    Write(m_ini, kOtherSections);
    DeleteOnRestart(m_gone.c_str(), RestartPlatform::Windows9x, m_ini.c_str());
    const std::string once = Contents(m_ini);
    DeleteOnRestart(m_gone.c_str(), RestartPlatform::Windows9x, m_ini.c_str());
    EXPECT_EQ(Contents(m_ini), once);
    ReplaceOnRestart(m_newCopy.c_str(), m_inUse.c_str(), RestartPlatform::Windows9x, m_ini.c_str());
    const std::string replaced = Contents(m_ini);
    ReplaceOnRestart(m_newCopy.c_str(), m_inUse.c_str(), RestartPlatform::Windows9x, m_ini.c_str());
    EXPECT_EQ(Contents(m_ini), replaced);
    EXPECT_NE(replaced, once);
}

TEST_F(WininitFile, AFolderGoesAfterTheFilesScheduledBeforeAndAfterIt) {
    // The start-up carries the lines out from the top: the folder must come last.
    const std::string folder = m_scratch.CreateFolder("Corvina Installation Folder");
    const std::string file = folder + "\\Corvina Extension Library.dll";
    Write(file, "in use");
    Write(m_ini, "[rename]\r\n");
    DeleteOnRestart(file.c_str(), RestartPlatform::Windows9x, m_ini.c_str());
    DeleteOnRestart(folder.c_str(), RestartPlatform::Windows9x, m_ini.c_str());
    DeleteOnRestart(m_gone.c_str(), RestartPlatform::Windows9x, m_ini.c_str());
    EXPECT_EQ(Contents(m_ini), "[rename]\r\nNUL=" + ShortForm(m_gone) + "\r\nNUL=" +
                                   ShortForm(file) + "\r\nNUL=" + ShortForm(folder) + "\r\n");
}

TEST_F(WininitFile, MissingPathNamedAsGiven) {
    const std::string missing = m_scratch.File("Never Created Library.dll");
    DeleteOnRestart(missing.c_str(), RestartPlatform::Windows9x, m_ini.c_str());
    EXPECT_EQ(Contents(m_ini), "[rename]\r\nNUL=" + missing + "\r\n");
}

TEST_F(WininitFile, AWriteThatCannotCompleteLeavesTheFileWhole) {
    const std::string before = std::string(kOtherSections) + std::string(4000, 'x') + "\r\n";
    Write(m_ini, before);
    // The new contents cannot be written beside it.
    const std::string newPath = WininitNewFilePath(m_ini.c_str());
    ASSERT_TRUE(CreateDirectoryA(newPath.c_str(), nullptr));
    EXPECT_TRUE(DeleteOnRestart(m_gone.c_str(), RestartPlatform::Windows9x, m_ini.c_str()));
    EXPECT_TRUE(ReplaceOnRestart(m_newCopy.c_str(), m_inUse.c_str(), RestartPlatform::Windows9x,
                                 m_ini.c_str()));
    EXPECT_EQ(Contents(m_ini), before);
    EXPECT_TRUE(FolderExistsAt(newPath.c_str()));

    // A missing file is not created half either.
    DeleteFileA(m_ini.c_str());
    EXPECT_TRUE(DeleteOnRestart(m_gone.c_str(), RestartPlatform::Windows9x, m_ini.c_str()));
    EXPECT_FALSE(FileExists(m_ini));

    // Once the name is free again, the edit goes through.
    RemoveDirectoryA(newPath.c_str());
    Write(m_ini, before);
    DeleteOnRestart(m_gone.c_str(), RestartPlatform::Windows9x, m_ini.c_str());
    EXPECT_NE(Contents(m_ini), before);
    EXPECT_EQ(Contents(m_ini).find("[rename]\r\nNUL=" + ShortForm(m_gone) + "\r\n"),
              std::string(kOtherSections).find("[rename]"));
}

TEST_F(WininitFile, RenamesThroughABackupRestoreTheOldFileOnFailure) {
    const std::string newPath = WininitNewFilePath(m_ini.c_str());
    const std::string backup = WininitBackupFilePath(m_ini.c_str());
    const struct {
        const char* what;
        bool newFile;
        bool staleBackup;
        bool backupBlocked;
        bool replaced;
    } cases[] = {
        {"new file put in place", true, false, false, true},
        {"a stale backup is no obstacle", true, true, false, true},
        {"second step fails: old file back", false, false, false, false},
        {"backup name unusable: nothing moved", true, false, true, false},
    };
    for (const auto& c : cases) {
        Write(m_ini, "old contents");
        DeleteFileA(newPath.c_str());
        if (c.newFile) {
            Write(newPath, "new contents");
        }
        if (c.staleBackup) {
            Write(backup, "stale");
        }
        if (c.backupBlocked) {
            CreateDirectoryA(backup.c_str(), nullptr);
        }
        EXPECT_EQ(ReplaceByRenames(newPath.c_str(), m_ini.c_str()) != FALSE, c.replaced) << c.what;
        EXPECT_EQ(Contents(m_ini), c.replaced ? "new contents" : "old contents") << c.what;
        EXPECT_EQ(FileExistsAt(newPath.c_str()), !c.replaced && c.newFile) << c.what;
        EXPECT_FALSE(FileExistsAt(backup.c_str())) << c.what;
        RemoveDirectoryA(backup.c_str());
    }
}

TEST(DefaultWininit, InTheWindowsFolder) {
    char windows[MAX_PATH] = {};
    ASSERT_NE(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
    std::string expected = windows;
    if (expected.back() != '\\') {
        expected.push_back('\\');
    }
    EXPECT_EQ(DefaultWininitPath(), expected + "WININIT.INI");
    EXPECT_EQ(CurrentRestartPlatform(), RestartPlatform::Nt);
}

// The system's list of delayed moves, as one string per entry.
std::vector<std::wstring> PendingRenames() {
    std::vector<std::wstring> entries;
    CRegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
                 KEY_QUERY_VALUE) != ERROR_SUCCESS) {
        return entries;
    }
    DWORD type = 0;
    DWORD size = 0;
    std::vector<wchar_t> data;
    if (RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, &type, nullptr, &size) ==
            ERROR_SUCCESS &&
        size > 0) {
        data.resize(size / sizeof(wchar_t) + 1);
        RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, &type,
                         reinterpret_cast<BYTE*>(data.data()), &size);
    }
    // The list keeps its empty strings (a deletion has an empty destination).
    size_t start = 0;
    const size_t count = size / sizeof(wchar_t);
    for (size_t i = 0; i < count; ++i) {
        if (data[i] == L'\0') {
            entries.emplace_back(data.data() + start, i - start);
            start = i + 1;
        }
    }
    return entries;
}

std::wstring Lower(std::wstring text) {
    CharLowerW(&text[0]);
    return text;
}

// Index of the entry that names path (with the system's "\??\" in front), or -1.
int FindEntry(const std::vector<std::wstring>& entries, const std::string& path, size_t from = 0) {
    const std::wstring wanted = Lower(ToWide(path));
    for (size_t i = from; i < entries.size(); ++i) {
        const std::wstring entry = Lower(entries[i]);
        if (entry.size() >= wanted.size() &&
            entry.compare(entry.size() - wanted.size(), wanted.size(), wanted) == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int RunWineRestart() {
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    return RunAndWait(std::string("\"") + system + "\\wineboot.exe\" -r");
}

TEST(DelayedMoves, RecordedAndCarriedOutAtTheRestart) {
    if (GetEnvironmentVariableA("CORVINA_PREFIX_COPY", nullptr, 0) == 0) {
        GTEST_SKIP() << "needs a throwaway prefix: the restart processing is machine-wide";
    }
    CScratchFolder scratch("delayed");
    const std::string target = scratch.File(ToAnsi(ForRun(L"\u8868\u793a.dll", L"Corvina.dll")));
    const std::string source = scratch.File("Package.dll");
    const std::string doomed = scratch.File("uninstall.exe");
    Write(target, "old in use");
    Write(source, "new");
    Write(doomed, "delete me");

    std::string side;
    {
        // Held open the way Explorer holds a loaded server: the copy fails, the new file goes
        // beside it and is scheduled to take its place.
        CHandle held(CreateFileA(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        ASSERT_FALSE(CopyFileByRule(source.c_str(), target.c_str()));
        ASSERT_TRUE(FindSideFileName(target.c_str(), &side));
        EXPECT_EQ(side, target + ".1");
        ASSERT_TRUE(CopyFileByRule(source.c_str(), side.c_str()));
        EXPECT_TRUE(ReplaceOnRestart(side.c_str(), target.c_str()));
        EXPECT_TRUE(DeleteOnRestart(doomed.c_str()));
    }

    const std::vector<std::wstring> entries = PendingRenames();
    std::wstring listed;
    for (const std::wstring& e : entries) {
        listed += L"[" + e + L"] ";
    }
    const int replaced = FindEntry(entries, side);
    ASSERT_GE(replaced, 0) << ToAnsi(listed);
    ASSERT_LT(replaced + 1, static_cast<int>(entries.size()));
    // Replacing an existing file is marked with a leading '!'.
    EXPECT_EQ(entries[replaced + 1].substr(0, 1), L"!") << ToAnsi(listed);
    EXPECT_EQ(FindEntry(entries, target, replaced + 1), replaced + 1) << ToAnsi(listed);
    const int deleted = FindEntry(entries, doomed);
    ASSERT_GE(deleted, 0) << ToAnsi(listed);
    ASSERT_LT(deleted + 1, static_cast<int>(entries.size()));
    EXPECT_EQ(entries[deleted + 1], L"") << ToAnsi(listed);
    EXPECT_EQ(Contents(target), "old in use");

    RunWineRestart();
    EXPECT_TRUE(WaitFor([&] { return !FileExists(doomed); }, 60000, Pumping::None));
    EXPECT_EQ(Contents(target), "new");
    EXPECT_FALSE(FileExists(side));
    EXPECT_EQ(FindEntry(PendingRenames(), doomed), -1);
}

TEST(DelayedMoves, WininitOfTheWindowsFolderAtTheRestart) {
    if (GetEnvironmentVariableA("CORVINA_PREFIX_COPY", nullptr, 0) == 0) {
        GTEST_SKIP() << "needs a throwaway prefix: it edits the Windows folder's WININIT.INI";
    }
    CScratchFolder scratch("wininitboot");
    const std::string doomed = scratch.CreateTextFile("Corvina Resident Program.exe");
    const std::string ini = DefaultWininitPath();
    DeleteFileA(ini.c_str());
    EXPECT_TRUE(DeleteOnRestart(doomed.c_str(), RestartPlatform::Windows9x, ini.c_str()));
    EXPECT_EQ(Contents(ini), "[rename]\r\nNUL=" + ShortForm(doomed) + "\r\n");

    RunWineRestart();
    const bool processed = WaitFor([&] { return !FileExists(doomed); }, 20000, Pumping::None);
    std::printf("Wine's restart processing %s the WININIT.INI entry; WININIT.INI %s\n",
                processed ? "carried out" : "did not carry out",
                FileExists(ini) ? "is still there" : "is gone");
    EXPECT_TRUE(processed);
    DeleteFileA(ini.c_str());
}

} // namespace

namespace {

TEST(Restart, RequestAcceptedAndTheCallerGoesOn) {
    if (GetEnvironmentVariableA("CORVINA_PREFIX_COPY", nullptr, 0) == 0) {
        GTEST_SKIP() << "needs a throwaway prefix: the request reaches every program in it";
    }
    // Wine accepts the request without ending the program that made it.
    EXPECT_TRUE(RestartWindows());
    std::printf("RestartWindows answered; this process goes on\n");
}

} // namespace
