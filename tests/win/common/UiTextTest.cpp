#include "TestSupport.h"

#include "common/ModulePaths.h"
#include "common/UiText.h"

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
