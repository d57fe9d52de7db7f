#include "common/core/MenuCharMatch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvina {
namespace {

bool NoLeadBytes(unsigned char) {
    return false;
}

const MenuKeyText kAscii = {NoLeadBytes, MenuKeyCodePage::Other};
const MenuKeyText kWestern = {NoLeadBytes, MenuKeyCodePage::Western};
const MenuKeyText kShiftJis = {IsCp932LeadByte, MenuKeyCodePage::ShiftJis};

// Shift-JIS: 日本 = 93 FA 96 7B; 表 = 95 5C (a backslash as trail byte); ａ = 82 81,
// Ａ = 82 60; α = 83 BF, Α = 83 9F; я = 84 91, Я = 84 60; о = 84 80, О = 84 4F;
// ｱ = B1 (half-width katakana, one byte).
const std::string kNichi = "\x93\xFA";
const std::string kHon = "\x96\x7B";
const std::string kHyou = "\x95\x5C";

std::vector<MenuKeyEntry> Entries(const std::vector<std::string>& labels) {
    std::vector<MenuKeyEntry> entries;
    for (const std::string& label : labels) {
        MenuKeyEntry entry;
        entry.label = label;
        entry.choosable = !label.empty();
        entries.push_back(entry);
    }
    return entries;
}

TEST(MenuCharMatch, PicksTheNextEntryStartingWithTheCharacter) {
    // Position 1 stands for the separator after "Open".
    const std::vector<std::string> labels = {"Open",      "",      "alpha", "Beta",
                                             "apple.txt", "b.txt", "Mid",   "avocado"};
    const std::vector<MenuKeyEntry> entries = Entries(labels);
    struct Case {
        const char* what;
        std::string typed;
        int current;
        MenuKeyAction action;
        int index;
    };
    const Case cases[] = {
        {"first match from nothing highlighted", "a", -1, MenuKeyAction::Select, 2},
        {"next after the highlighted one", "a", 2, MenuKeyAction::Select, 4},
        {"next skips other letters", "a", 4, MenuKeyAction::Select, 7},
        {"wraps to the first", "a", 7, MenuKeyAction::Select, 2},
        {"highlight on another letter", "a", 5, MenuKeyAction::Select, 7},
        {"upper case types lower-case labels", "A", 3, MenuKeyAction::Select, 4},
        {"lower case types upper-case labels", "b", -1, MenuKeyAction::Select, 3},
        {"two b entries wrap too", "b", 5, MenuKeyAction::Select, 3},
        {"one entry is executed", "m", -1, MenuKeyAction::Execute, 6},
        {"executed whatever is highlighted", "o", 6, MenuKeyAction::Execute, 0},
        {"no entry", "z", 3, MenuKeyAction::Ignore, -1},
        {"no character", "", 3, MenuKeyAction::Ignore, -1},
        {"a separator never matches", std::string(1, '\0'), -1, MenuKeyAction::Ignore, -1},
    };
    for (const Case& c : cases) {
        const MenuKeyChoice choice = ChooseMenuEntryByKey(entries, c.typed, c.current, kAscii);
        EXPECT_EQ(choice.action, c.action) << c.what;
        EXPECT_EQ(choice.index, c.index) << c.what;
    }
}

TEST(MenuCharMatch, DoubleByteLabelsAndCaseFolding) {
    struct Case {
        const char* what;
        std::vector<std::string> labels;
        std::string typed;
        int current;
        MenuKeyText text;
        MenuKeyAction action;
        int index;
    };
    const Case cases[] = {
        {"a double-byte first character",
         {kHon + "x", kNichi + "a", kNichi + "b"},
         kNichi,
         1,
         kShiftJis,
         MenuKeyAction::Select,
         2},
        {"its lead byte alone is not that character",
         {kNichi + kHon},
         "\x93",
         -1,
         kShiftJis,
         MenuKeyAction::Ignore,
         -1},
        {"a trail byte is no character of its own",
         {kHyou + "x", "\\y"},
         "\\",
         -1,
         kShiftJis,
         MenuKeyAction::Execute,
         1},
        {"the second character does not count",
         {"x" + kNichi},
         kNichi,
         -1,
         kShiftJis,
         MenuKeyAction::Ignore,
         -1},
        {"full-width letters fold",
         {"\x82\x60"
          "bc",
          "\x82\x81"
          "de"},
         "\x82\x81",
         0,
         kShiftJis,
         MenuKeyAction::Select,
         1},
        {"full-width and ASCII stay apart",
         {"a.txt", "\x82\x81"},
         "a",
         -1,
         kShiftJis,
         MenuKeyAction::Execute,
         0},
        {"Greek folds", {"\x83\x9F"}, "\x83\xBF", -1, kShiftJis, MenuKeyAction::Execute, 0},
        {"Cyrillic before the gap folds",
         {"\x84\x4F"},
         "\x84\x80",
         -1,
         kShiftJis,
         MenuKeyAction::Execute,
         0},
        {"Cyrillic after the gap folds",
         {"\x84\x60"},
         "\x84\x91",
         -1,
         kShiftJis,
         MenuKeyAction::Execute,
         0},
        {"half-width katakana is one byte",
         {"\xB1\xB2", kNichi},
         "\xB1",
         -1,
         kShiftJis,
         MenuKeyAction::Execute,
         0},
        {"a lone lead byte at the end is one character",
         {"\x93"},
         "\x93",
         -1,
         kShiftJis,
         MenuKeyAction::Execute,
         0},
        {"Western accented letters fold",
         {"\xC9t\xE9", "\xE9t\xE9"},
         "\xE9",
         0,
         kWestern,
         MenuKeyAction::Select,
         1},
        {"Western caron and diaeresis",
         {"\x8A", "\x9F"},
         "\xFF",
         -1,
         kWestern,
         MenuKeyAction::Execute,
         1},
        {"division sign is no letter", {"\xD7"}, "\xF7", -1, kWestern, MenuKeyAction::Ignore, -1},
        {"Western bytes are left alone elsewhere",
         {"\xC9"},
         "\xE9",
         -1,
         kAscii,
         MenuKeyAction::Ignore,
         -1},
    };
    for (const Case& c : cases) {
        const MenuKeyChoice choice =
            ChooseMenuEntryByKey(Entries(c.labels), c.typed, c.current, c.text);
        EXPECT_EQ(choice.action, c.action) << c.what;
        EXPECT_EQ(choice.index, c.index) << c.what;
    }
}

TEST(MenuCharMatch, AmpersandMnemonicsComeFirstWherePrefixesAreDrawn) {
    struct Case {
        const char* what;
        std::vector<std::string> labels;
        bool prefix;
        std::string typed;
        MenuKeyAction action;
        int index;
    };
    const Case cases[] = {
        {"the mnemonic wins over first characters",
         {"Copy", "Paste", "&Copy", "Cut"},
         true,
         "c",
         MenuKeyAction::Execute,
         2},
        {"an inner mnemonic", {"Se&ttings", "Tools"}, true, "t", MenuKeyAction::Execute, 0},
        {"without a mnemonic the first character",
         {"Se&ttings", "Save"},
         true,
         "s",
         MenuKeyAction::Select,
         0},
        {"a leading mnemonic is the first character",
         {"&Open", "Other"},
         true,
         "o",
         MenuKeyAction::Execute,
         0},
        {"a doubled ampersand is no mnemonic",
         {"R&&D", "Red"},
         true,
         "d",
         MenuKeyAction::Ignore,
         -1},
        {"a doubled ampersand shows first", {"&&Co", "Co"}, true, "&", MenuKeyAction::Execute, 0},
        {"a double-byte mnemonic",
         {"x(&" + kNichi + ")", kNichi},
         true,
         kNichi,
         MenuKeyAction::Execute,
         0},
        {"labels drawn as they are", {"R&D notes", "Dates"}, false, "d", MenuKeyAction::Execute, 1},
        {"their ampersand is an ordinary first character",
         {"&more", "mail"},
         false,
         "&",
         MenuKeyAction::Execute,
         0},
    };
    for (const Case& c : cases) {
        std::vector<MenuKeyEntry> entries = Entries(c.labels);
        for (MenuKeyEntry& entry : entries) {
            entry.ampersandPrefix = c.prefix;
        }
        const MenuKeyChoice choice = ChooseMenuEntryByKey(entries, c.typed, -1, kShiftJis);
        EXPECT_EQ(choice.action, c.action) << c.what;
        EXPECT_EQ(choice.index, c.index) << c.what;
    }
}

TEST(MenuCharMatch, FirstCharacterAndMnemonicOfOneLabel) {
    struct Case {
        std::string label;
        std::string first;
        std::string mnemonic;
    };
    const Case cases[] = {
        {"", "", ""},
        {"abc", "a", ""},
        {kNichi + "a", kNichi, ""},
        {"\x93", "\x93", ""},
        {std::string("\0a", 2), "", ""},
        {"a&" + kHon, "a", kHon},
        {kHyou + "&x", kHyou, "x"}, // the 0x5C trail byte is not looked at as a character
        {"a&&b&c", "a", "c"},
        {"end&", "e", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(std::string(FirstMenuCharacter(c.label, IsCp932LeadByte)), c.first) << c.label;
        EXPECT_EQ(std::string(AmpersandMnemonic(c.label, IsCp932LeadByte)), c.mnemonic) << c.label;
    }
}

} // namespace
} // namespace corvina
