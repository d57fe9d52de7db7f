// Item ID lists held in task-allocator blocks (CItemIdList): copies and joins. The byte
// rules themselves are in common/core/ItemIdListBytes.h.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <cstddef>

#include "framework/CItemIdList.h"

// Full size of a well-formed list in memory, terminator included; 0 for a null list.
size_t GetItemIdListSize(LPCITEMIDLIST list);
// Number of identifiers; 0 for the desktop and for a null list.
size_t GetItemIdCount(LPCITEMIDLIST list);
// The last identifier of the list (the terminator when it is empty); null for null.
LPCITEMIDLIST GetLastItemId(LPCITEMIDLIST list);

// A copy in a new task-allocator block; empty when list is null or allocation fails.
CItemIdList CopyItemIdList(LPCITEMIDLIST list);
// parent's identifiers followed by child's in a new block; empty when either is null or
// allocation fails.
CItemIdList JoinItemIdLists(LPCITEMIDLIST parent, LPCITEMIDLIST child);
