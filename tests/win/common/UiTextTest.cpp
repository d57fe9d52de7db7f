#include "TestSupport.h"

#include "common/ModulePaths.h"
#include "common/UiText.h"
#include "framework/AnsiWide.h"

#include <cstring>

namespace {

TEST(UiText, JapaneseExactlyOnTheJapaneseSystem) {
    EXPECT_EQ(IsJapaneseUi() != FALSE, IsJapaneseRun());
}

TEST(UiText, BuiltTextBytesFollowTheSystem) {
    struct Case {
        BilingualText text;
        const char* japaneseBytes;
        const char* english;
    };
    const Case cases[] = {
        {{L"日本語", "Japanese"}, "\x93\xFA\x96\x7B\x8C\xEA", "Japanese"},
        // Ideographic space and a 0x5C trail byte (表).
        {{L"表示　", "Show "}, "\x95\x5C\x8E\xA6\x81\x40", "Show "},
        {{L"設定(&O)...", "&Options..."}, "\x90\xDD\x92\xE8(&O)...", "&Options..."},
        {{L"", "empty"}, "", "empty"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BuildText(c.text), IsJapaneseRun() ? c.japaneseBytes : c.english);
    }
}

TEST(UiText, CopiesCutAtCharacterBoundariesOfTheSystemCodePage) {
    const std::string nihongo = "\x93\xFA\x96\x7B\x8C\xEA";
    char buffer[8];
    std::memset(buffer, 'Z', sizeof(buffer));
    const size_t length = CopyAnsiTextToBuffer(nihongo, buffer, 6);
    // On code page 932 the third character does not fit whole; on 1252 every byte is one.
    EXPECT_EQ(std::string(buffer, length),
              IsJapaneseRun() ? "\x93\xFA\x96\x7B" : "\x93\xFA\x96\x7B\x8C");
    EXPECT_EQ(buffer[length], '\0');
    EXPECT_EQ(buffer[6], 'Z');
}

TEST(AnsiWide, ConvertsThroughTheSystemCodePage) {
    struct Case {
        std::wstring wide;
        std::string japaneseBytes; // code page 932
        std::string englishBytes;  // code page 1252
    };
    const Case cases[] = {
        {L"Open", "Open", "Open"},
        {L"", "", ""},
        // A 0x5C trail byte (表); code page 1252 has neither character.
        {L"表示", "\x95\x5C\x8E\xA6", "??"},
        {std::wstring(L"a\0b", 3), std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const Case& c : cases) {
        const std::string& bytes = IsJapaneseRun() ? c.japaneseBytes : c.englishBytes;
        EXPECT_EQ(WideToAnsi(c.wide), bytes);
        if (bytes.find('?') == std::string::npos) {
            EXPECT_EQ(AnsiToWide(bytes), c.wide) << "round trip";
        }
    }
    EXPECT_EQ(WideToAnsi(static_cast<const wchar_t*>(nullptr)), "");
    EXPECT_EQ(AnsiToWide(static_cast<const char*>(nullptr)), L"");
}

TEST(ModulePaths, FolderAndSiblingOfAModule) {
    char path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
    std::string expected(path);
    expected.erase(expected.rfind('\\') + 1);
    EXPECT_EQ(GetModuleFolder(nullptr), expected);
    EXPECT_EQ(GetSiblingPath(nullptr, "Corvset.exe"), expected + "Corvset.exe");

    char system[MAX_PATH] = {};
    ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
    const std::string kernelFolder = GetModuleFolder(GetModuleHandleA("kernel32.dll"));
    EXPECT_EQ(lstrcmpiA(kernelFolder.c_str(), (std::string(system) + "\\").c_str()), 0)
        << kernelFolder;
}

} // namespace
