#include "band/core/TooltipText.h"

#include <gtest/gtest.h>

#include <string>

namespace corvina {
namespace {

TEST(TooltipText, NameAndInfoTipCutToTheBuffer) {
    const std::u16string longName(1100, u'a');
    const std::u16string pair = u"\U0001F600"; // two units
    struct Case {
        const char* what;
        std::u16string name;
        std::u16string tip;
        size_t buffer;
        std::u16string expected;
    } cases[] = {
        {"name only", u"Windows", u"", kTooltipBufferUnits, u"Windows"},
        {"name and tip", u"Windows", u"Size: 1 KB", kTooltipBufferUnits, u"Windows\nSize: 1 KB"},
        {"empty name", u"", u"Type: Folder", kTooltipBufferUnits, u"\nType: Folder"},
        {"nothing", u"", u"", kTooltipBufferUnits, u""},
        {"long name", longName, u"", kTooltipBufferUnits, std::u16string(1023, u'a')},
        {"tip past the cut", std::u16string(1020, u'b'), u"xyz!", kTooltipBufferUnits,
         std::u16string(1020, u'b') + u"\nxy"},
        {"exactly full", std::u16string(1023, u'c'), u"", kTooltipBufferUnits,
         std::u16string(1023, u'c')},
        {"pair straddles the cut", std::u16string(1022, u'd') + pair, u"", kTooltipBufferUnits,
         std::u16string(1022, u'd')},
        {"pair ends at the cut", std::u16string(1021, u'e') + pair + u"f", u"", kTooltipBufferUnits,
         std::u16string(1021, u'e') + pair},
        {"small buffer", u"\u30D5\u30A9\u30EB\u30C0", pair + u"z", 7,
         u"\u30D5\u30A9\u30EB\u30C0\n"},
        {"no buffer", u"abc", u"", 0, u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BuildTooltipText(c.name, c.tip, c.buffer), c.expected) << c.what;
    }
}

} // namespace
} // namespace corvina
