#include "settings/core/EditorRules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using corvina::MoveButtonsFor;
using corvina::PlanMoveDown;
using corvina::PlanMoveUp;
using corvina::SelectionAfterDelete;

TEST(EditorRules, MoveButtonsFollowTheSelectedPosition) {
    struct Case {
        int selected, count;
        bool up, down;
    } cases[] = {
        {-1, 0, false, false}, // empty list, nothing selected
        {-1, 3, false, false}, // no selection
        {0, 1, false, false},  // the only item is first and last
        {0, 3, false, true},   {1, 3, true, true},
        {2, 3, true, false},   {3, 3, false, false}, // a stale position past the end
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.selected << " of " << c.count);
        const auto buttons = MoveButtonsFor(c.selected, c.count);
        EXPECT_EQ(buttons.up, c.up);
        EXPECT_EQ(buttons.down, c.down);
    }
}

TEST(EditorRules, DeleteSelectsTheFollowerElseTheLastElseNothing) {
    struct Case {
        int deleted, remaining, expected;
    } cases[] = {
        {0, 2, 0},  // first of three: the former second
        {1, 2, 1},  // middle of three: the former third
        {2, 2, 1},  // last of three: the new last
        {0, 0, -1}, // the only item
        {-1, 3, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.deleted << " leaving " << c.remaining);
        EXPECT_EQ(SelectionAfterDelete(c.deleted, c.remaining), c.expected);
    }
}

// The copy goes in while the item is still in the list; taking the item out afterwards must
// leave it one place further (or where it was at the ends).
TEST(EditorRules, MovesInsertTheCopyFirstAndGoOnePlaceAndStopAtTheEnds) {
    struct Case {
        bool up;
        int position, count;
        bool valid;
        int insertAfter, newPosition;
    } cases[] = {
        {true, 2, 4, true, 0, 1},  {true, 1, 4, true, -1, 0},    {true, 0, 4, true, 0, 0},
        {true, 3, 4, true, 1, 2},  {true, 4, 4, false, -1, -1},  {true, -1, 4, false, -1, -1},
        {false, 0, 4, true, 1, 1}, {false, 2, 4, true, 3, 3},    {false, 3, 4, true, 3, 3},
        {false, 0, 1, true, 0, 0}, {false, 0, 0, false, -1, -1}, {true, 0, 1, true, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << (c.up ? "up " : "down ") << c.position << " of " << c.count);
        const auto plan =
            c.up ? PlanMoveUp(c.position, c.count) : PlanMoveDown(c.position, c.count);
        EXPECT_EQ(plan.valid, c.valid);
        if (!c.valid) {
            continue;
        }
        EXPECT_EQ(plan.insertAfter, c.insertAfter);
        EXPECT_EQ(plan.newPosition, c.newPosition);

        // Items are their original positions; the copy is marked by 100 + its position.
        std::vector<int> list;
        for (int i = 0; i < c.count; ++i) {
            list.push_back(i);
        }
        list.insert(list.begin() + (plan.insertAfter + 1), 100 + c.position);
        list.erase(std::find(list.begin(), list.end(), c.position));
        std::vector<int> expected;
        for (int i = 0; i < c.count; ++i) {
            expected.push_back(i);
        }
        const int target =
            c.up ? std::max(c.position - 1, 0) : std::min(c.position + 1, c.count - 1);
        std::swap(expected[c.position], expected[target]);
        expected[target] = 100 + c.position;
        EXPECT_EQ(list, expected);
        EXPECT_EQ(list[plan.newPosition], 100 + c.position);
    }
}

} // namespace
