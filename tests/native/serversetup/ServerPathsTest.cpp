#include "serversetup/core/ServerPaths.h"

#include <gtest/gtest.h>

#include <string>

using corvina::FillPathPlaceholder;
using corvina::IsCp932LeadByte;
using corvina::ServerFolderFromPath;

namespace {

bool NoLeadBytes(unsigned char) {
    return false;
}

TEST(ServerFolder, FolderOfTheDllPath) {
    struct Case {
        std::string path;
        std::string expected;
    };
    const Case cases[] = {
        {"C:\\Program Files\\Corvina\\Corvina.dll", "C:\\Program Files\\Corvina"},
        {"C:\\a\\b\\c\\d.dll", "C:\\a\\b\\c"},
        {"X:\\Corvina.dll", "X:\\"},
        {"X:Corvina.dll", ""},
        {"Corvina.dll", ""},
        {"", ""},
        {"\\Corvina.dll", "\\"},
        {"\\\\server\\share\\Corvina.dll", "\\\\server\\share"},
        {"C:\\folder\\", "C:\\folder"},
        // Only the text before an embedded zero counts.
        {std::string("C:\\a\\x.dll\0\\b\\y.dll", 20), "C:\\a"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ServerFolderFromPath(c.path, IsCp932LeadByte), c.expected) << c.path;
        EXPECT_EQ(ServerFolderFromPath(c.path, nullptr), c.expected) << c.path;
    }
}

TEST(ServerFolder, TrailByte5CIsNotAFolderSeparator) {
    // "表" is 0x95 0x5C in Shift-JIS: C:\表\Corvina.dll and C:\ソフト表.dll
    const std::string nested = "C:\\\x95\x5C\\Corvina.dll";
    const std::string inRoot = "C:\\\x83\x5C\x83\x74\x83\x67\x95\x5C.dll";
    EXPECT_EQ(ServerFolderFromPath(nested, IsCp932LeadByte), "C:\\\x95\x5C");
    EXPECT_EQ(ServerFolderFromPath(inRoot, IsCp932LeadByte), "C:\\");
    // Read as a single-byte code page the same bytes hold one more backslash.
    EXPECT_EQ(ServerFolderFromPath(inRoot, NoLeadBytes), "C:\\\x83\x5C\x83\x74\x83\x67\x95");
    // A lead byte at the very end has no trail byte to skip.
    EXPECT_EQ(ServerFolderFromPath("C:\\a\\\x95", IsCp932LeadByte), "C:\\a");
}

TEST(PathPlaceholder, PathIsInsertedAsData) {
    struct Case {
        std::string pattern;
        std::string path;
        std::string expected;
    };
    const Case cases[] = {
        {"ERROR : dll file required for a setup is not found.\n(%s)", "C:\\x\\Corvina.dll",
         "ERROR : dll file required for a setup is not found.\n(C:\\x\\Corvina.dll)"},
        {"(%s)", "C:\\100%s\\%d%n%%\\Corvina.dll", "(C:\\100%s\\%d%n%%\\Corvina.dll)"},
        {"(%s)", "", "()"},
        {"%s", "a", "a"},
        {"no placeholder", "C:\\x", "no placeholder"},
        {"%s and %s", "P", "P and %s"},
        {"100%% (%s)", "P", "100%% (P)"},
        // Shift-JIS text around the placeholder and in the path.
        {"\x81\x77\x95\x5C\x81\x78\n(%s)", "C:\\\x95\x5C\\\x93\xFA.dll",
         "\x81\x77\x95\x5C\x81\x78\n(C:\\\x95\x5C\\\x93\xFA.dll)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FillPathPlaceholder(c.pattern, c.path), c.expected) << c.pattern;
    }
}

} // namespace
