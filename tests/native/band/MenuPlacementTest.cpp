#include "band/core/MenuPlacement.h"

#include <gtest/gtest.h>

namespace corvina {
namespace {

TEST(MenuPlacement, OpensAwayFromTheNearerScreenEdge) {
    // A 1025 x 769 screen: the integer halves are 512 and 384.
    constexpr int kWidth = 1025;
    constexpr int kHeight = 769;
    constexpr uint32_t kFloating = 2;
    struct Case {
        uint32_t view;
        BandRect button;
        int x;
        int y;
        uint32_t align;
    } cases[] = {
        // Horizontal: above the button from the lower half on, else below it.
        {kBandViewHorizontal, {10, 20, 34, 42}, 10, 42, kMenuLeftTopAlign},
        {kBandViewHorizontal, {10, 383, 34, 405}, 10, 405, kMenuLeftTopAlign},
        {kBandViewHorizontal, {10, 384, 34, 406}, 10, 384, kMenuBottomAlign},
        {kBandViewHorizontal, {700, 740, 724, 762}, 700, 740, kMenuBottomAlign},
        // Vertical: right-aligned at the bottom-right corner from the right half on.
        {kBandViewVertical, {0, 500, 24, 522}, 0, 522, kMenuLeftTopAlign},
        {kBandViewVertical, {511, 500, 535, 522}, 511, 522, kMenuLeftTopAlign},
        {kBandViewVertical, {512, 10, 536, 32}, 536, 32, kMenuRightAlign},
        {kBandViewVertical, {1000, 700, 1024, 722}, 1024, 722, kMenuRightAlign},
        // Any other mode: always below, whatever the position.
        {kFloating, {1000, 700, 1024, 722}, 1000, 722, kMenuLeftTopAlign},
        {0x7FFFFFFF, {1000, 700, 1024, 722}, 1000, 722, kMenuLeftTopAlign},
    };
    for (const Case& c : cases) {
        const MenuPlacement p = PlaceMenu(c.button, c.view, kWidth, kHeight);
        EXPECT_EQ(p.x, c.x) << "view " << c.view << " at " << c.button.left << "," << c.button.top;
        EXPECT_EQ(p.y, c.y) << "view " << c.view << " at " << c.button.left << "," << c.button.top;
        EXPECT_EQ(p.flags, c.align | kMenuRightButton)
            << "view " << c.view << " at " << c.button.left << "," << c.button.top;
    }
}

} // namespace
} // namespace corvina
