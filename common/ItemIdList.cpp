#include "common/ItemIdList.h"

#include "common/core/ItemIdListBytes.h"

size_t GetItemIdListSize(LPCITEMIDLIST list) {
    return list ? corvina::ItemIdListSize(list) : 0;
}

size_t GetItemIdCount(LPCITEMIDLIST list) {
    return list ? corvina::ItemIdCount(list) : 0;
}

LPCITEMIDLIST GetLastItemId(LPCITEMIDLIST list) {
    return list ? reinterpret_cast<LPCITEMIDLIST>(corvina::LastItemId(list)) : nullptr;
}

CItemIdList CopyItemIdList(LPCITEMIDLIST list) {
    if (!list) {
        return CItemIdList();
    }
    return CItemIdList::FromBytes(list, corvina::ItemIdListSize(list));
}

CItemIdList JoinItemIdLists(LPCITEMIDLIST parent, LPCITEMIDLIST child) {
    if (!parent || !child) {
        return CItemIdList();
    }
    const size_t size = corvina::JoinedItemIdListSize(parent, child);
    void* block = CoTaskMemAlloc(size);
    if (!block) {
        return CItemIdList();
    }
    corvina::JoinItemIdListsInto(parent, child, static_cast<uint8_t*>(block));
    return CItemIdList(static_cast<LPITEMIDLIST>(block));
}
