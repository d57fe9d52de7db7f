#include "resident/core/ResidentOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvina {
namespace {

TEST(ResidentOptions, ModifiersConvertToRegistrationForm) {
    const struct {
        uint8_t control;
        uint32_t registration;
    } cases[] = {
        {0, 0}, {1, 4}, {2, 2}, {4, 1},  {6, 3},    {7, 7},
        {3, 6}, {5, 5}, {8, 0}, {14, 3}, {0xF0, 0}, {0xFF, 7},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ToRegistrationModifiers(c.control), c.registration)
            << "modifiers " << int(c.control);
    }
}

TEST(ResidentOptions, HotKeyIdentifierIsFlagsTimes256PlusKey) {
    EXPECT_EQ(HotKeyIdentifier(3, 'Q'), 3 * 256 + 81);
    EXPECT_EQ(HotKeyIdentifier(0, 0), 0);
    EXPECT_EQ(HotKeyIdentifier(7, 0xFF), 7 * 256 + 255);
    EXPECT_NE(HotKeyIdentifier(1, 'Q'), HotKeyIdentifier(2, 'Q'));
}

TEST(ResidentOptions, HookMessageNeedsTheKeyAndExactlyTheConfiguredModifiers) {
    struct Case {
        uintptr_t reported;
        uint8_t modifiers;
        bool alt, ctrl, shift;
        bool match;
    };
    const Case cases[] = {
        {'Q', 6, true, true, false, true},
        {'Q', 6, true, true, true, false},   // Shift too many
        {'Q', 6, true, false, false, false}, // Ctrl missing
        {'Q', 6, false, true, false, false}, // Alt missing
        {'W', 6, true, true, false, false},  // other key
        {'Q' + 0x100, 6, true, true, false, false},
        {'Q', 0, false, false, false, true},
        {'Q', 1, false, false, true, true},
        {'Q', 14, true, true, false, true}, // extended bit is no modifier
        {'Q', 8, false, false, false, true},
        {'Q', 7, true, true, true, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsHookKeyMatch(c.reported, 'Q', c.modifiers, c.alt, c.ctrl, c.shift), c.match)
            << "key " << c.reported << " modifiers " << int(c.modifiers) << " alt " << c.alt
            << " ctrl " << c.ctrl << " shift " << c.shift;
    }
}

TEST(DecoratedMenu, EntriesAreMeasuredFromTheirText) {
    const struct {
        bool separator;
        int width, height, bar;
        DecoratedSize size;
    } cases[] = {
        {true, 100, 13, 19, {0, 9}},   {true, 0, 0, 20, {0, 10}},     {false, 50, 13, 19, {86, 20}},
        {false, 50, 16, 19, {86, 20}}, {false, 50, 17, 19, {86, 22}}, {false, 0, 20, 19, {36, 24}},
        {false, 7, 19, 19, {43, 24}},
    };
    for (const auto& c : cases) {
        const DecoratedSize size = MeasureDecoratedEntry(c.separator, c.width, c.height, c.bar);
        EXPECT_EQ(size.width, c.size.width) << c.width << "x" << c.height;
        EXPECT_EQ(size.height, c.size.height) << c.width << "x" << c.height;
    }
}

TEST(DecoratedMenu, MenuCharacterExecutesSelectsOrDefaults) {
    const std::vector<std::string> labels = {"&Open", "Sett&ings", "",           "&Other",
                                             "E&xit", "&&Plain",   "&open again"};
    struct Case {
        char typed;
        int highlighted;
        MenuCharAction action;
        int index;
    };
    const Case cases[] = {
        {'x', -1, MenuCharAction::Execute, 4},
        {'X', 2, MenuCharAction::Execute, 4},
        {'i', -1, MenuCharAction::Execute, 1},
        {'o', -1, MenuCharAction::Select, 0},
        {'o', 0, MenuCharAction::Select, 3},
        {'O', 3, MenuCharAction::Select, 6},
        {'o', 6, MenuCharAction::Select, 0}, // wraps
        {'o', 4, MenuCharAction::Select, 6},
        {'p', -1, MenuCharAction::Default, -1}, // "&&" is no mnemonic
        {'&', -1, MenuCharAction::Default, -1},
        {'z', -1, MenuCharAction::Default, -1},
        {'\0', -1, MenuCharAction::Default, -1},
    };
    for (const Case& c : cases) {
        const MenuCharResult result = ResolveMenuChar(labels, c.typed, c.highlighted);
        EXPECT_EQ(result.action, c.action) << "typed " << c.typed << " from " << c.highlighted;
        EXPECT_EQ(result.index, c.index) << "typed " << c.typed << " from " << c.highlighted;
    }
}

TEST(DecoratedMenu, JapaneseLabelsMatchTheirBracketedMnemonic) {
    // Shift-JIS bytes of the icon menu's labels; no trail byte of that code page is '&'.
    const std::vector<std::string> labels = {
        "\x90\xdd\x92\xe8(&O)...", "\x83o\x81[\x83W\x83\x87\x83\x93\x8f\xee\x95\xf1(&A)...", "",
        "\x8fI\x97\xb9(&X)"};
    EXPECT_EQ(ResolveMenuChar(labels, 'a', -1).index, 1);
    EXPECT_EQ(ResolveMenuChar(labels, 'x', -1).action, MenuCharAction::Execute);
    EXPECT_EQ(ResolveMenuChar(labels, 'q', -1).action, MenuCharAction::Default);
}

TEST(DecoratedMenu, MnemonicsAreStrippedForDrawing) {
    EXPECT_EQ(StripMenuMnemonics("E&xit"), "Exit");
    EXPECT_EQ(StripMenuMnemonics("Fish && Chips"), "Fish & Chips");
    EXPECT_EQ(StripMenuMnemonics("&&&A"), "&A");
    EXPECT_EQ(StripMenuMnemonics("Trailing&"), "Trailing");
    EXPECT_EQ(StripMenuMnemonics(""), "");
}

TEST(DecoratedMenu, ToolbarResourceGivesTheCommandOfEachImage) {
    const uint8_t ours[] = {1, 0, 16, 0, 15, 0, 2, 0, 0x40, 0xE1, 0x41, 0xE1};
    const auto commands = ParseToolbarCommands(ours, sizeof ours);
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(ToolbarImageIndex(commands, 57664), 0);
    EXPECT_EQ(ToolbarImageIndex(commands, 57665), 1);
    EXPECT_EQ(ToolbarImageIndex(commands, 32773), -1);

    const uint8_t withSeparator[] = {1, 0, 16, 0, 15, 0, 3, 0, 1, 0, 0, 0, 2, 0};
    const auto separated = ParseToolbarCommands(withSeparator, sizeof withSeparator);
    ASSERT_EQ(separated.size(), 2u);
    EXPECT_EQ(ToolbarImageIndex(separated, 2), 1);

    const uint8_t truncated[] = {1, 0, 16, 0, 15, 0, 3, 0, 1, 0};
    EXPECT_TRUE(ParseToolbarCommands(truncated, sizeof truncated).empty());
    const uint8_t otherVersion[] = {2, 0, 16, 0, 15, 0, 1, 0, 1, 0};
    EXPECT_TRUE(ParseToolbarCommands(otherVersion, sizeof otherVersion).empty());
    EXPECT_TRUE(ParseToolbarCommands(nullptr, 0).empty());
}

} // namespace
} // namespace corvina
