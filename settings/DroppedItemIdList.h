// Reading the one item of dropped "Shell IDList Array" data as an absolute item ID list.
// The data comes from another process: it is validated against the size of its memory block
// before anything is read through its count or offsets.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include "framework/CItemIdList.h"

// The clipboard format registered under "Shell IDList Array".
CLIPFORMAT ShellIdListArrayFormat();

// The parent's list joined with the single item's, in a new task-allocator block; empty
// when the block does not hold exactly one item in well-formed lists, or on allocation
// failure.
CItemIdList ItemIdListFromShellIdListArray(HGLOBAL block);

// The same for a data object's "Shell IDList Array" data in global memory; empty when the
// object does not offer it.
CItemIdList ReadSingleDroppedItemIdList(IDataObject* data);
