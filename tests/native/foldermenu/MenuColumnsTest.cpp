#include "foldermenu/core/MenuColumns.h"

#include <gtest/gtest.h>

#include <vector>

namespace corvina {
namespace {

TEST(MenuColumns, EntriesPerColumnUsesEvenHeightOfAtLeastTwenty) {
    struct Case {
        int screen;
        int line;
        int expected;
    } cases[] = {
        {768, 16, 37}, // 768 / 20 - 1: small fonts use the 20-pixel minimum
        {768, 20, 37}, // exactly the minimum
        {768, 21, 33}, // odd heights are raised to 22: 768 / 22 - 1
        {768, 24, 31}, // 768 / 24 - 1
        {600, 25, 22}, // 600 / 26 - 1
        {40, 20, 1},   // 40 / 20 - 1
        {20, 20, 1},   // would be 0: kept at 1
        {0, 20, 1},    // no screen at all
        {768, -5, 37}, // a broken metric still gives the minimum height
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MenuEntriesPerColumn(c.screen, c.line), c.expected)
            << c.screen << " / " << c.line;
    }
}

TEST(MenuColumns, StartPositionIsCountModuloColumnButNeverZero) {
    struct Case {
        size_t entries;
        int perColumn;
        int expected;
    } cases[] = {
        {2, 10, 2}, {10, 10, 1}, {0, 10, 1}, {13, 10, 3}, {20, 10, 1}, {5, 1, 1}, {5, 0, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MenuStartPosition(c.entries, c.perColumn), c.expected)
            << c.entries << " % " << c.perColumn;
    }
}

std::vector<size_t> BreakIndices(const std::vector<bool>& breaks) {
    std::vector<size_t> out;
    for (size_t k = 0; k < breaks.size(); ++k) {
        if (breaks[k]) {
            out.push_back(k);
        }
    }
    return out;
}

TEST(MenuColumns, BreaksFallWhereTheRunningPositionIsAMultiple) {
    struct Case {
        size_t entriesBefore;
        size_t count;
        int perColumn;
        bool scrolls;
        std::vector<size_t> expected;
    } cases[] = {
        // "Open" and the separator: i starts at 2, so entry 8 has i = 10.
        {2, 25, 10, false, {8, 18}},
        {2, 8, 10, false, {}},
        {2, 9, 10, false, {8}},
        // Starting exactly on a column boundary counts as 1, not 0: no break at once.
        {10, 12, 10, false, {9}},
        {3, 7, 3, false, {2, 5}},
        {4, 7, 3, false, {2, 5}},
        {5, 7, 3, false, {1, 4}},
        // One entry per column: every entry but the first starts one (i begins at 1).
        {2, 4, 1, false, {0, 1, 2, 3}},
        {2, 25, 10, true, {}},
        {2, 0, 10, false, {}},
    };
    for (const Case& c : cases) {
        const std::vector<bool> breaks =
            PlanMenuColumnBreaks(c.entriesBefore, c.count, c.perColumn, c.scrolls);
        ASSERT_EQ(breaks.size(), c.count);
        EXPECT_EQ(BreakIndices(breaks), c.expected)
            << c.entriesBefore << " + " << c.count << " / " << c.perColumn;
    }
}

TEST(MenuColumns, OnlyOldSystemsLackScrollingMenus) {
    struct Case {
        bool nt;
        unsigned major;
        unsigned minor;
        bool scrolls;
    } cases[] = {
        {true, 3, 51, false},  {true, 4, 0, false},   {true, 5, 0, true},    {true, 5, 1, true},
        {true, 6, 1, true},    {true, 10, 0, true},   {false, 4, 0, false},  {false, 4, 3, false},
        {false, 4, 10, true},  {false, 4, 11, false}, {false, 4, 89, false}, {false, 4, 90, true},
        {false, 3, 95, false}, {false, 5, 0, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SystemScrollsLongMenus(c.nt, c.major, c.minor), c.scrolls)
            << (c.nt ? "NT " : "9x ") << c.major << "." << c.minor;
    }
}

} // namespace
} // namespace corvina
