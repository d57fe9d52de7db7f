#include "setup/core/InstallRules.h"

#include "common/core/StartCommandLine.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using namespace corvina;

namespace {

using Strings = std::vector<std::string>;

constexpr uint32_t kDrivesCAndD = (1u << 2) | (1u << 3);

TEST(SetupMode, ChosenFromTheCommandLine) {
    const struct {
        std::string line;
        SetupMode mode;
    } cases[] = {
        {"", SetupMode::Relaunch},
        {"-install", SetupMode::Install},
        {"-INSTALL", SetupMode::Install},
        {"-InStAlL", SetupMode::Install},
        {"-install ", SetupMode::Install},
        {" \t-Install  ", SetupMode::Install},
        {"-install x", SetupMode::Removal},
        {"install", SetupMode::Removal},
        {"C:\\Program Files\\Velmora\\Corvina", SetupMode::Removal},
        {" ", SetupMode::Relaunch},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChooseSetupMode(c.line), c.mode) << '"' << c.line << '"';
    }
}

TEST(FileVersions, ReadFromTheFixedNumbersAndComparedPartByPart) {
    const FileVersion v = FileVersionFromFixed(0x00020003, 0x00000022);
    EXPECT_EQ(v.part[0], 2);
    EXPECT_EQ(v.part[1], 3);
    EXPECT_EQ(v.part[2], 0);
    EXPECT_EQ(v.part[3], 34);
    const FileVersion high = FileVersionFromFixed(0xFFFE0001, 0x8000FFFF);
    EXPECT_EQ(high.part[0], 0xFFFE);
    EXPECT_EQ(high.part[1], 1);
    EXPECT_EQ(high.part[2], 0x8000);
    EXPECT_EQ(high.part[3], 0xFFFF);

    const struct {
        FileVersion a;
        FileVersion b;
        int sign;
    } cases[] = {
        {{{2, 3, 0, 34}}, {{2, 3, 0, 34}}, 0},
        {{{0, 0, 0, 0}}, {{0, 0, 0, 0}}, 0},
        {{{2, 3, 0, 34}}, {{2, 3, 0, 33}}, 1},
        {{{2, 3, 0, 34}}, {{2, 4, 0, 0}}, -1},
        // The first difference decides, however large the later numbers.
        {{{1, 0, 0, 0}}, {{0, 65535, 65535, 65535}}, 1},
        {{{2, 2, 9, 0}}, {{2, 3, 0, 0}}, -1},
        {{{0, 0, 0, 0}}, {{0, 0, 0, 1}}, -1},
        {{{0, 0, 1, 0}}, {{0, 0, 0, 9}}, 1},
    };
    for (const auto& c : cases) {
        const int forward = CompareFileVersions(c.a, c.b);
        const int backward = CompareFileVersions(c.b, c.a);
        EXPECT_EQ((forward > 0) - (forward < 0), c.sign);
        EXPECT_EQ((backward > 0) - (backward < 0), -c.sign);
    }
}

TEST(InstallFolder, AcceptedOnlyOnAnExistingDriveWithoutWildcards) {
    const struct {
        std::string folder;
        bool accepted;
    } cases[] = {
        {"C:\\", true},
        {"c:\\", true},
        {"D:\\Tools\\Corvina", true},
        {"d:\\tools", true},
        {"C:\\Program Files\\Velmora\\Corvina", true},
        {"E:\\Corvina", false}, // no such drive
        {"A:\\", false},
        {"C:", false},  // too short
        {"C:x", false}, // no root
        {"C:Corvina", false},
        {"Corvina", false}, // relative
        {"\\Corvina", false},
        {"..\\Corvina", false},
        {"\\\\server\\share", false},
        {"C:\\Corvina?", false},
        {"C:\\*", false},
        {"C:\\a*b\\c", false},
        {"1:\\Corvina", false},
        {"", false},
        // A Shift-JIS name is fine: its trail bytes are never '*' or '?'.
        {"C:\\\x83\x5C\x83\x74\x83\x67", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsAcceptableInstallFolder(c.folder, kDrivesCAndD), c.accepted) << c.folder;
    }
    // Z is bit 25.
    EXPECT_TRUE(IsAcceptableInstallFolder("Z:\\x", 1u << 25));
    EXPECT_FALSE(IsAcceptableInstallFolder("Z:\\x", ~(1u << 25)));
}

