#include "common/core/AnsiText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace corvina {
namespace {

bool NoLeadBytes(unsigned char) {
    return false;
}

// Shift-JIS: 日本語 = 93 FA 96 7B 8C EA; 表 = 95 5C (a backslash as its trail byte);
// ｱ = B1 (half-width katakana, one byte).
const std::string kNihongo = "\x93\xFA\x96\x7B\x8C\xEA";
const std::string kHyou = "\x95\x5C";

TEST(AnsiText, LeadByteTableOfCodePage932) {
    struct Case {
        unsigned char byte;
        bool lead;
    };
    const Case cases[] = {{0x00, false}, {0x41, false}, {0x5C, false}, {0x80, false},
                          {0x81, true},  {0x9F, true},  {0xA0, false}, {0xB1, false},
                          {0xDF, false}, {0xE0, true},  {0xFC, true},  {0xFD, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(IsCp932LeadByte(c.byte), c.lead) << int(c.byte);
    }
}

TEST(AnsiText, CutsAtCharacterBoundaries) {
    struct Case {
        const char* what;
        std::string text;
        size_t bufferSize;
        std::string expected;
    };
    const Case cases[] = {
        {"fits", "abc", 4, "abc"},
        {"plain cut", "abcdef", 4, "abc"},
        {"empty", "", 4, ""},
        {"buffer of one byte", "abc", 1, ""},
        {"double-byte fits", kNihongo, 7, kNihongo},
        {"cut would split the last character", kNihongo, 6, "\x93\xFA\x96\x7B"},
        {"cut would split the middle character", kNihongo, 4, "\x93\xFA"},
        {"cut after one byte of ASCII", "a" + kNihongo, 3, "a"},
        {"half-width katakana is one byte", "\xB1\xB2\xB3", 3, "\xB1\xB2"},
        {"lone lead byte at the end is dropped", "ab\x93", 10, "ab"},
        {"lone lead byte before the zero is dropped", std::string("ab\x93\0cd", 6), 10, "ab"},
        {"stops at an embedded zero", std::string("ab\0cd", 5), 10, "ab"},
        {"0x5C trail byte kept with its lead", kHyou + "x", 3, kHyou},
    };
    for (const Case& c : cases) {
        char buffer[16];
        std::memset(buffer, 'Z', sizeof(buffer));
        const size_t length = CopyAnsiText(c.text, buffer, c.bufferSize, IsCp932LeadByte);
        EXPECT_EQ(std::string(buffer, length), c.expected) << c.what;
        EXPECT_EQ(buffer[length], '\0') << c.what;
        EXPECT_EQ(buffer[c.bufferSize], 'Z') << c.what << ": wrote past the buffer";
    }
}

TEST(AnsiText, WithoutLeadBytesEveryByteIsACharacter) {
    const std::string text = "\x93\xFA\x96";
    EXPECT_EQ(AnsiPrefixLength(text, 2, NoLeadBytes), 2u);
    EXPECT_EQ(AnsiPrefixLength(text, 2, IsCp932LeadByte), 2u);
    EXPECT_EQ(AnsiPrefixLength(text, 3, IsCp932LeadByte), 2u);
    EXPECT_EQ(AnsiPrefixLength(text, 3, NoLeadBytes), 3u);
}

TEST(AnsiText, CopyIntoEmptyBufferWritesNothing) {
    char sentinel = 'Z';
    EXPECT_EQ(CopyAnsiText("abc", &sentinel, 0, IsCp932LeadByte), 0u);
    EXPECT_EQ(sentinel, 'Z');
}

TEST(AnsiText, ModuleFolder) {
    struct Case {
        std::string path;
        std::string expected;
    };
    const Case cases[] = {
        {"C:\\Program Files\\Corvina\\Corvina.dll", "C:\\Program Files\\Corvina\\"},
        {"C:\\Corvina.dll", "C:\\"},
        {"C:\\\\x.dll", "C:\\"},
        {"\\\\server\\share\\x.exe", "\\\\server\\share\\"},
        {"x.dll", ""},
        {"\\x.dll", "\\"},
        // 表 ends in 0x5C: not a backslash, so the folder ends before "表.dll".
        {"C:\\Apps\\" + kHyou + ".dll", "C:\\Apps\\"},
        {"C:\\" + kHyou + "\\a.exe", "C:\\" + kHyou + "\\"},
        {"C:\\" + kNihongo + "\\a.exe", "C:\\" + kNihongo + "\\"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ModuleFolderFromPath(c.path, IsCp932LeadByte), c.expected) << c.path;
    }
    // Where 0x95 is no lead byte, the same bytes do hold a backslash.
    EXPECT_EQ(ModuleFolderFromPath("C:\\Apps\\" + kHyou + ".dll", NoLeadBytes), "C:\\Apps\\\x95\\");
}

} // namespace
} // namespace corvina
