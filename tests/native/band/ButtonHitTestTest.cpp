#include "band/core/ButtonHitTest.h"

#include <gtest/gtest.h>

#include <vector>

namespace corvina {
namespace {

// Three 24 x 22 buttons in a 300 x 30 client area, with a 2-pixel gap after the second.
const BandRect kClient{0, 0, 300, 30};
const std::vector<BandRect> kRow{{0, 2, 24, 24}, {24, 2, 48, 24}, {50, 2, 74, 24}};

struct Case {
    int x;
    int y;
    bool inside;
    int index;
};

TEST(ButtonHitTest, FindsTheButtonUnderThePoint) {
    const Case cases[] = {
        {0, 2, true, 0},     // top-left corner of the first button
        {23, 23, true, 0},   // last pixel of the first button
        {24, 10, true, 1},   // the right edge belongs to the next button
        {48, 10, true, -1},  // the gap between buttons
        {10, 24, true, -1},  // the bottom edge is outside the button
        {10, 1, true, -1},   // above the row
        {200, 10, true, -1}, // right of the last button
        {299, 29, true, -1}, // last pixel of the client area
        {300, 10, false, -1}, {10, 30, false, -1}, {-1, 10, false, -1}, {10, -1, false, -1},
    };
    for (const Case& c : cases) {
        const ButtonHit hit = HitTestButton(kClient, kRow, c.x, c.y);
        EXPECT_EQ(hit.inside, c.inside) << c.x << "," << c.y;
        EXPECT_EQ(hit.index, c.index) << c.x << "," << c.y;
    }
}

TEST(ButtonHitTest, InsertionInOneRowUsesColumnsOfTheFullHeight) {
    const Case cases[] = {
        {30, 10, true, 1},   // on a button: before it
        {30, 0, true, 1},    // above the second button, in its column
        {60, 29, true, 2},   // below the third button, in its column
        {49, 10, true, -1},  // in the gap between columns
        {74, 10, true, -1},  // right of the last button: after it
        {250, 28, true, -1}, // far right
        {300, 10, false, -1}, {10, 30, false, -1},
    };
    for (const Case& c : cases) {
        const ButtonHit hit = HitTestInsertion(kClient, kRow, 1, c.x, c.y);
        EXPECT_EQ(hit.inside, c.inside) << c.x << "," << c.y;
        EXPECT_EQ(hit.index, c.index) << c.x << "," << c.y;
    }
}

TEST(ButtonHitTest, InsertionIntoAnEmptyToolbarIsAfterTheEndOrOutside) {
    const ButtonHit inside = HitTestInsertion(kClient, {}, 1, 10, 10);
    EXPECT_TRUE(inside.inside);
    EXPECT_EQ(inside.index, -1);
    const ButtonHit outside = HitTestInsertion(kClient, {}, 1, 310, 10);
    EXPECT_FALSE(outside.inside);
    EXPECT_EQ(outside.index, -1);
}

TEST(ButtonHitTest, InsertionInSeveralRowsGoesToTheEndOfThePointsRow) {
    // Rows of 3, 2 and 2 buttons on a 200 x 66 client; the first row is 20 high, then a gap.
    const BandRect client{0, 0, 200, 66};
    const std::vector<BandRect> rows{
        {0, 0, 40, 20},  {40, 0, 80, 20},   {80, 0, 120, 20}, // row 1: 0 .. 2
        {0, 22, 60, 44}, {60, 22, 90, 44},                    // row 2: 3 .. 4
        {0, 44, 50, 66}, {50, 44, 100, 66},                   // row 3: 5 .. 6
    };
    const Case cases[] = {
        {50, 10, true, 1},   // on a button of row 1
        {150, 10, true, 3},  // beside row 1: before the first button of row 2
        {150, 30, true, 5},  // beside row 2: before the first button of row 3
        {95, 30, true, 5},   // just right of row 2's last button
        {150, 50, true, -1}, // beside the last row: at the end
        {10, 60, true, 5},   // on the first button of the last row
        {150, 20, true, 3},  // a row's bottom edge still belongs to it
        {150, 21, true, -1}, // in the gap between rows: no row, so at the end
        {150, 44, true, -1}, // the edge rows 2 and 3 share is in both: after the last one
        {200, 10, false, -1},
    };
    for (const Case& c : cases) {
        const ButtonHit hit = HitTestInsertion(client, rows, 3, c.x, c.y);
        EXPECT_EQ(hit.inside, c.inside) << c.x << "," << c.y;
        EXPECT_EQ(hit.index, c.index) << c.x << "," << c.y;
    }
}

} // namespace
} // namespace corvina