TEST(InstallFolder, SplitIntoComponentsAndPrefixes) {
    // "表" is 0x95 0x5C: its trail byte is a backslash byte but no separator.
    const std::string hyo = "\x95\x5C";
    const struct {
        std::string folder;
        Strings components;
        Strings prefixes;
    } cases[] = {
        {"C:\\", {"C:\\"}, {"C:\\"}},
        {"C:\\Corvina", {"C:\\", "Corvina"}, {"C:\\", "C:\\Corvina"}},
        {"C:\\a\\b\\", {"C:\\", "a", "b"}, {"C:\\", "C:\\a", "C:\\a\\b"}},
        {"C:\\\\a\\\\\\b", {"C:\\", "a", "b"}, {"C:\\", "C:\\a", "C:\\a\\b"}},
        {"D:\\Tools\\corvina",
         {"D:\\", "Tools", "corvina"},
         {"D:\\", "D:\\Tools", "D:\\Tools\\corvina"}},
        {"C:\\" + hyo + "\\x", {"C:\\", hyo, "x"}, {"C:\\", "C:\\" + hyo, "C:\\" + hyo + "\\x"}},
        {"C:\\" + hyo, {"C:\\", hyo}, {"C:\\", "C:\\" + hyo}},
        {"C:\\a" + hyo + "b", {"C:\\", "a" + hyo + "b"}, {"C:\\", "C:\\a" + hyo + "b"}},
        {"", {}, {}},
        {"\\\\", {}, {}},
    };
    for (const auto& c : cases) {
        const Strings components = SplitFolderComponents(c.folder, IsCp932LeadByte);
        EXPECT_EQ(components, c.components) << c.folder;
        EXPECT_EQ(FolderPrefixes(components), c.prefixes) << c.folder;
    }
    // Without two-byte characters the same bytes hold one more separator.
    EXPECT_EQ(SplitFolderComponents("C:\\" + hyo + "x", nullptr), (Strings{"C:\\", "\x95", "x"}));
}

TEST(InstallFolder, ProductNameAppendedUnlessPresentOrInstalled) {
    const std::string hyo = "\x95\x5C";
    const struct {
        std::string folder;
        bool existing;
        std::string expected;
    } cases[] = {
        {"C:\\", false, "C:\\Corvina"},
        {"D:\\Tools\\Corvina", false, "D:\\Tools\\Corvina"},
        {"D:\\Tools\\corvina", false, "D:\\Tools\\corvina"},
        {"D:\\Tools\\CORVINA\\", false, "D:\\Tools\\CORVINA\\"},
        {"D:\\Tools", false, "D:\\Tools\\Corvina"},
        {"D:\\Tools\\", false, "D:\\Tools\\Corvina"},
        {"D:\\Corvina2", false, "D:\\Corvina2\\Corvina"},
        {"D:\\Tools", true, "D:\\Tools"},
        {"C:\\", true, "C:\\"},
        // A folder ending in a 0x5C trail byte still lacks its separator.
        {"C:\\" + hyo, false, "C:\\" + hyo + "\\Corvina"},
        {"C:\\" + hyo + "\\", false, "C:\\" + hyo + "\\Corvina"},
        {"", false, ""},
    };
    for (const auto& c : cases) {
        const Strings components = SplitFolderComponents(c.folder, IsCp932LeadByte);
        EXPECT_EQ(InstallFolderWithProductName(c.folder, components, c.existing), c.expected)
            << c.folder;
    }
}

