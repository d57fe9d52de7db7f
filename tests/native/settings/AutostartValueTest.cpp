#include "settings/core/AutostartValue.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using corvina::BuildAutostartValue;
using corvina::EqualsIgnoringCase;
using corvina::IsOwnAutostartValue;
using corvina::QuoteCommandPath;

bool IsShiftJisLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

const char kProgram[] = "C:\\Program Files\\Corvina\\CorvinaPlus.exe";

TEST(AutostartValue, StoredEntriesAgainstTheProgramPath) {
    struct Case {
        const char* stored;
        bool ours;
    };
    const Case cases[] = {
        {"\"C:\\Program Files\\Corvina\\CorvinaPlus.exe\"", true},
        {"\"c:\\program files\\corvina\\CORVINAPLUS.EXE\"", true},
        {"C:\\Program Files\\Corvina\\CorvinaPlus.exe", false},        // without the quotes
        {"\"C:\\Program Files\\Corvina\\CorvinaPlus.exe", false},      // opening quote only
        {"C:\\Program Files\\Corvina\\CorvinaPlus.exe\"", false},      // closing quote only
        {"\"C:\\Program Files\\Corvina\\CorvinaPlus.exe\" ", false},   // trailing blank
        {"\"C:\\Program Files\\Corvina\\CorvinaPlus.exe\" /x", false}, // an argument
        {" \"C:\\Program Files\\Corvina\\CorvinaPlus.exe\"", false},   // leading blank
        {"\"C:\\Program Files\\Other\\CorvinaPlus.exe\"", false},      // another folder
        {"\"C:\\Program Files\\Corvina\\CorvinaPlus2.exe\"", false},   // another file
        {"\"D:\\Program Files\\Corvina\\CorvinaPlus.exe\"", false},    // another drive
        {"", false},
        {"\"\"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        EXPECT_EQ(IsOwnAutostartValue(c.stored, kProgram, nullptr), c.ours);
        EXPECT_EQ(IsOwnAutostartValue(c.stored, kProgram, IsShiftJisLeadByte), c.ours);
    }
}

TEST(AutostartValue, ValueIsAlwaysQuotedAndCommandLineOnlyWhenNeeded) {
    EXPECT_EQ(BuildAutostartValue(kProgram), std::string("\"") + kProgram + "\"");
    EXPECT_EQ(BuildAutostartValue(""), "\"\"");
    struct Case {
        const char* path;
        const char* command;
    };
    const Case cases[] = {
        {"C:\\A B\\CorvinaPlus.exe", "\"C:\\A B\\CorvinaPlus.exe\""},
        {"\"C:\\A B\\CorvinaPlus.exe\"", "\"C:\\A B\\CorvinaPlus.exe\""},
        {"C:\\x\"y.exe", "\"C:\\x\"y.exe\""},
        {"", "\"\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(QuoteCommandPath(c.path), c.command);
    }
}

TEST(AutostartValue, CaseFoldingLeavesTwoByteCharactersAlone) {
    // Shift-JIS: 0x83 0x41 and 0x83 0x61 are two different katakana; their second bytes are
    // the codes of 'A' and 'a'.
    const std::string first = "C:\\\x83\x41\\CorvinaPlus.exe";
    const std::string second = "c:\\\x83\x61\\corvinaplus.exe";
    const std::string sameFolder = "c:\\\x83\x41\\CORVINAPLUS.EXE";
    EXPECT_FALSE(EqualsIgnoringCase(first, second, IsShiftJisLeadByte));
    EXPECT_TRUE(EqualsIgnoringCase(first, sameFolder, IsShiftJisLeadByte));
    // Without a code page rule the bytes are plain letters.
    EXPECT_TRUE(EqualsIgnoringCase(first, second, nullptr));
    // The letters after a two-byte character still fold; a different lead byte does not match.
    EXPECT_TRUE(EqualsIgnoringCase("\x82\xA0x", "\x82\xA0X", IsShiftJisLeadByte));
    EXPECT_FALSE(EqualsIgnoringCase("\x82\xA0x", "\x83\xA0x", IsShiftJisLeadByte));
    // A lead byte at the very end cannot read past the text.
    EXPECT_TRUE(EqualsIgnoringCase("ab\x82", "AB\x82", IsShiftJisLeadByte));
    EXPECT_FALSE(EqualsIgnoringCase("ab", "abc", IsShiftJisLeadByte));
    // Only ASCII letters fold: '@' and '`' sit next to the letter ranges.
    EXPECT_FALSE(EqualsIgnoringCase("@", "`", nullptr));
    EXPECT_FALSE(EqualsIgnoringCase("[", "{", nullptr));
}

} // namespace
