#include "settings/core/MessageBoxStyle.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using corvina::AddDefaultMessageIcon;
using corvina::FrameRect;

constexpr std::uint32_t kExclamation = 0x30;

TEST(SettingsMessageIcon, EveryButtonSetWithoutIcon) {
    // Button set value -> whether the exclamation icon is added when the caller gave none.
    const bool expected[16] = {true,  true,  false, true,  true,  false, false, false,
                               false, false, false, false, false, false, false, false};
    for (std::uint32_t buttons = 0; buttons < 16; ++buttons) {
        SCOPED_TRACE(buttons);
        const std::uint32_t result = AddDefaultMessageIcon(buttons);
        EXPECT_EQ(result & 0x0F, buttons);
        EXPECT_EQ(result & 0xF0, expected[buttons] ? kExclamation : 0u);
    }
}

TEST(SettingsMessageIcon, CallersIconAndOtherFlagsAreKept) {
    struct Case {
        std::uint32_t type;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {0x24, 0x24},             // Yes/No with the question icon
        {0x10, 0x10},             // stop icon, OK
        {0x40, 0x40},             // information icon stays information
        {0x31, 0x31},             // exclamation given already
        {0x1000, 0x1030},         // system-modal OK: the other bits survive
        {0x2004, 0x2034},         // task-modal Yes/No
        {0x40000 | 0x2, 0x40002}, // topmost abort/retry/ignore: no icon
        {0x100 | 0x3, 0x133},     // second button default, Yes/No/Cancel
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        EXPECT_EQ(AddDefaultMessageIcon(c.type), c.expected);
    }
}

void ExpectRect(const FrameRect& actual, int left, int top, int right, int bottom) {
    EXPECT_EQ(actual.left, left);
    EXPECT_EQ(actual.top, top);
    EXPECT_EQ(actual.right, right);
    EXPECT_EQ(actual.bottom, bottom);
}

TEST(AboutIconFrame, LayoutOfATypicalControl) {
    const corvina::IconFrameLayout layout = corvina::LayoutIconFrame(60, 72);
    ExpectRect(layout.panel, 0, 0, 56, 68);
    ExpectRect(layout.rightShadow, 56, 4, 60, 72);
    ExpectRect(layout.bottomShadow, 4, 68, 60, 72);
    // From (2, 2), eight pixels narrower and lower than the control.
    ExpectRect(layout.icon, 2, 2, 54, 66);
}

TEST(AboutIconFrame, TinyControlsGiveNoInvertedRectangles) {
    const int sizes[][2] = {{0, 0}, {3, 3}, {4, 4}, {7, 9}, {8, 8}, {-5, 10}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(testing::Message() << size[0] << "x" << size[1]);
        const corvina::IconFrameLayout layout = corvina::LayoutIconFrame(size[0], size[1]);
        for (const FrameRect& r :
             {layout.panel, layout.rightShadow, layout.bottomShadow, layout.icon}) {
            EXPECT_LE(r.left, r.right);
            EXPECT_LE(r.top, r.bottom);
            EXPECT_GE(r.left, 0);
            EXPECT_GE(r.top, 0);
            EXPECT_LE(r.right, size[0] < 0 ? 0 : size[0]);
            EXPECT_LE(r.bottom, size[1] < 0 ? 0 : size[1]);
        }
    }
}

TEST(MinimisedIcon, CentredWithTheOddPixelToTheRight) {
    const int cases[][3] = {{100, 32, 34}, {101, 32, 35}, {32, 32, 0}, {33, 32, 1}, {20, 32, -5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c[0] << "," << c[1]);
        EXPECT_EQ(corvina::CentreOffset(c[0], c[1]), c[2]);
    }
}

} // namespace
