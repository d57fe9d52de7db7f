#include "RegistrationTestSupport.h"

#include "serversetup/CCurrentDirectoryRestorer.h"
#include "serversetup/ServerLoading.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace {

using LoadingOperation = BOOL (*)(const char*);

struct Operation {
    const char* name;
    LoadingOperation call;
    const char* recorded;
};
const Operation kOperations[] = {
    {"register", RegisterServerByLoading, "register;"},
    {"unregister", UnregisterServerByLoading, "unregister;"},
};

bool IsLoaded(const std::string& path) {
    return GetModuleHandleA(path.c_str()) != nullptr;
}

// Copies a stand-in server into folder under name; the path of the copy.
std::string PlaceServer(const char* builtDll, const std::string& folder, const char* name) {
    const std::string path = folder + "\\" + name;
    EXPECT_TRUE(CopyFileA(HostPath(builtDll).c_str(), path.c_str(), FALSE)) << path;
    return path;
}

class ServerLoading : public ::testing::Test {
protected:
    void SetUp() override {
        ClearServerRecord();
        m_previous = CurrentDirectory();
        // A current directory of our own, so that "restored" cannot mean "never changed
        // from a folder that happens to be the DLL's".
        ASSERT_TRUE(SetCurrentDirectoryA(m_scratch.CreateFolder("elsewhere").c_str()));
        m_before = CurrentDirectory();
    }
    void TearDown() override {
        SetCurrentDirectoryA(m_previous.c_str());
        ClearServerRecord();
    }

    CScratchFolder m_scratch{"loading"};
    std::string m_previous;
    std::string m_before;
};

TEST_F(ServerLoading, ExportRunsInTheDllFolderAndTheDirectoryComesBack) {
    const std::string nested = m_scratch.CreateFolder("one");
    const std::string folder = nested + "\\two 100%s";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string dll = PlaceServer(RECORDING_DLL, folder, "Server.dll");

    std::string expectedCalls;
    for (const Operation& op : kOperations) {
        EXPECT_EQ(op.call(dll.c_str()), TRUE) << op.name;
        expectedCalls += op.recorded;
        const ServerRecord record = ReadServerRecord();
        EXPECT_EQ(record.calls, expectedCalls) << op.name;
        EXPECT_TRUE(SameText(record.directory, folder)) << op.name << ": " << record.directory;
        EXPECT_EQ(CurrentDirectory(), m_before) << op.name;
        EXPECT_FALSE(IsLoaded(dll)) << op.name;
    }
}

TEST_F(ServerLoading, FolderWithATrailByte5C) {
    if (!IsJapaneseRun()) {
        GTEST_SKIP() << "needs the Japanese code page";
    }
    // 表 is 0x95 0x5C in Shift-JIS: a byte-wise search for the last backslash would cut
    // the folder in the middle of it.
    const std::string folder = m_scratch.CreateFolder(ToAnsi(L"表示"));
    ASSERT_EQ(folder.substr(folder.size() - 4), "\x95\x5C\x8E\xA6");
    const std::string dll = PlaceServer(RECORDING_DLL, folder, ToAnsi(L"設定表.dll").c_str());

    EXPECT_EQ(RegisterServerByLoading(dll.c_str()), TRUE);
    const ServerRecord record = ReadServerRecord();
    EXPECT_EQ(record.calls, "register;");
    EXPECT_TRUE(SameText(record.directory, folder)) << record.directory;
    EXPECT_EQ(CurrentDirectory(), m_before);
}

TEST_F(ServerLoading, DllWithoutTheExportIsUnloadedAndReportsFailure) {
    const std::string dll = PlaceServer(PLAIN_DLL, m_scratch.CreateFolder("plain"), "Plain.dll");
    for (const Operation& op : kOperations) {
        EXPECT_EQ(op.call(dll.c_str()), FALSE) << op.name;
        EXPECT_FALSE(IsLoaded(dll)) << op.name;
        EXPECT_EQ(CurrentDirectory(), m_before) << op.name;
    }
    EXPECT_EQ(ReadServerRecord().calls, "");
}

