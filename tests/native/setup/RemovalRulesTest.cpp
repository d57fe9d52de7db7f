#include "setup/core/RemovalRules.h"

#include <gtest/gtest.h>

#include <string>

using corvina::DecideFileRemoval;
using corvina::FileRemoval;
using corvina::IsCp932LeadByte;

namespace {

TEST(RemovalRules, TrailingBackslashIsACharacterNotATrailByte) {
    struct Case {
        const char* text;
        bool ends;
    };
    const Case cases[] = {
        {"", false},
        {"C:\\", true},
        {"C:\\Corvina", false},
        {"C:\\Corvina\\", true},
        // "ソ" is 0x83 0x5C in Shift-JIS: its trail byte is no separator.
        {"C:\\\x83\x5C", false},
        {"C:\\\x83\x5C\\", true},
        // A lead byte at the very end has no trail byte: it is a character of its own.
        {"C:\\\x83", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(corvina::EndsWithBackslash(c.text, IsCp932LeadByte), c.ends) << c.text;
    }
    // Without a lead-byte test every 0x5C is a backslash.
    EXPECT_TRUE(corvina::EndsWithBackslash("C:\\\x83\x5C", nullptr));
}

TEST(RemovalRules, RelaunchFolderLosesItsBackslashUnlessADriveRoot) {
    struct Case {
        const char* folder;
        const char* argument;
    };
    const Case cases[] = {
        {"C:\\Program Files\\Velmora\\Corvina\\", "C:\\Program Files\\Velmora\\Corvina"},
        {"D:\\Corvina", "D:\\Corvina"},
        {"C:\\", "C:\\"},
        {"C:\\\x83\x5C\\", "C:\\\x83\x5C"},
        {"C:\\\x83\x5C", "C:\\\x83\x5C"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(corvina::RelaunchFolderArgument(c.folder, IsCp932LeadByte), c.argument)
            << c.folder;
    }
}

TEST(RemovalRules, OnlyAFileStillThereWaitsForTheRestart) {
    struct Case {
        bool deleted;
        bool stillPresent;
        FileRemoval removal;
    };
    const Case cases[] = {
        {true, false, FileRemoval::Removed},
        // Gone before the removal began: nothing to schedule and no restart to ask for.
        {false, false, FileRemoval::Removed},
        {false, true, FileRemoval::ScheduleForRestart},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecideFileRemoval(c.deleted, c.stillPresent), c.removal)
            << c.deleted << c.stillPresent;
    }
}

TEST(RemovalRules, FilesGoInDeletionOrder) {
    const std::string expected[] = {"Corvset.exe",    "Corvina.dll", "CorvinaPlus.exe",
                                    "CorvinaBar.dll", "Readme.txt",  "uninstall.exe"};
    for (size_t i = 0; i < corvina::kRemovalFileCount; ++i) {
        EXPECT_EQ(corvina::kRemovalFiles[i], expected[i]) << i;
    }
}

} // namespace
