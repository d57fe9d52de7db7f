#include "setup/core/InstallDecisions.h"

#include <gtest/gtest.h>

namespace corvina {
namespace {

FileVersion V(uint16_t a, uint16_t b, uint16_t c, uint16_t d) {
    FileVersion v;
    v.part[0] = a;
    v.part[1] = b;
    v.part[2] = c;
    v.part[3] = d;
    return v;
}

TEST(InstallDecisionsTest, ThePackageListEndsWithTheProgramWhoseVersionCounts) {
    const std::vector<std::string> expected = {"Readme.txt",      "Corvset.exe",
                                               "Corvina.dll",     "CorvinaBar.dll",
                                               "CorvinaPlus.exe", "Uninstall.exe"};
    EXPECT_EQ(PackageFileNames(), expected);
}

TEST(InstallDecisionsTest, TheVersionComparisonDecidesWhetherToInstall) {
    const struct {
        FileVersion package;
        FileVersion installed;
        InstallVerdict verdict;
    } cases[] = {
        {V(2, 3, 0, 34), V(0, 0, 0, 0), InstallVerdict::WaitForTheUser},
        {V(2, 3, 0, 34), V(2, 3, 0, 34), InstallVerdict::AskReinstall},
        {V(2, 3, 0, 34), V(2, 3, 0, 35), InstallVerdict::Refuse},
        {V(2, 3, 0, 34), V(2, 2, 9, 99), InstallVerdict::WaitForTheUser},
        {V(2, 3, 0, 34), V(3, 0, 0, 0), InstallVerdict::Refuse},
        {V(0, 0, 0, 0), V(0, 0, 0, 0), InstallVerdict::AskReinstall},
        {V(1, 0, 0, 0), V(0, 65535, 65535, 65535), InstallVerdict::WaitForTheUser},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecideInstall(c.package, c.installed), c.verdict);
    }
}

TEST(InstallDecisionsTest, NamesInAFolderGetOneBackslash) {
    const struct {
        const char* folder;
        const char* name;
        LeadBytePredicate isLead;
        const char* expected;
    } cases[] = {
        {"C:\\Corvina", "Corvset.exe", IsCp932LeadByte, "C:\\Corvina\\Corvset.exe"},
        {"C:\\", "Corvset.exe", IsCp932LeadByte, "C:\\Corvset.exe"},
        {"D:\\Tools\\Corvina\\", "x", IsCp932LeadByte, "D:\\Tools\\Corvina\\x"},
        // "表" is 0x95 0x5C: its trail byte is not a separator.
        {"C:\\\x95\x5C", "x", IsCp932LeadByte, "C:\\\x95\x5C\\x"},
        {"C:\\\x95\x5C", "x", nullptr, "C:\\\x95\x5Cx"},
        {"", "x", IsCp932LeadByte, "x"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PathInFolder(c.folder, c.name, c.isLead), c.expected) << c.folder;
    }
}

} // namespace
} // namespace corvina
