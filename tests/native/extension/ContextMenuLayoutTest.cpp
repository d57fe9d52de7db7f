#include "extension/core/ContextMenuLayout.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using corvina::PlanContextMenuLayout;

TEST(ContextMenuLayout, IdentifiersForRecordsSeparatorAndSettings) {
    struct Case {
        size_t records;
        uint32_t first;
        uint32_t last;
        size_t shown;
        bool separator;
        uint32_t settingsOffset;
        uint32_t count;
    };
    const Case cases[] = {
        // Enough room: n records, the separator at n, "Settings..." at n + 1.
        {3, 100, 0x7FFF, 3, true, 4, 5},
        {0, 100, 0x7FFF, 0, false, 0, 1},
        {1, 0, 0xFFFFFFFF, 1, true, 2, 3},
        // Exactly enough, the last identifier included.
        {3, 100, 104, 3, true, 4, 5},
        // Short ranges keep "Settings..." and cut records from the end.
        {3, 100, 103, 2, true, 3, 4},
        {3, 100, 102, 1, true, 2, 3},
        {3, 100, 101, 0, false, 0, 1},
        {3, 100, 100, 0, false, 0, 1},
        {0, 100, 100, 0, false, 0, 1},
        {1000, 10, 19, 8, true, 9, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.records << " records, " << c.first << ".." << c.last);
        const auto layout = PlanContextMenuLayout(c.records, c.first, c.last);
        EXPECT_EQ(layout.recordsShown, c.shown);
        EXPECT_EQ(layout.separator, c.separator);
        EXPECT_TRUE(layout.settings);
        EXPECT_EQ(layout.settingsOffset, c.settingsOffset);
        EXPECT_EQ(layout.identifierCount, c.count);
        // Nothing ever beyond the last identifier granted.
        EXPECT_LE(static_cast<uint64_t>(c.first) + layout.identifierCount - 1, c.last);
    }
}

TEST(ContextMenuLayout, NoIdentifierGrantedAddsNothing) {
    for (uint32_t first : {100u, 0xFFFFFFFFu}) {
        const auto layout = PlanContextMenuLayout(3, first, first - 1);
        EXPECT_EQ(layout.identifierCount, 0u);
        EXPECT_FALSE(layout.settings);
        EXPECT_FALSE(layout.separator);
        EXPECT_EQ(layout.recordsShown, 0u);
    }
}

} // namespace
