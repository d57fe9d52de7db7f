#include "common/core/ShellIdListArray.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <vector>

#include "ItemIdBytes.h"

namespace corvina {
namespace {

void PutLe32(Bytes& block, size_t at, uint32_t value) {
    if (block.size() < at + 4) {
        block.resize(at + 4);
    }
    for (int i = 0; i < 4; ++i) {
        block[at + i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

// The layout a well-behaved producer writes: count, offsets, then the lists back to back
// starting right after the table (plus `gap` filler bytes before the first list).
Bytes Block(const Bytes& parent, std::initializer_list<Bytes> items, size_t gap = 0) {
    const uint32_t count = static_cast<uint32_t>(items.size());
    Bytes block;
    PutLe32(block, 0, count);
    size_t at = 4 + 4 * (count + 1) + gap;
    block.resize(at, 0xEE);
    PutLe32(block, 4, static_cast<uint32_t>(at));
    block.insert(block.end(), parent.begin(), parent.end());
    at += parent.size();
    uint32_t k = 1;
    for (const Bytes& item : items) {
        PutLe32(block, 4 + 4 * k++, static_cast<uint32_t>(at));
        block.insert(block.end(), item.begin(), item.end());
        at += item.size();
    }
    return block;
}

Bytes Parent() {
    return List({Id(20, 0x11), Id(6, 0x22)});
}
Bytes Child() {
    return List({Id(10, 0x33)});
}

TEST(ShellIdListArray, SingleItemValidationTable) {
    struct Case {
        const char* what;
        Bytes block;
        IdListArrayError expected;
    };
    const Bytes good = Block(Parent(), {Child()});
    const size_t table = 12; // count and two offsets

    auto withOffset = [&](int slot, uint32_t offset) {
        Bytes b = good;
        PutLe32(b, 4 + 4 * slot, offset);
        return b;
    };
    auto truncated = [&](size_t size) { return Bytes(good.begin(), good.begin() + size); };

    Bytes unterminatedChild = good;
    unterminatedChild.resize(unterminatedChild.size() - 2); // drop the child's terminator
    Bytes childCountOne = Block(Parent(), {List({Id(10, 0x33)})});
    childCountOne[table + Parent().size()] = 1; // cb of the child's first identifier
    Bytes parentCountOne = good;
    parentCountOne[table] = 1;
    parentCountOne[table + 1] = 0;
    Bytes childRunsPast = good;
    childRunsPast[table + Parent().size()] = 0xFF; // identifier claims 255 bytes

    const Case cases[] = {
        {"one item, lists back to back", good, IdListArrayError::None},
        {"desktop parent (terminator only)", Block(List({}), {Child()}), IdListArrayError::None},
        {"filler between table and lists", Block(Parent(), {Child()}, 7), IdListArrayError::None},
        {"empty block", {}, IdListArrayError::BlockTooSmall},
        {"three bytes", {1, 0, 0}, IdListArrayError::BlockTooSmall},
        {"count only", {1, 0, 0, 0}, IdListArrayError::TableTruncated},
        {"count and one offset", truncated(8), IdListArrayError::TableTruncated},
        {"count 0", Block(Parent(), {}), IdListArrayError::NoItems},
        {"count 2", Block(Parent(), {Child(), Child()}), IdListArrayError::NotOneItem},
        {"huge count",
         [] {
             Bytes b(16, 0);
             PutLe32(b, 0, 0xFFFFFFFFu);
             return b;
         }(),
         IdListArrayError::NotOneItem},
        {"parent offset past the end", withOffset(0, static_cast<uint32_t>(good.size())),
         IdListArrayError::OffsetOutOfRange},
        {"child offset far past the end", withOffset(1, 0x7FFFFFF0u),
         IdListArrayError::OffsetOutOfRange},
        {"child offset 0xFFFFFFFF", withOffset(1, 0xFFFFFFFFu), IdListArrayError::OffsetOutOfRange},
        {"parent offset on the count", withOffset(0, 0), IdListArrayError::OffsetInTable},
        {"child offset inside the offsets", withOffset(1, 8), IdListArrayError::OffsetInTable},
        {"child offset one before the table's end", withOffset(1, table - 1),
         IdListArrayError::OffsetInTable},
        {"child at the parent's offset", withOffset(1, table), IdListArrayError::ListsOverlap},
        {"child inside the parent's bytes", withOffset(1, table + 20),
         IdListArrayError::ListsOverlap},
        {"child without terminator", unterminatedChild, IdListArrayError::MalformedItem},
        {"child identifier cb 1", childCountOne, IdListArrayError::MalformedItem},
        {"child identifier runs past the block", childRunsPast, IdListArrayError::MalformedItem},
        {"parent identifier cb 1", parentCountOne, IdListArrayError::MalformedParent},
        {"parent cut short by the block", truncated(table + 10), IdListArrayError::MalformedParent},
    };
    for (const Case& c : cases) {
        // An exact-size copy: the sanitizer sees any read past the block.
        const Bytes block = c.block;
        const ShellIdListArray result = ParseSingleItemIdListArray(block.data(), block.size());
        EXPECT_EQ(result.error, c.expected) << c.what;
        EXPECT_EQ(result.Valid(), c.expected == IdListArrayError::None) << c.what;
        if (!result.Valid()) {
            EXPECT_TRUE(result.items.empty()) << c.what;
        }
    }
}

TEST(ShellIdListArray, NullBlockIsRefused) {
    EXPECT_EQ(ParseSingleItemIdListArray(nullptr, 100).error, IdListArrayError::BlockTooSmall);
}

TEST(ShellIdListArray, SpansPointAtTheListsInTheBlock) {
    const Bytes parent = Parent();
    const Bytes child = Child();
    const Bytes block = Block(parent, {child}, 3);
    const ShellIdListArray result = ParseSingleItemIdListArray(block.data(), block.size());
    ASSERT_TRUE(result.Valid());
    EXPECT_EQ(result.parent.data, block.data() + 12 + 3);
    ASSERT_EQ(result.parent.size, parent.size());
    EXPECT_EQ(0, std::memcmp(result.parent.data, parent.data(), parent.size()));
    ASSERT_EQ(result.items.size(), 1u);
    ASSERT_EQ(result.items[0].size, child.size());
    EXPECT_EQ(0, std::memcmp(result.items[0].data, child.data(), child.size()));
}

TEST(ShellIdListArray, UnalignedOffsetsAreReadByteByByte) {
    // Lists at odd offsets, with the child before the parent: allowed, nothing overlaps.
    const Bytes parent = Parent();
    const Bytes child = Child();
    Bytes block(13, 0xEE);
    PutLe32(block, 0, 1);
    const uint32_t childAt = 13;
    block.insert(block.end(), child.begin(), child.end());
    block.push_back(0xEE);
    const uint32_t parentAt = static_cast<uint32_t>(block.size());
    block.insert(block.end(), parent.begin(), parent.end());
    PutLe32(block, 4, parentAt);
    PutLe32(block, 8, childAt);

    const ShellIdListArray result = ParseSingleItemIdListArray(block.data(), block.size());
    ASSERT_TRUE(result.Valid());
    EXPECT_EQ(result.parent.data, block.data() + parentAt);
    EXPECT_EQ(result.items[0].data, block.data() + childAt);
}

TEST(ShellIdListArray, SeveralItemsForCallersThatTakeThem) {
    const Bytes a = List({Id(4, 0xA1)});
    const Bytes b = List({Id(8, 0xB2), Id(3, 0xB3)});
    const Bytes block = Block(Parent(), {a, b});
    EXPECT_EQ(ParseSingleItemIdListArray(block.data(), block.size()).error,
              IdListArrayError::NotOneItem);

    const ShellIdListArray result = ParseShellIdListArray(block.data(), block.size());
    ASSERT_TRUE(result.Valid());
    ASSERT_EQ(result.items.size(), 2u);
    EXPECT_EQ(result.items[0].size, a.size());
    EXPECT_EQ(result.items[1].size, b.size());

    // Two items naming the same bytes are refused as well.
    Bytes shared = block;
    PutLe32(shared, 12, static_cast<uint32_t>(16 + Parent().size()));
    EXPECT_EQ(ParseShellIdListArray(shared.data(), shared.size()).error,
              IdListArrayError::ListsOverlap);
}

TEST(ShellIdListArray, AbsoluteListJoinsParentAndItem) {
    const Bytes parent = Parent();
    const Bytes child = Child();
    const Bytes block = Block(parent, {child});
    const ShellIdListArray result = ParseSingleItemIdListArray(block.data(), block.size());
    ASSERT_TRUE(result.Valid());
    const size_t size = AbsoluteItemIdListSize(result, 0);
    EXPECT_EQ(size, parent.size() - 2 + child.size());
    Bytes joined(size, 0xCC);
    BuildAbsoluteItemIdList(result, 0, joined.data());
    EXPECT_EQ(joined, List({Id(20, 0x11), Id(6, 0x22), Id(10, 0x33)}));

    EXPECT_EQ(AbsoluteItemIdListSize(result, 1), 0u);
    EXPECT_EQ(AbsoluteItemIdListSize(ShellIdListArray{IdListArrayError::NoItems, {}, {}}, 0), 0u);
}

} // namespace
} // namespace corvina
