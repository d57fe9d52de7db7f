// The copy and delete rules, file versions and folder creation on real files.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "framework/Handles.h"
#include "setup/FileRules.h"
#include "setup/InstallSteps.h"
#include "setup/core/InstallDecisions.h"

namespace {

bool SystemLeadByte(unsigned char byte) {
    return IsDBCSLeadByte(byte) != FALSE;
}

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

constexpr DWORD kStubborn = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

TEST(CopyRule, GetsPastAttributesButNotFoldersOrMissingSources) {
    CScratchFolder scratch("copyrule");
    const std::string source = scratch.File("source.dll");
    Write(source, "new contents");
    const struct {
        const char* what;
        DWORD targetAttributes; // 0: no target file
        bool targetIsFolder;
        bool sourceMissing;
        bool sourceIsFolder;
        bool copied;
    } cases[] = {
        {"no target", 0, false, false, false, true},
        {"normal target", FILE_ATTRIBUTE_NORMAL, false, false, false, true},
        // Wine running as root lets even the first copy over these through; on Windows it
        // is the retry with normal attributes that gets there.
        {"read-only target", FILE_ATTRIBUTE_READONLY, false, false, false, true},
        {"hidden target", FILE_ATTRIBUTE_HIDDEN, false, false, false, true},
        {"system target", FILE_ATTRIBUTE_SYSTEM, false, false, false, true},
        {"read-only hidden system target", kStubborn, false, false, false, true},
        {"folder target", 0, true, false, false, false},
        {"missing source", FILE_ATTRIBUTE_NORMAL, false, true, false, false},
        {"folder source", FILE_ATTRIBUTE_NORMAL, false, false, true, false},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string target = scratch.File("target" + std::to_string(++n) + ".dll");
        if (c.targetIsFolder) {
            CreateDirectoryA(target.c_str(), nullptr);
        } else if (c.targetAttributes != 0) {
            Write(target, "old");
            ASSERT_TRUE(SetFileAttributesA(target.c_str(), c.targetAttributes)) << c.what;
        }
        std::string from = source;
        if (c.sourceMissing) {
            from = scratch.File("missing.dll");
        } else if (c.sourceIsFolder) {
            from = scratch.CreateFolder("source-folder" + std::to_string(n));
        }
        EXPECT_EQ(CopyFileByRule(from.c_str(), target.c_str()) != FALSE, c.copied) << c.what;
        if (c.copied) {
            EXPECT_EQ(Contents(target), "new contents") << c.what;
        } else if (c.targetIsFolder) {
            EXPECT_TRUE(FolderExistsAt(target.c_str())) << c.what;
        } else {
            EXPECT_EQ(Contents(target), "old") << c.what;
        }
    }
}

// CopyFile as Windows does it: a read-only, hidden or system target refuses the copy with
// access denied. (Wine running as root lets it through.)
BOOL CopyRefusingStubbornTargets(const char* source, const char* target) {
    const DWORD attributes = GetFileAttributesA(target);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & kStubborn) != 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return CopyFileA(source, target, FALSE);
}

BOOL CopyRefusingEverything(const char*, const char*) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

