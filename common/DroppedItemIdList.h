// Reading dropped "Shell IDList Array" data as absolute item ID lists. The data comes from
// another process: it is validated against the size of its memory block before anything is
// read through its count or offsets.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include <vector>

#include "framework/CItemIdList.h"

// The clipboard format registered under "Shell IDList Array".
CLIPFORMAT ShellIdListArrayFormat();

// Whether the data object offers "Shell IDList Array" data in global memory.
bool OffersShellIdListArray(IDataObject* data);

// The parent's list joined with the single item's, in a new task-allocator block; empty
// when the block does not hold exactly one item in well-formed lists, or on allocation
// failure.
CItemIdList ItemIdListFromShellIdListArray(HGLOBAL block);

// Every item of the block, each joined with the parent's list in its own task-allocator
// block, in the order of the data; empty when the block is malformed or an allocation fails.
std::vector<CItemIdList> ItemIdListsFromShellIdListArray(HGLOBAL block);

// The same for a data object's "Shell IDList Array" data in global memory; empty when the
// object does not offer it. The storage medium is released before they return.
CItemIdList ReadSingleDroppedItemIdList(IDataObject* data);
std::vector<CItemIdList> ReadDroppedItemIdLists(IDataObject* data);