TEST_F(ServerLoading, FilesThatCannotBeLoadedReportFailure) {
    const std::string folder = m_scratch.CreateFolder("broken");
    const std::string notADll = folder + "\\Text.dll";
    HANDLE file =
        CreateFileA(notADll.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, "not a module", 12, &written, nullptr);
    CloseHandle(file);

    const std::string paths[] = {
        folder + "\\Missing.dll",
        m_scratch.Folder() + "\\no such folder\\Missing.dll",
        notADll,
        folder, // a folder, not a file
        "",
    };
    for (const std::string& path : paths) {
        for (const Operation& op : kOperations) {
            EXPECT_EQ(op.call(path.c_str()), FALSE) << op.name << " " << path;
            EXPECT_EQ(CurrentDirectory(), m_before) << op.name << " " << path;
        }
    }
    EXPECT_EQ(RegisterServerByLoading(nullptr), FALSE);
    EXPECT_EQ(UnregisterServerByLoading(nullptr), FALSE);
    EXPECT_EQ(CurrentDirectory(), m_before);
    EXPECT_EQ(ReadServerRecord().calls, "");
}

TEST_F(ServerLoading, ExportEndingInAnExceptionLeavesNothingBehind) {
#ifndef __SEH__
    // The i686 toolchain unwinds with tables private to each module: a C++ exception leaving
    // a DLL never finds its caller's handler, and the DLL's own runtime ends the process.
    GTEST_SKIP() << "needs C++ exceptions that cross modules (SEH unwinding, x86_64 here)";
#endif
    const std::string folder = m_scratch.CreateFolder("throwing");
    const std::string dll = PlaceServer(THROWING_DLL, folder, "Throwing.dll");
    EXPECT_EQ(RegisterServerByLoading(dll.c_str()), FALSE);
    const ServerRecord record = ReadServerRecord();
    EXPECT_EQ(record.calls, "register;");
    EXPECT_TRUE(SameText(record.directory, folder)) << record.directory;
    EXPECT_EQ(CurrentDirectory(), m_before);
    EXPECT_FALSE(IsLoaded(dll));
}

TEST_F(ServerLoading, ServerFileExistsOnlyForFiles) {
    const std::string folder = m_scratch.CreateFolder("exists");
    const std::string dll = PlaceServer(PLAIN_DLL, folder, "Corvina.dll");
    CreateDirectoryA((folder + "\\CorvinaBar.dll").c_str(), nullptr);
    EXPECT_EQ(ServerFileExists(dll.c_str()), TRUE);
    EXPECT_EQ(ServerFileExists((folder + "\\CorvinaBar.dll").c_str()), FALSE);
    EXPECT_EQ(ServerFileExists((folder + "\\Missing.dll").c_str()), FALSE);
    EXPECT_EQ(ServerFileExists(""), FALSE);
    EXPECT_EQ(ServerFileExists(nullptr), FALSE);
}

