#include "setup/core/RemovalRules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

TEST(RemovalRules, UninstallCommandQuotedAndReadInBothForms) {
    EXPECT_EQ(corvina::QuoteProgramPath("C:\\Program Files\\Velmora\\Corvina\\uninstall.exe"),
              "\"C:\\Program Files\\Velmora\\Corvina\\uninstall.exe\"");
    struct Case {
        const char* command;
        const char* path;
    };
    const Case cases[] = {
        {"\"C:\\Program Files\\Velmora\\Corvina\\uninstall.exe\"",
         "C:\\Program Files\\Velmora\\Corvina\\uninstall.exe"},
        // Older installations stored the path alone, blanks and all.
        {"C:\\Program Files\\Velmora\\Corvina\\uninstall.exe",
         "C:\\Program Files\\Velmora\\Corvina\\uninstall.exe"},
        {"  \"D:\\C\\uninstall.exe\" extra", "D:\\C\\uninstall.exe"},
        {"\"D:\\C\\uninstall.exe", "D:\\C\\uninstall.exe"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(corvina::ProgramPathFromCommand(c.command), c.path) << c.command;
    }
}

TEST(RemovalRules, DisplayNameCarriesTheProductVersion) {
    EXPECT_EQ(corvina::UninstallDisplayName(corvina::FileVersionFromFixed(0x00020003, 0x00000022)),
              "Corvina 2.03");
    EXPECT_EQ(corvina::UninstallDisplayName(corvina::FileVersionFromFixed(0x000A000C, 0)),
              "Corvina 10.12");
}

TEST(RemovalRules, OnlyTheRecordedInstallationIsRemoved) {
    const std::vector<std::string> recorded = {"", "C:\\Program Files\\Velmora\\Corvina"};
    struct Case {
        const char* argument;
        bool exists;
        bool suiteFiles;
        corvina::RemovalTarget target;
    };
    using corvina::RemovalTarget;
    const Case cases[] = {
        {"C:\\Program Files\\Velmora\\Corvina", true, true, RemovalTarget::Installation},
        {"  c:\\program files\\velmora\\CORVINA\\ ", true, true, RemovalTarget::Installation},
        {"\"C:\\Program Files\\Velmora\\Corvina\"", true, true, RemovalTarget::Installation},
        // What an unquoted entry handed over: the rest of the program's own path.
        {"Files\\Velmora\\Corvina\\uninstall.exe", false, false, RemovalTarget::NotAnInstallation},
        {"C:\\Program Files\\Velmora\\Corvina", true, false, RemovalTarget::NotAnInstallation},
        {"C:\\Program Files\\Velmora\\Corvina", false, true, RemovalTarget::NotAnInstallation},
        {"C:\\Program Files\\Velmora", true, true, RemovalTarget::NotAnInstallation},
        {"C:\\Program Files\\Velmora\\Corvina2", true, true, RemovalTarget::NotAnInstallation},
        {"", true, true, RemovalTarget::NotAnInstallation},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(corvina::DecideRemovalTarget(corvina::RemovalFolderArgument(c.argument), c.exists,
                                               recorded, c.suiteFiles, IsCp932LeadByte),
                  c.target)
            << c.argument << c.exists << c.suiteFiles;
    }
    EXPECT_EQ(corvina::DecideRemovalTarget("C:\\", true, {"C:\\"}, true, IsCp932LeadByte),
              RemovalTarget::Installation);
    EXPECT_EQ(corvina::DecideRemovalTarget("C:\\x", true, {}, true, IsCp932LeadByte),
              RemovalTarget::NotAnInstallation);
}

TEST(RemovalRules, OnlyTheTemporaryCopySchedulesItself) {
    struct Case {
        const char* program;
        bool copy;
    };
    const Case cases[] = {
        {"C:\\users\\u\\Temp\\tmpCorvina00000000.tmp", true},
        {"c:\\USERS\\U\\TEMP\\TMPCORVINA0000ABCF.TMP", true},
        {"C:\\users\\u\\Temp\\tmpCorvina0000000.tmp", false},
        {"C:\\users\\u\\Temp\\tmpCorvina0000000G.tmp", false},
        {"C:\\users\\u\\Temp\\tmpCorvina00000000.exe", false},
        {"C:\\users\\u\\Temp\\sub\\tmpCorvina00000000.tmp", false},
        {"C:\\Program Files\\Velmora\\Corvina\\uninstall.exe", false},
        {"C:\\Package\\Uninstall.exe", false},
        {"tmpCorvina00000000.tmp", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(corvina::IsTemporaryCopy(c.program, "C:\\users\\u\\Temp\\", IsCp932LeadByte),
                  c.copy)
            << c.program;
    }
}

} // namespace