TEST(StartCommandLine, PathQuotedAndArgumentsAppended) {
    const struct {
        std::string path;
        std::string arguments;
        std::string expected;
    } cases[] = {
        {"C:\\Program Files\\Corvina\\Corvset.exe", "",
         "\"C:\\Program Files\\Corvina\\Corvset.exe\""},
        {"C:\\t\\tmpCorvina00000000.tmp", "C:\\Program Files\\Corvina",
         "\"C:\\t\\tmpCorvina00000000.tmp\" C:\\Program Files\\Corvina"},
        {"\"C:\\a b\\x.exe\"", "", "\"C:\\a b\\x.exe\""},
        {"\"C:\\a b\\x.exe\"", "-install", "\"C:\\a b\\x.exe\" -install"},
        {"x.exe", " two  blanks ", "\"x.exe\"  two  blanks "},
        {"", "", "\"\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BuildStartCommandLine(c.path, c.arguments), c.expected);
    }
}

TEST(Progress, CopyPositionsBeforeEachOfSixFiles) {
    std::vector<int> positions;
    for (int i = 0; i < 6; ++i) {
        positions.push_back(CopyProgressPosition(i, 6));
    }
    EXPECT_EQ(positions, (std::vector<int>{0, 16, 33, 50, 66, 83}));
    EXPECT_EQ(CopyProgressPosition(6, 6), 100);
    EXPECT_EQ(CopyProgressPosition(3, 0), 0);
}

TEST(Progress, RangeWidenedAndPositionsClamped) {
    const struct {
        int low, high;
        int expectedLow, expectedHigh;
    } ranges[] = {
        {0, 100, 0, 100}, {5, 5, 5, 6}, {10, 3, 10, 11}, {-4, -2, -4, -2}, {-1, -1, -1, 0},
    };
    for (const auto& r : ranges) {
        const ProgressRange range = NormalizeProgressRange(r.low, r.high);
        EXPECT_EQ(range.low, r.expectedLow) << r.low << ".." << r.high;
        EXPECT_EQ(range.high, r.expectedHigh) << r.low << ".." << r.high;
    }
    const struct {
        ProgressRange range;
        int position;
        int expected;
    } clamps[] = {
        {{0, 100}, 50, 50}, {{0, 100}, -1, 0},  {{0, 100}, 101, 100}, {{0, 100}, 100, 100},
        {{20, 30}, 0, 20},  {{20, 30}, 25, 25}, {{20, 30}, 99, 30},
    };
    for (const auto& c : clamps) {
        EXPECT_EQ(ClampProgressPosition(c.range, c.position), c.expected) << c.position;
    }
}

TEST(Progress, FillRightInProportionNeverOutside) {
    const struct {
        int left, right;
        ProgressRange range;
        int position;
        int expected;
    } cases[] = {
        {4, 104, {0, 100}, 0, 4},
        {4, 104, {0, 100}, 50, 54},
        {4, 104, {0, 100}, 100, 104},
        {4, 104, {0, 100}, 150, 104},
        {4, 104, {0, 100}, -7, 4},
        {0, 7, {0, 100}, 50, 3},
        {0, 7, {0, 100}, 99, 6},
        {10, 20, {5, 5}, 6, 20},
        {10, 20, {5, 5}, 5, 10},
        {10, 10, {0, 100}, 50, 10},
        {10, 5, {0, 100}, 50, 10},
        {0, 200, {50, 150}, 100, 100},
        {0, 60000, {0, 60000}, 59999, 59999},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProgressFillRight(c.left, c.right, c.range, c.position), c.expected)
            << c.left << ' ' << c.right << ' ' << c.position;
    }
}

