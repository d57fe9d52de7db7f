#include "common/core/MenuItemLayout.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace corvina {

std::ostream& operator<<(std::ostream& out, const LayoutRect& r) {
    return out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}
std::ostream& operator<<(std::ostream& out, const LayoutPoint& p) {
    return out << "(" << p.x << ", " << p.y << ")";
}
std::ostream& operator<<(std::ostream& out, const LayoutSize& s) {
    return out << s.width << " x " << s.height;
}

namespace {

TEST(MenuItemLayout, RectanglesFollowTheEntry) {
    struct Case {
        LayoutRect item;
        LayoutRect iconBox;
        LayoutPoint icon;
        LayoutRect text;
    };
    const Case cases[] = {
        // h = 20: box fills the height, icon 2 pixels down.
        {{0, 0, 200, 20}, {2, 0, 22, 20}, {4, 2}, {26, 0, 184, 20}},
        // h = 24 at an offset.
        {{10, 100, 210, 124}, {12, 102, 32, 122}, {14, 104}, {36, 100, 194, 124}},
        // h = 21 (odd): halves round down.
        {{0, 0, 100, 21}, {2, 0, 22, 20}, {4, 2}, {26, 0, 84, 21}},
        // h = 23: (23 - 20) / 2 = 1, (23 - 16) / 2 = 3.
        {{5, 7, 150, 30}, {7, 8, 27, 28}, {9, 10}, {31, 7, 134, 30}},
        // h = 16, lower than the box: the box reaches above the entry.
        {{0, 40, 120, 56}, {2, 38, 22, 58}, {4, 40}, {26, 40, 104, 56}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "item " << c.item);
        EXPECT_EQ(MenuIconBoxRect(c.item), c.iconBox);
        EXPECT_EQ(MenuIconOrigin(c.item), c.icon);
        EXPECT_EQ(MenuTextRect(c.item), c.text);
    }
}

TEST(MenuItemLayout, PartialHighlightStartsRightOfTheIconBoxOrTheLeftEdge) {
    struct Case {
        LayoutRect item;
        bool iconDrawn;
        LayoutRect expected;
    };
    const Case cases[] = {
        {{0, 0, 200, 20}, true, {24, 0, 200, 20}},
        {{0, 0, 200, 20}, false, {2, 0, 200, 20}},
        {{30, 60, 90, 84}, true, {54, 60, 90, 84}},
        {{30, 60, 90, 84}, false, {32, 60, 90, 84}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MenuPartialHighlightRect(c.item, c.iconDrawn), c.expected)
            << c.item << " icon " << c.iconDrawn;
    }
}

TEST(MenuItemLayout, SeparatorEdgeIsTheLowerHalf) {
    EXPECT_EQ(MenuSeparatorEdgeRect({0, 0, 100, 8}), (LayoutRect{0, 4, 100, 8}));
    EXPECT_EQ(MenuSeparatorEdgeRect({3, 10, 50, 19}), (LayoutRect{3, 14, 50, 19}));
}

TEST(MenuItemLayout, MeasuredSizes) {
    struct Case {
        int32_t kind;
        int textWidth;
        int textHeight;
        int extra;
        LayoutSize expected;
    };
    const Case cases[] = {
        // Separators ignore the text and the extra width.
        {1, 300, 33, 26, {16, 8}},
        {1, 0, 0, 42, {16, 8}},
        // Below the minimum: 20.
        {3, 50, 13, 26, {76, 20}},
        {2, 50, 13, 42, {92, 20}},
        {3, 0, 0, 26, {26, 20}},
        // Exactly the minimum, one above it (odd, raised), even above it.
        {3, 10, 20, 26, {36, 20}},
        {3, 10, 21, 26, {36, 22}},
        {3, 10, 22, 42, {52, 22}},
        {0, 10, 25, 26, {36, 26}},
        // An odd text height below the minimum is not raised past it.
        {3, 10, 19, 26, {36, 20}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MeasuredMenuEntrySize(c.kind, c.textWidth, c.textHeight, c.extra), c.expected)
            << "kind " << c.kind << " text " << c.textWidth << " x " << c.textHeight;
    }
    for (int h = -3; h < 60; ++h) {
        const int height = MenuEntryHeight(h);
        EXPECT_GE(height, 20) << h;
        EXPECT_EQ(height % 2, 0) << h;
        EXPECT_LE(height - h, h < 20 ? 23 : 1) << h;
    }
}

TEST(MenuItemLayout, LabelSplitsAtTheFirstTab) {
    struct Case {
        std::string label;
        std::string left;
        std::string right;
        bool hasTab;
    };
    const Case cases[] = {
        {"Notepad", "Notepad", "", false},
        {"", "", "", false},
        {"Open\tCtrl+O", "Open", "Ctrl+O", true},
        {"\tright only", "", "right only", true},
        {"left only\t", "left only", "", true},
        {"a\tb\tc", "a", "b\tc", true},
        // Shift-JIS text around the tab: 日本\t語.
        {"\x93\xFA\x96\x7B\t\x8C\xEA", "\x93\xFA\x96\x7B", "\x8C\xEA", true},
    };
    for (const Case& c : cases) {
        const LabelParts parts = SplitMenuLabel(c.label);
        EXPECT_EQ(std::string(parts.left), c.left) << c.label;
        EXPECT_EQ(std::string(parts.right), c.right) << c.label;
        EXPECT_EQ(parts.hasTab, c.hasTab) << c.label;
    }
}

TEST(MenuItemLayout, DriveRootTexts) {
    struct Case {
        const char* text;
        bool root;
    };
    const Case cases[] = {
        {"c:\\", true},   {"C:\\", true},  {"Z:\\", true},  {"a:\\", true},
        {"C:", false},    {"C:/", false},  {"1:\\", false}, {"CC:\\", false},
        {"C:\\x", false}, {"", false},     {"\\\\", false}, {"@:\\", false},
        {"[:\\", false},  {"`:\\", false}, {"{:\\", false}, {"C;\\", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsDriveRootText(c.text), c.root) << c.text;
    }
}

TEST(MenuItemLayout, FlatMenusFromNt51) {
    struct Case {
        OsPlatform platform;
        uint32_t major;
        uint32_t minor;
        bool flat;
    };
    const Case cases[] = {
        {OsPlatform::Windows9x, 4, 0, false},  // 95
        {OsPlatform::Windows9x, 4, 10, false}, // 98
        {OsPlatform::Windows9x, 4, 90, false}, // Me
        {OsPlatform::Windows9x, 5, 1, false},  // never on the 9x family
        {OsPlatform::Windows9x, 6, 0, false},  {OsPlatform::Win32s, 6, 0, false},
        {OsPlatform::WindowsNT, 4, 0, false},  {OsPlatform::WindowsNT, 4, 90, false},
        {OsPlatform::WindowsNT, 5, 0, false},  {OsPlatform::WindowsNT, 5, 1, true},
        {OsPlatform::WindowsNT, 5, 2, true},   {OsPlatform::WindowsNT, 6, 0, true},
        {OsPlatform::WindowsNT, 10, 0, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsFlatMenuVersion(c.platform, c.major, c.minor), c.flat)
            << static_cast<int>(c.platform) << " " << c.major << "." << c.minor;
    }
}

TEST(MenuItemLayout, PaintPlanForEveryState) {
    const LayoutRect item{0, 0, 200, 20};
    struct Case {
        const char* what;
        bool flat;
        MenuEntryState state; // selected, disabled, hasIcon, highlightIsGrayText
        MenuColour background;
        bool frame;
        bool partial;
        int partialLeft;
        MenuColour text;
        bool shadow;
        bool emboss;
    };
    const Case cases[] = {
        {"flat, plain",
         true,
         {false, false, true, false},
         MenuColour::Menu,
         false,
         false,
         0,
         MenuColour::MenuText,
         false,
         false},
        {"flat, selected",
         true,
         {true, false, true, false},
         MenuColour::Highlight,
         false,
         false,
         0,
         MenuColour::HighlightText,
         false,
         false},
        {"old, plain",
         false,
         {false, false, true, false},
         MenuColour::Menu,
         false,
         false,
         0,
         MenuColour::MenuText,
         false,
         false},
        {"old, selected",
         false,
         {true, false, true, false},
         MenuColour::Menu,
         true,
         true,
         24,
         MenuColour::HighlightText,
         false,
         false},
        {"old, selected, no icon",
         false,
         {true, false, false, false},
         MenuColour::Menu,
         false,
         true,
         2,
         MenuColour::HighlightText,
         false,
         false},
        {"old, disabled",
         false,
         {false, true, true, false},
         MenuColour::Menu,
         false,
         false,
         0,
         MenuColour::GrayText,
         true,
         true},
        {"old, disabled selected",
         false,
         {true, true, true, false},
         MenuColour::Menu,
         false,
         true,
         24,
         MenuColour::GrayText,
         false,
         true},
        {"old, disabled selected, grey highlight",
         false,
         {true, true, true, true},
         MenuColour::Menu,
         false,
         true,
         24,
         MenuColour::GrayText,
         true,
         true},
        {"flat, disabled selected",
         true,
         {true, true, false, false},
         MenuColour::Highlight,
         false,
         false,
         0,
         MenuColour::GrayText,
         false,
         false},
        {"flat, disabled",
         true,
         {false, true, false, true},
         MenuColour::Menu,
         false,
         false,
         0,
         MenuColour::GrayText,
         true,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const MenuEntryPaintPlan plan = PlanMenuEntryPaint(item, c.state, c.flat);
        EXPECT_EQ(plan.background, c.background);
        EXPECT_EQ(plan.drawIcon, c.state.hasIcon);
        EXPECT_EQ(plan.raisedIconFrame, c.frame);
        EXPECT_EQ(plan.partialHighlight, c.partial);
        if (c.partial) {
            EXPECT_EQ(plan.highlightRect, (LayoutRect{c.partialLeft, 0, 200, 20}));
        }
        EXPECT_EQ(plan.textColour, c.text);
        EXPECT_EQ(plan.textShadow, c.shadow);
        EXPECT_EQ(plan.embossIcon, c.emboss);
        EXPECT_EQ(plan.textRect, (LayoutRect{26, 0, 184, 20}));
    }
}

TEST(MenuItemLayout, DriveReadyUnlessNotReady) {
    EXPECT_TRUE(IsDriveReadyResult(true, 0));
    EXPECT_TRUE(IsDriveReadyResult(true, kErrorNotReady)); // a stale error after success
    EXPECT_FALSE(IsDriveReadyResult(false, kErrorNotReady));
    EXPECT_TRUE(IsDriveReadyResult(false, 2));  // file not found
    EXPECT_TRUE(IsDriveReadyResult(false, 3));  // path not found
    EXPECT_TRUE(IsDriveReadyResult(false, 15)); // invalid drive
    EXPECT_TRUE(IsDriveReadyResult(false, 5));  // access denied
}

} // namespace
} // namespace corvina
