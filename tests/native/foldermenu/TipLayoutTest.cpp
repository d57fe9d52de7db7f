#include "foldermenu/core/TipLayout.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace corvina {

std::ostream& operator<<(std::ostream& out, const TipPoint& p) {
    return out << "(" << p.x << ", " << p.y << ")";
}
std::ostream& operator<<(std::ostream& out, const TipSize& s) {
    return out << s.width << " x " << s.height;
}
std::ostream& operator<<(std::ostream& out, const TipRect& r) {
    return out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace {

constexpr char16_t kFullWidthA = u'\u3042'; // HIRAGANA A, double width
constexpr char16_t kHigh = 0xD842;          // U+20BB7 as a surrogate pair
constexpr char16_t kLow = 0xDFB7;

std::u16string Repeat(char16_t c, size_t n) {
    return std::u16string(n, c);
}

// The text's lines, split at line feeds, for readable failures.
std::vector<std::u16string> Lines(const std::u16string& text) {
    std::vector<std::u16string> lines(1);
    for (char16_t c : text) {
        if (c == u'\n') {
            lines.emplace_back();
        } else {
            lines.back().push_back(c);
        }
    }
    return lines;
}

std::string Printable(const std::u16string& text) {
    std::string out;
    for (char16_t c : text) {
        if (c == u'\n') {
            out += "\\n";
        } else if (c == u'\r') {
            out += "\\r";
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c == kFullWidthA) {
            out += "W";
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            out += "S";
        } else {
            out += "?";
        }
    }
    return out;
}

TEST(WrapTipText, BreaksWhereTheRunningWidthReachesTheWrapWidth) {
    const std::u16string half60 = Repeat(u'a', 60);
    const std::u16string full30 = Repeat(kFullWidthA, 30);
    struct Case {
        const char* name;
        std::u16string text;
        int width;
        std::u16string expected;
    };
    const Case cases[] = {
        {"60 half-width at 50", half60, 50, Repeat(u'a', 50) + u"\n" + Repeat(u'a', 10)},
        {"30 full-width at 50", full30, 50,
         Repeat(kFullWidthA, 25) + u"\n" + Repeat(kFullWidthA, 5)},
        {"exactly one line: no trailing break", Repeat(u'a', 50), 50, Repeat(u'a', 50)},
        {"several full lines", Repeat(u'a', 9), 3, u"aaa\naaa\naaa"},
        {"U+00FF is still single width", u"\u00FF\u00FF\u00FFx", 3, u"\u00FF\u00FF\u00FF\nx"},
        {"U+0100 is double width", u"\u0100\u0100x", 4, u"\u0100\u0100\nx"},
        {"mixed: half then full reaching exactly", u"ab\u3042cd", 4, u"ab\u3042\ncd"},
        {"empty text", u"", 50, u""},
        {"no wrap", half60, kTipNoWrap, half60},
        {"zero width is no wrap", half60, 0, half60},
        {"other negative width is no wrap", full30, -7, full30},
        {"width one puts every character on its own line", u"abc", 1, u"a\nb\nc"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Printable(WrapTipText(c.text, c.width)), Printable(c.expected)) << c.name;
    }
}

TEST(WrapTipText, DoubleWidthCharacterStraddlingTheWidthMovesToTheNextLine) {
    struct Case {
        const char* name;
        std::u16string text;
        int width;
        std::u16string expected;
    };
    const Case cases[] = {
        // 49 columns used, a double-width character would make 51: it starts the next line.
        {"at 50", Repeat(u'a', 49) + Repeat(kFullWidthA, 2), 50,
         Repeat(u'a', 49) + u"\n" + Repeat(kFullWidthA, 2)},
        // Odd width: 2 + 2 = 4, the third would make 6 > 5.
        {"odd width", Repeat(kFullWidthA, 5), 5, u"\u3042\u3042\n\u3042\u3042\n\u3042"},
        // A character wider than the whole line still goes somewhere, one per line.
        {"wider than the line", Repeat(kFullWidthA, 3), 1, u"\u3042\n\u3042\n\u3042"},
        {"half-width after a straddle counts from the new line", u"a\u3042bc", 2, u"a\n\u3042\nbc"},
    };
    for (const Case& c : cases) {
        const std::u16string wrapped = WrapTipText(c.text, c.width);
        EXPECT_EQ(Printable(wrapped), Printable(c.expected)) << c.name;
    }
    // No line is ever wider than the wrap width when every character fits on a line.
    const std::u16string mixed = u"ab\u3042c\u3042\u3042de\u3042f\u3042\u3042\u3042gh";
    for (int width = 2; width < 12; ++width) {
        for (const std::u16string& line : Lines(WrapTipText(mixed, width))) {
            int columns = 0;
            for (char16_t c : line) {
                columns += TipCharacterWidth(c);
            }
            EXPECT_LE(columns, width) << "width " << width << " line " << Printable(line);
            EXPECT_GT(columns, 0) << "empty line at width " << width;
        }
    }
}

TEST(WrapTipText, SurrogatePairIsOneDoubleWidthCharacterAndNeverSplit) {
    const std::u16string pair = {kHigh, kLow};
    struct Case {
        const char* name;
        std::u16string text;
        int width;
        std::u16string expected;
    };
    const Case cases[] = {
        {"pair reaches the width", u"a" + pair + u"b", 3, u"a" + pair + u"\nb"},
        {"pair straddles the width", u"aa" + pair, 3, u"aa\n" + pair},
        {"pairs in a row", pair + pair + pair, 4, pair + pair + u"\n" + pair},
        {"pair at width one", pair + u"a", 1, pair + u"\na"},
        // Broken sequences count as one double-width unit each.
        {"lone high surrogate", std::u16string(1, kHigh) + u"ab", 2,
         std::u16string(1, kHigh) + u"\nab"},
        {"lone low surrogate", u"a" + std::u16string(1, kLow), 2, u"a\n" + std::u16string(1, kLow)},
        {"high surrogate at the end", u"a" + std::u16string(1, kHigh), 3,
         u"a" + std::u16string(1, kHigh)},
    };
    for (const Case& c : cases) {
        const std::u16string wrapped = WrapTipText(c.text, c.width);
        EXPECT_EQ(Printable(wrapped), Printable(c.expected)) << c.name;
        EXPECT_EQ(wrapped, c.expected) << c.name;
    }
}

TEST(WrapTipText, ExistingLineBreaksRestartTheCountAndGainNoEmptyLines) {
    struct Case {
        const char* name;
        std::u16string text;
        int width;
        std::u16string expected;
    };
    const Case cases[] = {
        {"line feed restarts", u"aaa\naaaa", 4, u"aaa\naaaa"},
        {"full line before a line feed", u"aaaa\nbb", 4, u"aaaa\nbb"},
        {"full line before CR LF", u"aaaa\r\nbb", 4, u"aaaa\r\nbb"},
        {"CR takes no column", u"aa\r\naaa", 3, u"aa\r\naaa"},
        {"blank lines kept", u"a\n\nb", 5, u"a\n\nb"},
        {"long line after a break", u"ab\ncdefg", 3, u"ab\ncde\nfg"},
        {"trailing line feed kept once", u"abc\n", 3, u"abc\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Printable(WrapTipText(c.text, c.width)), Printable(c.expected)) << c.name;
    }
}

TEST(TipSizes, FollowTheLayoutFormulas) {
    // Plain: body + 2 margins + 2 for the frame.
    EXPECT_EQ(PlainTipSize({100, 30}, 4, 4), (TipSize{110, 40}));
    EXPECT_EQ(PlainTipSize({100, 30}, 1, 1), (TipSize{104, 34}));
    EXPECT_EQ(PlainTipSize({0, 0}, 4, 2), (TipSize{10, 6}));
    EXPECT_EQ(PlainTipSize({7, 9}, 3, 5), (TipSize{15, 21}));

    struct Case {
        const char* name;
        TipSize title;
        TipSize body;
        bool hasBody;
        int mx;
        int my;
        TipSize expected;
    };
    const Case cases[] = {
        // max(200, 80 + 20) + 8 + 2; 14 + 28 + 8 + 6.
        {"body wider than title", {80, 14}, {200, 28}, true, 4, 4, {210, 56}},
        // max(50, 100 + 20) + 8 + 2.
        {"title wider than body", {100, 14}, {50, 14}, true, 4, 4, {130, 42}},
        {"equal after the indent", {30, 14}, {50, 14}, true, 4, 4, {60, 42}},
        {"unequal margins", {30, 10}, {90, 20}, true, 3, 1, {98, 38}},
        // Title line only: title + 2 margins + 22; title + 2 margins + 2.
        {"no body", {100, 14}, {0, 0}, false, 4, 4, {130, 24}},
        {"no body, body size ignored", {100, 14}, {300, 50}, false, 4, 4, {130, 24}},
        {"no body, default margins", {60, 13}, {0, 0}, false, 1, 1, {84, 17}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TitledTipSize(c.title, c.body, c.hasBody, c.mx, c.my), c.expected) << c.name;
    }
}

TEST(PlaceTip, BelowRightOfTheMouseFlippedAtTheRightAndBottomEdges) {
    const TipRect screen = {0, 0, 1024, 768};
    const TipSize tip = {200, 50};
    struct Case {
        const char* name;
        TipPoint mouse;
        TipSize size;
        TipRect screen;
        TipPoint expected;
    };
    const Case cases[] = {
        {"middle", {500, 300}, tip, screen, {515, 315}},
        {"top-left corner", {0, 0}, tip, screen, {15, 15}},
        {"near the left and top edges", {3, 2}, tip, screen, {18, 17}},
        // 900 + 15 + 200 = 1115 > 1024: left of the mouse.
        {"right edge", {900, 300}, tip, screen, {685, 315}},
        // 740 + 15 + 50 = 805 > 768: above the mouse.
        {"bottom edge", {500, 740}, tip, screen, {515, 675}},
        {"bottom-right corner", {1023, 767}, tip, screen, {808, 702}},
        {"top-right corner", {1020, 0}, tip, screen, {805, 15}},
        {"bottom-left corner", {0, 767}, tip, screen, {15, 702}},
        // Exactly touching the edges is not crossing them: 809 + 15 + 200 = 1024.
        {"touching the right edge", {809, 703}, tip, screen, {824, 718}},
        {"one past the right edge", {810, 704}, tip, screen, {595, 639}},
        // Flipped, but never past the left or top edge.
        {"wider than the space on both sides", {100, 100}, {1000, 50}, screen, {0, 115}},
        {"larger than the screen", {500, 400}, {2000, 1000}, screen, {0, 0}},
        {"larger than the screen, mouse at 0,0", {0, 0}, {2000, 1000}, screen, {0, 0}},
        // A screen that does not start at 0 (a second monitor).
        {"second monitor, right edge", {2000, 100}, tip, {1024, 0, 2048, 768}, {1785, 115}},
        {"second monitor, too wide", {1100, 100}, {1500, 50}, {1024, 0, 2048, 768}, {1024, 115}},
        {"monitor above, too tall", {10, -20}, {100, 900}, {0, -768, 1024, 0}, {25, -768}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PlaceTip(c.mouse, c.size, c.screen), c.expected) << c.name;
    }
}

TEST(TipRects, ContentIconTitleAndBody) {
    const TipRect client = {0, 0, 130, 56};
    const TipRect content = TipContentRect(client, 4, 4);
    EXPECT_EQ(content, (TipRect{5, 5, 125, 51}));
    EXPECT_EQ(TipContentRect(client, 1, 1), (TipRect{2, 2, 128, 54}));
    EXPECT_EQ(TipContentRect({0, 0, 40, 30}, 3, 6), (TipRect{4, 7, 36, 23}));

    struct Case {
        int titleHeight;
        TipPoint icon;
        TipRect title;
        TipRect body;
    };
    const Case cases[] = {
        {16, {5, 5}, {25, 5, 125, 21}, {5, 25, 125, 51}},
        {20, {5, 7}, {25, 5, 125, 25}, {5, 29, 125, 51}},
        {21, {5, 7}, {25, 5, 125, 26}, {5, 30, 125, 51}},
        // A line lower than the icon: the icon reaches above the line (into the margin).
        {13, {5, 4}, {25, 5, 125, 18}, {5, 22, 125, 51}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TipIconOrigin(content, c.titleHeight), c.icon) << c.titleHeight;
        EXPECT_EQ(TipTitleRect(content, c.titleHeight), c.title) << c.titleHeight;
        EXPECT_EQ(TipBodyRect(content, c.titleHeight), c.body) << c.titleHeight;
    }
    // The titled size leaves exactly the body's height below the body's top.
    const TipSize size = TitledTipSize({60, 16}, {100, 30}, true, 4, 4);
    const TipRect laidOut = TipContentRect({0, 0, size.width, size.height}, 4, 4);
    const TipRect body = TipBodyRect(laidOut, 16);
    EXPECT_EQ(body.bottom - body.top, 30);
    EXPECT_EQ(body.right - body.left, 100);
    EXPECT_EQ(TipTitleRect(laidOut, 16).right - TipTitleRect(laidOut, 16).left, 80);
}

} // namespace
} // namespace corvina
