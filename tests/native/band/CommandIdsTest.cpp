#include "band/core/CommandIds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace corvina {
namespace {

TEST(CommandIds, PoolAgreesWithThePlainSearchOverRandomChanges) {
    std::mt19937 random(20240611);
    CommandIdPool pool;
    std::vector<int32_t> used; // the ids of the buttons, as the search sees them
    for (int step = 0; step < 8000; ++step) {
        const unsigned action = random() % 10;
        if (action < 4) {
            const int32_t expected = FindFreeCommandIdBySearch(used);
            ASSERT_EQ(pool.Take(), expected) << "step " << step;
            used.push_back(expected);
        } else if (action < 6) {
            // Ids a button got elsewhere, near the dense range, sometimes taken already
            // (two buttons can share one) and sometimes out of range.
            const int32_t id = static_cast<int32_t>(random() % 80) - 3;
            pool.Add(id);
            if (id >= 1) {
                used.push_back(id);
            }
        } else if (action < 9 && !used.empty()) {
            const size_t at = random() % used.size();
            const int32_t id = used[at];
            used.erase(used.begin() + static_cast<std::ptrdiff_t>(at));
            // The pool tracks ids, not buttons: an id stays used while another has it.
            if (std::find(used.begin(), used.end(), id) == used.end()) {
                pool.Remove(id);
            }
        } else if (action == 9 && random() % 50 == 0) {
            pool.Clear();
            used.clear();
        }
        ASSERT_EQ(pool.LowestFree(), FindFreeCommandIdBySearch(used)) << "step " << step;
    }
}

TEST(CommandIds, EdgesOfThePoolAndTheSearch) {
    EXPECT_EQ(FindFreeCommandIdBySearch({}), 1);
    EXPECT_EQ(FindFreeCommandIdBySearch({2, 3, 5}), 1);
    EXPECT_EQ(FindFreeCommandIdBySearch({1, 2, 4}), 3);
    EXPECT_EQ(FindFreeCommandIdBySearch({0, -7, 1}), 2);

    CommandIdPool pool;
    EXPECT_EQ(pool.LowestFree(), 1);
    for (int32_t id : {0, -1, kCommandIdLimit, 2, 3}) {
        pool.Add(id);
    }
    EXPECT_EQ(pool.Size(), 2u); // only 2 and 3 count
    EXPECT_FALSE(pool.Contains(kCommandIdLimit));
    EXPECT_EQ(pool.Take(), 1);
    EXPECT_EQ(pool.Take(), 4);
    pool.Remove(2);
    EXPECT_EQ(pool.Take(), 2);
    pool.Add(kCommandIdLimit - 1);
    EXPECT_TRUE(pool.Contains(kCommandIdLimit - 1));
    EXPECT_EQ(pool.Take(), 5);
    pool.Clear();
    EXPECT_EQ(pool.Take(), 1);
}

} // namespace
} // namespace corvina