TEST(CopyRule, RetriesWithNormalAttributesWhereTheFirstCopyIsRefused) {
    CScratchFolder scratch("copyretry");
    const std::string source = scratch.File("source.dll");
    Write(source, "new contents");
    const struct {
        const char* what;
        DWORD attributes;
        FileCopyOperation copy;
        bool copied;
    } cases[] = {
        {"read-only", FILE_ATTRIBUTE_READONLY, CopyRefusingStubbornTargets, true},
        {"hidden", FILE_ATTRIBUTE_HIDDEN, CopyRefusingStubbornTargets, true},
        {"system", FILE_ATTRIBUTE_SYSTEM, CopyRefusingStubbornTargets, true},
        {"read-only hidden system", kStubborn, CopyRefusingStubbornTargets, true},
        // Refused whatever the attributes: the retry's result is the rule's.
        {"read-only, refused again", FILE_ATTRIBUTE_READONLY, CopyRefusingEverything, false},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string target = scratch.File("target" + std::to_string(++n) + ".dll");
        Write(target, "old");
        ASSERT_TRUE(SetFileAttributesA(target.c_str(), c.attributes)) << c.what;
        EXPECT_EQ(CopyFileByRule(source.c_str(), target.c_str(), c.copy) != FALSE, c.copied)
            << c.what;
        EXPECT_EQ(Contents(target), c.copied ? "new contents" : "old") << c.what;
        SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST(CopyRule, TargetOpenWithoutSharingFailsAndStaysAsItWas) {
    CScratchFolder scratch("copyopen");
    const std::string source = scratch.File("source.dll");
    const std::string target = scratch.File("target.dll");
    Write(source, "new contents");
    Write(target, "in use");
    {
        CHandle held(CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        EXPECT_FALSE(CopyFileByRule(source.c_str(), target.c_str()));
    }
    EXPECT_EQ(Contents(target), "in use");
    // Once let go, the same copy goes through.
    EXPECT_TRUE(CopyFileByRule(source.c_str(), target.c_str()));
    EXPECT_EQ(Contents(target), "new contents");
}

// The copy of the package files with one target, and the side file next to it, refused as
// the case says.
struct RefusedCopy {
    std::string name;
    DWORD error;
    DWORD sideError;
};
RefusedCopy g_refused;

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

BOOL CopyRefusingAsTold(const char* source, const char* target) {
    const DWORD error = EndsWith(target, "\\" + g_refused.name)          ? g_refused.error
                        : EndsWith(target, "\\" + g_refused.name + ".1") ? g_refused.sideError
                                                                         : ERROR_SUCCESS;
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    return CopyFileA(source, target, FALSE);
}

TEST(PackageCopy, AFailureOtherThanAFileInUseStopsThereAndNamesTheFile) {
    CScratchFolder scratch("packagecopy");
    const std::string package = scratch.CreateFolder("package");
    const std::vector<std::string>& files = corvina::PackageFileNames();
    for (const std::string& name : files) {
        Write(package + "\\" + name, name);
    }
    const struct {
        const char* what;
        RefusedCopy refused;
        std::string named; // the file the failure names
    } cases[] = {
        {"access refused", {"Corvina.dll", ERROR_ACCESS_DENIED, 0}, "Corvina.dll"},
        {"disk full", {"CorvinaPlus.exe", ERROR_DISK_FULL, 0}, "CorvinaPlus.exe"},
        {"path too long", {"Readme.txt", ERROR_FILENAME_EXCED_RANGE, 0}, "Readme.txt"},
        {"in use, its side file refused",
         {"Uninstall.exe", ERROR_SHARING_VIOLATION, ERROR_DISK_FULL},
         "Uninstall.exe.1"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string folder = scratch.CreateFolder("installed" + std::to_string(++n));
        g_refused = c.refused;
        int last = -1;
        const PackageCopyResult result = CopyPackageFiles(
            package, folder, [&last](int position) { last = position; }, CopyRefusingAsTold);
        EXPECT_FALSE(result.completed);
        EXPECT_FALSE(result.restartNeeded);
        EXPECT_EQ(result.failedPath, folder + "\\" + c.named);
        EXPECT_EQ(result.error, c.refused.error == ERROR_SHARING_VIOLATION ? c.refused.sideError
                                                                           : c.refused.error);
        EXPECT_LT(last, 100);
        // The files before the refused one are copied, none after it, and no side file.
        bool before = true;
        for (const std::string& name : files) {
            before = before && name != c.refused.name;
            EXPECT_EQ(FileExistsAt((folder + "\\" + name).c_str()), before) << name;
            EXPECT_FALSE(FileExistsAt((folder + "\\" + name + ".1").c_str())) << name;
        }
    }
}

TEST(DeleteRule, GetsPastAttributesButFailsForMissingFilesAndFolders) {
    CScratchFolder scratch("deleterule");
    const struct {
        const char* what;
        DWORD attributes; // 0: no file
        bool folder;
        bool deleted;
    } cases[] = {
        {"normal", FILE_ATTRIBUTE_NORMAL, false, true},
        {"read-only", FILE_ATTRIBUTE_READONLY, false, true},
        {"hidden", FILE_ATTRIBUTE_HIDDEN, false, true},
        {"system", FILE_ATTRIBUTE_SYSTEM, false, true},
        {"read-only hidden system", kStubborn, false, true},
        {"missing", 0, false, false},
        {"read-only folder", FILE_ATTRIBUTE_READONLY, true, false},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string path = scratch.File("file" + std::to_string(++n));
        if (c.folder) {
            CreateDirectoryA(path.c_str(), nullptr);
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_DIRECTORY | c.attributes);
        } else if (c.attributes != 0) {
            Write(path, "x");
            ASSERT_TRUE(SetFileAttributesA(path.c_str(), c.attributes)) << c.what;
        }
        EXPECT_EQ(DeleteFileByRule(path.c_str()) != FALSE, c.deleted) << c.what;
        EXPECT_EQ(GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES,
                  c.deleted || c.attributes == 0)
            << c.what;
    }
}

TEST(FileVersion, ReadFromTheVersionResourceOrZero) {
    CScratchFolder scratch("version");
    const std::string text = scratch.CreateTextFile("Readme.txt");
    const struct {
        std::string path;
        corvina::FileVersion expected;
    } cases[] = {
        {HostPath(CORVINA_FILE_Uninstall), {{2, 3, 0, 34}}},
        {text, {{0, 0, 0, 0}}},
        {scratch.File("missing.exe"), {{0, 0, 0, 0}}},
        {scratch.Folder(), {{0, 0, 0, 0}}},
    };
    for (const auto& c : cases) {
        const corvina::FileVersion v = ReadFileVersion(c.path.c_str());
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(v.part[i], c.expected.part[i]) << c.path << " part " << i;
        }
    }
}

TEST(FolderChain, CreatesMissingPartsAndFailsOnAFile) {
    CScratchFolder scratch("chain");
    scratch.CreateFolder("exists");
    scratch.CreateTextFile("file");
    const std::wstring deep = ForRun(L"\u8868\u30bd\u30d5\u30c8", L"deep");
    const struct {
        std::string below; // under the scratch folder
        bool created;
    } cases[] = {
        {"new\\a\\b", true},   {"exists", true},
        {"exists\\c\\", true}, {"exists\\c\\" + ToAnsi(deep), true},
        {"file", false},       {"file\\below", false},
    };
    for (const auto& c : cases) {
        const std::string folder = scratch.Path() + c.below;
        const auto components = corvina::SplitFolderComponents(folder, SystemLeadByte);
        EXPECT_EQ(CreateFolderChain(components), c.created) << c.below;
        EXPECT_EQ(FolderExistsAt(folder.c_str()), c.created) << c.below;
        if (c.created) {
            for (const std::string& prefix : corvina::FolderPrefixes(components)) {
                EXPECT_TRUE(FolderExistsAt(prefix.c_str())) << prefix;
            }
        }
    }
    EXPECT_TRUE(FileExistsAt(scratch.File("file").c_str()));
}

} // namespace
