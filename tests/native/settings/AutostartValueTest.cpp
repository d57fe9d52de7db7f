#include "settings/core/AutostartValue.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

using corvina::BuildAutostartValue;
using corvina::IsOwnAutostartValue;
using corvina::QuoteCommandPath;

// Stand-ins for the system's comparison: the rule must leave letter case to it alone.
bool Exactly(std::string_view left, std::string_view right) {
    return left == right;
}

bool FoldingAscii(std::string_view left, std::string_view right) {
    auto fold = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
    if (left.size() != right.size()) {
        return false;
    }
    for (size_t i = 0; i < left.size(); ++i) {
        if (fold(left[i]) != fold(right[i])) {
            return false;
        }
    }
    return true;
}

const char kProgram[] = "C:\\Program Files\\Corvina\\CorvinaPlus.exe";

TEST(AutostartValue, StoredEntriesAgainstTheProgramPath) {
    struct Case {
        const char* stored;
        bool ours;
        bool oursWhenCaseCounts;
    };
    const Case cases[] = {
        {"\"C:\\Program Files\\Corvina\\CorvinaPlus.exe\"", true, true},
        {"\"c:\\program files\\corvina\\CORVINAPLUS.EXE\"", true, false},
        {"C:\\Program Files\\Corvina\\CorvinaPlus.exe", false, false},        // without the quotes
        {"\"C:\\Program Files\\Corvina\\CorvinaPlus.exe", false, false},      // opening quote only
        {"C:\\Program Files\\Corvina\\CorvinaPlus.exe\"", false, false},      // closing quote only
        {"\"C:\\Program Files\\Corvina\\CorvinaPlus.exe\" ", false, false},   // trailing blank
        {"\"C:\\Program Files\\Corvina\\CorvinaPlus.exe\" /x", false, false}, // an argument
        {" \"C:\\Program Files\\Corvina\\CorvinaPlus.exe\"", false, false},   // leading blank
        {"\"C:\\Program Files\\Other\\CorvinaPlus.exe\"", false, false},      // another folder
        {"\"C:\\Program Files\\Corvina\\CorvinaPlus2.exe\"", false, false},   // another file
        {"\"D:\\Program Files\\Corvina\\CorvinaPlus.exe\"", false, false},    // another drive
        {"", false, false},
        {"\"\"", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        EXPECT_EQ(IsOwnAutostartValue(c.stored, kProgram, FoldingAscii), c.ours);
        EXPECT_EQ(IsOwnAutostartValue(c.stored, kProgram, Exactly), c.oursWhenCaseCounts);
        EXPECT_FALSE(IsOwnAutostartValue(c.stored, kProgram, nullptr));
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

} // namespace