TEST(Progress, StepsOneByOneUpToTheTarget) {
    const struct {
        int current, target;
        std::vector<int> steps;
    } cases[] = {
        {0, 3, {1, 2, 3}}, {16, 17, {17}}, {5, 5, {}}, {9, 2, {}}, {-2, 0, {-1, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProgressSteps(c.current, c.target), c.steps) << c.current << "->" << c.target;
    }
    EXPECT_EQ(ProgressSteps(83, 100).size(), 17u);
}

TEST(FileRules, RetriedWithNormalAttributesOnlyForStubbornFilesRefusedAccess) {
    const uint32_t kArchive = 0x20;
    const uint32_t kSharingViolation = 32;
    const struct {
        uint32_t error;
        uint32_t attributes;
        bool retry;
    } cases[] = {
        {kErrorAccessDenied, kAttributeReadOnly, true},
        {kErrorAccessDenied, kAttributeHidden, true},
        {kErrorAccessDenied, kAttributeSystem, true},
        {kErrorAccessDenied, kAttributeReadOnly | kArchive, true},
        {kErrorAccessDenied, kArchive, false},
        {kErrorAccessDenied, 0x80, false}, // normal
        {kErrorAccessDenied, kAttributeDirectory | kAttributeReadOnly, false},
        {kErrorAccessDenied, kInvalidAttributes, false}, // the file was not there
        {kSharingViolation, kAttributeReadOnly, false},  // held open
        {0, kAttributeHidden, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RetryWithNormalAttributes(c.error, c.attributes), c.retry)
            << c.error << ' ' << std::hex << c.attributes;
    }
}

TEST(CopyFailure, OnlyAFileInUseWaitsForTheNextStart) {
    const struct {
        uint32_t error;
        bool inUse;
    } cases[] = {
        {32, true},   // sharing violation: open without sharing
        {33, true},   // lock violation
        {1224, true}, // mapped by a running program
        {5, false},   // access denied
        {112, false}, // disk full
        {39, false},  // handle disk full
        {206, false}, // file name too long
        {3, false},   // path not found
        {2, false},   // source not found
        {0, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CopyRefusedForFileInUse(c.error), c.inUse) << c.error;
    }
}

TEST(ShortcutCleanUp, TargetsOfTheSuiteRecognisedByFileName) {
    const struct {
        std::string target;
        bool suite;
    } cases[] = {
        {"C:\\Program Files\\Velmora\\Corvina\\Corvset.exe", true},
        {"C:\\x\\CORVSET.EXE", true},
        {"C:\\x\\corvinaplus.exe", true},
        {"Corvset.exe", true},
        {"C:\\x\\Corvset.exe.lnk", false},
        {"C:\\x\\Corvina.dll", false},
        {"C:\\Corvset.exe\\other.exe", false},
        {"C:\\x\\MyCorvset.exe", false},
        {"", false},
        {"C:\\x\\", false},
        // After a two-byte character whose trail byte is 0x5C the name goes on.
        {"C:\\x\\\x95\x5C"
         "Corvset.exe",
         false},
        {"C:\\\x95\x5C\\Corvset.exe", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsSuiteShortcutTarget(c.target, IsCp932LeadByte), c.suite) << c.target;
    }
}

TEST(ShortcutCleanUp, FoldersListedOnceAndStartupFoldersKept) {
    Strings folders;
    const struct {
        std::string folder;
        size_t sizeAfter;
    } adds[] = {
        {"C:\\Start\\Corvina", 1}, {"c:\\start\\CORVINA", 1}, {"C:\\Start\\Other", 2},
        {"C:\\Start", 3},          {"C:\\START\\other", 3},   {"C:\\Start\\Corvina\\", 4},
    };
    for (const auto& a : adds) {
        AddFolderOnce(folders, a.folder);
        EXPECT_EQ(folders.size(), a.sizeAfter) << a.folder;
    }
    EXPECT_EQ(folders, (Strings{"C:\\Start\\Corvina", "C:\\Start\\Other", "C:\\Start",
                                "C:\\Start\\Corvina\\"}));

    // "ア" (0x83 0x41) and "ヂ" (0x83 0x61) differ only in a trail byte that reads as a
    // letter: they are different folders.
    Strings japanese;
    AddFolderOnce(japanese, "C:\\\x83\x41", IsCp932LeadByte);
    AddFolderOnce(japanese, "C:\\\x83\x61", IsCp932LeadByte);
    AddFolderOnce(japanese, "c:\\\x83\x41", IsCp932LeadByte);
    EXPECT_EQ(japanese, (Strings{"C:\\\x83\x41", "C:\\\x83\x61"}));

    const Strings startup = {"C:\\Users\\All\\Startup", "", "C:\\Me\\Startup"};
    const struct {
        std::string folder;
        bool kept;
    } kept[] = {
        {"C:\\Users\\All\\Startup", true},
        {"c:\\users\\all\\STARTUP", true},
        {"C:\\Me\\Startup", true},
        {"C:\\Users\\All", false},
        {"", false},
        {"C:\\Users\\All\\Startup\\Corvina", false},
    };
    for (const auto& k : kept) {
        EXPECT_EQ(IsKeptFolder(k.folder, startup), k.kept) << k.folder;
    }
    EXPECT_FALSE(IsKeptFolder("C:\\\x83\x61", {"C:\\\x83\x41"}, IsCp932LeadByte));
    EXPECT_TRUE(IsKeptFolder("c:\\\x83\x41", {"C:\\\x83\x41"}, IsCp932LeadByte));
}

TEST(KeyTree, SubtreesBeforeTheirKeysAndTheKeyLast) {
    const std::map<std::string, Strings> tree = {
        {"K", {"A", "B"}},
        {"K\\A", {"A1", "A2"}},
        {"K\\A\\A1", {"deep"}},
        {"K\\B", {}},
    };
    const auto subkeysOf = [&](const std::string& key) {
        const auto found = tree.find(key);
        return found == tree.end() ? Strings{} : found->second;
    };
    const struct {
        std::string key;
        Strings order;
    } cases[] = {
        {"K", {"K\\A\\A1\\deep", "K\\A\\A1", "K\\A\\A2", "K\\A", "K\\B", "K"}},
        {"K\\A", {"K\\A\\A1\\deep", "K\\A\\A1", "K\\A\\A2", "K\\A"}},
        {"K\\B", {"K\\B"}},
        {"Missing", {"Missing"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KeyTreeDeletionOrder(c.key, subkeysOf), c.order) << c.key;
    }
    // A listing that names a key inside itself ends instead of recursing for ever.
    const Strings endless =
        KeyTreeDeletionOrder("L", [](const std::string&) { return Strings{"L"}; });
    EXPECT_EQ(endless.back(), "L");
    EXPECT_GT(endless.size(), 1u);
}

TEST(TextComparison, AsciiCaseFoldedTwoByteCharactersExact) {
    const struct {
        std::string a, b;
        bool equal;
    } cases[] = {
        {"[rename]", "[Rename]", true},
        {"[rename]", "[RENAME]", true},
        {"[rename]", "[rename] ", false},
        {"abc", "abd", false},
        {"", "", true},
        {"\x83\x41", "\x83\x41", true},
        {"\x83\x41", "\x83\x61", false}, // trail byte 'A' vs 'a'
        {"x\x83\x41y", "X\x83\x41Y", true},
        {"\xE9"
         "A",
         "\xE9"
         "a",
         false}, // 0xE9 leads a two-byte character in code page 932
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EqualIgnoringAsciiCase(c.a, c.b, IsCp932LeadByte), c.equal) << c.a << '|' << c.b;
    }
    // In a single-byte code page the same bytes are three characters.
    EXPECT_TRUE(EqualIgnoringAsciiCase("\xE9"
                                       "A",
                                       "\xE9"
                                       "a",
                                       nullptr));
}

} // namespace
