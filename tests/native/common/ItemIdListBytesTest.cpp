#include "common/core/ItemIdListBytes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "ItemIdBytes.h"

namespace corvina {
namespace {

TEST(ItemIdListBytes, ValidationOfBlocks) {
    struct Case {
        const char* what;
        Bytes block;
        size_t expected;
    };
    const Case cases[] = {
        {"empty block", {}, 0},
        {"one byte", {0}, 0},
        {"desktop (terminator only)", {0, 0}, 2},
        {"terminator then junk", {0, 0, 7, 7, 7}, 2},
        {"one identifier", List({Id(5, 0xAA)}), 7},
        {"two identifiers", List({Id(4, 1), Id(3, 2)}), 9},
        {"count of 1 never advances", {1, 0, 0, 0}, 0},
        {"count of 2 is an empty identifier", {2, 0, 0, 0}, 4},
        {"identifier past the end", {6, 0, 1, 2, 0, 0}, 0},
        {"identifier fills the block, no terminator", {4, 0, 1, 2}, 0},
        {"half a terminator", {4, 0, 1, 2, 0}, 0},
        {"large count, little data", {0xFF, 0xFF, 0, 0}, 0},
        {"count with high byte",
         [] {
             Bytes b = List({Id(0x0102, 9)});
             return b;
         }(),
         0x0102 + 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ValidItemIdListSize(c.block.data(), c.block.size()), c.expected) << c.what;
        EXPECT_EQ(IsValidItemIdList(c.block.data(), c.block.size()), c.expected != 0) << c.what;
    }
    EXPECT_EQ(ValidItemIdListSize(nullptr, 10), 0u);
}

TEST(ItemIdListBytes, ValidationReadsUnalignedCounts) {
    const Bytes list = List({Id(3, 1), Id(6, 2), Id(2, 0)});
    std::vector<uint8_t> storage(list.size() + 1);
    std::memcpy(storage.data() + 1, list.data(), list.size());
    EXPECT_EQ(ValidItemIdListSize(storage.data() + 1, list.size()), list.size());
    EXPECT_EQ(ItemIdListSize(storage.data() + 1), list.size());
    EXPECT_EQ(ItemIdCount(storage.data() + 1), 3u);
}

TEST(ItemIdListBytes, SizeCountAndLastIdentifier) {
    struct Case {
        Bytes list;
        size_t size;
        size_t count;
        size_t lastOffset;
    };
    const Case cases[] = {
        {List({}), 2, 0, 0},
        {List({Id(5, 1)}), 7, 1, 0},
        {List({Id(5, 1), Id(4, 2)}), 11, 2, 5},
        {List({Id(20, 1), Id(2, 2), Id(300, 3)}), 324, 3, 22},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ItemIdListSize(c.list.data()), c.size);
        EXPECT_EQ(ItemIdCount(c.list.data()), c.count);
        EXPECT_EQ(LastItemId(c.list.data()), c.list.data() + c.lastOffset);
    }
}

TEST(ItemIdListBytes, CopyAndJoin) {
    const Bytes parent = List({Id(4, 1), Id(5, 2)});
    const Bytes child = List({Id(3, 7)});
    const Bytes desktop = List({});
    struct Case {
        const Bytes* parent;
        const Bytes* child;
        Bytes expected;
    };
    const Case cases[] = {
        {&parent, &child, List({Id(4, 1), Id(5, 2), Id(3, 7)})},
        {&desktop, &child, child},
        {&parent, &desktop, parent},
        {&desktop, &desktop, desktop},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(JoinedItemIdListSize(c.parent->data(), c.child->data()), c.expected.size());
        EXPECT_EQ(JoinItemIdListBytes(c.parent->data(), c.child->data()), c.expected);
    }
    Bytes withTail = parent;
    withTail.push_back(0x55);
    EXPECT_EQ(CopyItemIdListBytes(withTail.data()), parent);
}

} // namespace
} // namespace corvina
