#include "common/core/MenuCharMatch.h"
#include "common/core/WideText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvina {
namespace {

// ASCII letters only, as a stand-in for the system's upper-casing.
std::u16string FoldAscii(std::u16string_view character) {
    std::u16string folded(character);
    for (char16_t& unit : folded) {
        if (unit >= u'a' && unit <= u'z') {
            unit = static_cast<char16_t>(unit - 0x20);
        }
    }
    return folded;
}

// 한 (U+D55C), 글 (U+AE00), 😀 (U+1F600 = D83D DE00), 日 (U+65E5).
const std::u16string kHan = u"\uD55C";
const std::u16string kGeul = u"\uAE00";
const std::u16string kGrin = u"\U0001F600";
const std::u16string kGrinning = u"\U0001F601"; // D83D DE01: same high half, other character

TEST(WideMenuText, TypedCharactersPickWideLabels) {
    const std::vector<std::u16string> labels = {u"Open",
                                                u"",
                                                kHan + kGeul + u" folder",
                                                kGrin + u".txt",
                                                u"\u65E5\u672C" + kHan,
                                                kHan + u".txt",
                                                u"&" + kGeul,
                                                kGrinning + u"x"};
    std::vector<WideMenuKeyEntry> entries;
    for (const std::u16string& label : labels) {
        WideMenuKeyEntry entry;
        entry.label = label;
        entry.choosable = !label.empty();
        entry.ampersandPrefix = label[0] == u'&';
        entries.push_back(entry);
    }
    struct Case {
        const char* what;
        std::u16string typed;
        int current;
        MenuKeyAction action;
        int index;
    };
    const Case cases[] = {
        {"a Hangul initial selects the first", kHan, -1, MenuKeyAction::Select, 2},
        {"and then the next", kHan, 2, MenuKeyAction::Select, 5},
        {"a mixed name starts with its Japanese character", u"\u65E5", -1, MenuKeyAction::Execute,
         4},
        {"an emoji is both halves of its pair", kGrin, -1, MenuKeyAction::Execute, 3},
        {"a character sharing only the high half", kGrinning, -1, MenuKeyAction::Execute, 7},
        {"an ampersand mnemonic in Hangul", kGeul, -1, MenuKeyAction::Execute, 6},
        {"ASCII folds", u"o", 3, MenuKeyAction::Execute, 0},
        {"nothing starts with it", u"\uC548", -1, MenuKeyAction::Ignore, -1},
        {"no character typed", u"", -1, MenuKeyAction::Ignore, -1},
    };
    for (const Case& c : cases) {
        const MenuKeyChoice choice =
            ChooseWideMenuEntryByKey(entries, c.typed, c.current, FoldAscii);
        EXPECT_EQ(choice.action, c.action) << c.what;
        EXPECT_EQ(choice.index, c.index) << c.what;
    }
}

TEST(WideMenuText, CutsAndSplitsKeepSurrogatePairsWhole) {
    const std::u16string text = u"ab" + kGrin + u"c";
    struct Case {
        size_t maxUnits;
        size_t length;
    };
    for (const Case& c : {Case{0, 0}, Case{2, 2}, Case{3, 2}, Case{4, 4}, Case{9, 5}}) {
        EXPECT_EQ(WidePrefixLength(text, c.maxUnits), c.length) << c.maxUnits;
    }
    EXPECT_EQ(WidePrefixLength(std::u16string(u"ab\0cd", 5), 9), 2u);
    EXPECT_EQ(FirstWideCharacter(kGrin + u"x"), kGrin);
    const std::u16string lone(1, char16_t{0xD83D});
    EXPECT_EQ(FirstWideCharacter(lone + u"x"), lone); // a lone half is one unit

    const std::u16string tabbed = kHan + u"\t" + kGrin;
    const WideLabelParts parts = SplitWideMenuLabel(tabbed);
    EXPECT_TRUE(parts.hasTab);
    EXPECT_EQ(parts.left, kHan);
    EXPECT_EQ(parts.right, kGrin);
    EXPECT_FALSE(SplitWideMenuLabel(kHan).hasTab);
}

} // namespace
} // namespace corvina