TEST(CurrentDirectoryRestorer, RestoresWhenTheScopeIsLeftByAnException) {
    CScratchFolder scratch("restorer");
    const std::string before = CurrentDirectory();
    const std::string inside = scratch.CreateFolder("inside");
    try {
        CCurrentDirectoryRestorer restorer;
        EXPECT_TRUE(restorer.Remembered());
        EXPECT_EQ(restorer.Saved(), before);
        ASSERT_TRUE(SetCurrentDirectoryA(inside.c_str()));
        ASSERT_TRUE(SameText(CurrentDirectory(), inside));
        throw std::runtime_error("leave the scope");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(CurrentDirectory(), before);
}

// Wine resolves drive letters through the prefix's dosdevices links, which a process reads
// when it starts: the link is made here and the loading runs in a child process of this
// program. DefineDosDevice records the name but Wine's file system does not follow it.
const char kDriveRootChildVariable[] = "CORVINA_DRIVE_ROOT_CHILD";

char DriveLetterForThisRun() {
    return IsJapaneseRun() ? 'O' : 'P';
}

TEST(ServerLoadingAtDriveRoot, DllDirectlyUnderADriveRunsWithTheRootCurrent) {
    if (std::getenv(kDriveRootChildVariable)) {
        GTEST_SKIP() << "parent part";
    }
    const char* prefix = std::getenv("WINEPREFIX");
    if (!prefix) {
        GTEST_SKIP() << "not under Wine with a known prefix";
    }
    CScratchFolder root("driveroot");
    PlaceServer(RECORDING_DLL, root.Folder(), "Corvina.dll");
    const std::string unixRoot = UnixPathOf(root.Folder());
    ASSERT_FALSE(unixRoot.empty());
    const std::string link = std::string(prefix) + "/dosdevices/" +
                             static_cast<char>(DriveLetterForThisRun() + 32) + ":";
    // Wine does not pass a Linux program's exit code back: the child finds out whether the
    // link works.
    RunAndWait("Z:\\bin\\ln -sfn " + unixRoot + " " + link);

    ClearServerRecord();
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    SetEnvironmentVariableA(kDriveRootChildVariable, "1");
    const int code =
        RunAndWait(std::string("\"") + self + "\" --gtest_filter=ServerLoadingAtDriveRoot.InChild");
    SetEnvironmentVariableA(kDriveRootChildVariable, nullptr);
    RunAndWait("Z:\\bin\\rm -f " + link);

    EXPECT_EQ(code, 0);
    const ServerRecord record = ReadServerRecord();
    EXPECT_EQ(record.calls, "register;unregister;");
    EXPECT_EQ(record.directory, std::string(1, DriveLetterForThisRun()) + ":\\");
    ClearServerRecord();
}

TEST(ServerLoadingAtDriveRoot, InChild) {
    if (!std::getenv(kDriveRootChildVariable)) {
        GTEST_SKIP() << "child part";
    }
    const std::string drive = std::string(1, DriveLetterForThisRun()) + ":";
    const std::string dll = drive + "\\Corvina.dll";
    ASSERT_EQ(ServerFileExists(dll.c_str()), TRUE) << dll;
    const std::string before = CurrentDirectory();
    ASSERT_NE(before.substr(0, 2), drive);

    EXPECT_EQ(RegisterServerByLoading(dll.c_str()), TRUE);
    EXPECT_EQ(ReadServerRecord().directory, drive + "\\");
    EXPECT_EQ(CurrentDirectory(), before);
    EXPECT_EQ(UnregisterServerByLoading(dll.c_str()), TRUE);
    EXPECT_EQ(ReadServerRecord().directory, drive + "\\");
    EXPECT_EQ(CurrentDirectory(), before);
    EXPECT_FALSE(IsLoaded(dll));
}

// The real extension, registered and removed again through its own exports.
bool ClassKeyExists() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, "CLSID\\{5A1C7E20-3B9D-4F62-8E41-0C7D2B9F6A13}", 0,
                      KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

TEST(ServerLoadingOfTheExtension, RegistersAndUnregistersCorvinaDll) {
    const std::string dll = HostPath(CORVINA_DLL);
    ASSERT_EQ(ServerFileExists(dll.c_str()), TRUE) << dll;
    const bool registeredBefore = ClassKeyExists();
    const std::string before = CurrentDirectory();

    EXPECT_EQ(RegisterServerByLoading(dll.c_str()), TRUE);
    EXPECT_TRUE(ClassKeyExists());
    EXPECT_EQ(CurrentDirectory(), before);
    EXPECT_FALSE(IsLoaded(dll));

    EXPECT_EQ(UnregisterServerByLoading(dll.c_str()), TRUE);
    EXPECT_FALSE(ClassKeyExists());
    EXPECT_EQ(CurrentDirectory(), before);
    EXPECT_FALSE(IsLoaded(dll));

    if (registeredBefore) {
        RegisterServerByLoading(dll.c_str());
    }
}

} // namespace
