#include "TestSupport.h"

#include "common/ItemIdList.h"

#include <shlobj.h>

#include <cstring>

namespace {

Bytes BytesOf(LPCITEMIDLIST list, size_t size) {
    const BYTE* p = reinterpret_cast<const BYTE*>(list);
    return Bytes(p, p + size);
}

// Lists the shell itself made, measured and joined by our helpers and by the shell's own.
TEST(ItemIdListHelpers, AgreeWithTheShellOnItsOwnLists) {
    const int folders[] = {CSIDL_DRIVES, CSIDL_PERSONAL, CSIDL_WINDOWS, CSIDL_DESKTOP};
    for (int folder : folders) {
        CItemIdList list;
        ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, folder, list.Receive()), S_OK) << folder;
        EXPECT_EQ(GetItemIdListSize(list), size_t(ILGetSize(list))) << folder;
        EXPECT_EQ(GetLastItemId(list), ILFindLastID(list)) << folder;

        const CItemIdList copy = CopyItemIdList(list);
        ASSERT_TRUE(copy);
        EXPECT_NE(copy.Get(), list.Get());
        EXPECT_EQ(BytesOf(copy, ILGetSize(copy)), BytesOf(list, ILGetSize(list)));

        // Joining the parent with the last identifier rebuilds the list.
        CItemIdList parent = CopyItemIdList(list);
        ILRemoveLastID(parent.Get());
        const CItemIdList joined = JoinItemIdLists(parent, ILFindLastID(list));
        ASSERT_TRUE(joined);
        EXPECT_EQ(BytesOf(joined, ILGetSize(joined)), BytesOf(list, ILGetSize(list))) << folder;
        LPITEMIDLIST combined = ILCombine(parent, ILFindLastID(list));
        EXPECT_EQ(BytesOf(joined, ILGetSize(joined)), BytesOf(combined, ILGetSize(combined)));
        ILFree(combined);
    }
}

TEST(ItemIdListHelpers, CountsIdentifiersAndRefusesNull) {
    const Bytes two = {3, 0, 1, 4, 0, 2, 3, 0, 0};
    const CItemIdList list = CItemIdList::FromBytes(two.data(), two.size());
    EXPECT_EQ(GetItemIdCount(list), 2u);
    EXPECT_EQ(GetItemIdListSize(list), two.size());
    EXPECT_EQ(GetItemIdCount(nullptr), 0u);
    EXPECT_EQ(GetItemIdListSize(nullptr), 0u);
    EXPECT_FALSE(CopyItemIdList(nullptr));
    EXPECT_FALSE(JoinItemIdLists(list, nullptr));
    EXPECT_FALSE(JoinItemIdLists(nullptr, list));
}

} // namespace
