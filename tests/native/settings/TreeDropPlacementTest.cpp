#include "settings/core/TreeDropPlacement.h"

#include <gtest/gtest.h>

namespace corvina {
namespace {

TEST(TreeDropPlacement, RowUnderThePoint) {
    // Three 20-pixel rows, 100 wide, the list scrolled so the first starts at -5.
    const std::vector<LayoutRect> rows = {{0, -5, 100, 15}, {0, 15, 100, 35}, {0, 35, 100, 55}};
    struct Case {
        LayoutPoint point;
        int expected;
    };
    const Case cases[] = {
        {{0, -5}, 0},  {{99, 14}, 0},  {{50, 15}, 1},   {{50, 34}, 1},  {{0, 35}, 2},
        {{99, 54}, 2}, {{50, 55}, -1}, {{100, 20}, -1}, {{-1, 20}, -1}, {{10, -6}, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindRowAtPoint(rows, c.point), c.expected)
            << "point " << c.point.x << "," << c.point.y;
    }
    EXPECT_EQ(FindRowAtPoint({}, {0, 0}), -1);
}

TEST(TreeDropPlacement, HitItemGivesUpItsPlaceMissAppends) {
    struct Case {
        int hit;
        int count;
        TreeDropPlacement expected;
    };
    const Case cases[] = {
        // hit, count -> mark row, after, insert after, append
        {0, 3, {0, false, -1, false}}, // on the first row: the new item becomes first
        {2, 3, {2, false, 1, false}},  // on the third row: after the second
        {2, 5, {2, false, 1, false}},
        {-1, 3, {2, true, 2, true}}, // below the last row: mark after it, append
        {-1, 1, {0, true, 0, true}},
        {-1, 0, {-1, true, -1, true}}, // empty list: no mark, append
        {3, 3, {2, true, 2, true}},    // a stale hit past the end counts as a miss
    };
    for (const Case& c : cases) {
        const TreeDropPlacement p = PlaceTreeDrop(c.hit, c.count);
        EXPECT_EQ(p.markRow, c.expected.markRow) << c.hit << "/" << c.count;
        EXPECT_EQ(p.markAfter, c.expected.markAfter) << c.hit << "/" << c.count;
        EXPECT_EQ(p.append, c.expected.append) << c.hit << "/" << c.count;
        if (!c.expected.append) {
            EXPECT_EQ(p.insertAfter, c.expected.insertAfter) << c.hit << "/" << c.count;
        }
    }
}

} // namespace
} // namespace corvina
