// The menu item list: the user's ordered shell items, each with an optional display name,
// stored under HKEY_CURRENT_USER\Software\Velmora\Corvina as "Length", "NO.%03u" (the item
// ID list, REG_BINARY) and "DN.%03u" (the display name, REG_SZ without terminator).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/CItemIdList.h"

namespace corvina {
class MenuListValueWriter; // common/core/MenuListValues.h
}

struct MenuItemRecord {
    // Absolute item ID list, in a task-allocator block owned by the record.
    CItemIdList itemIdList;
    // The user's own title in the ANSI code page; empty means the shell's display name.
    std::string displayName;
};

using MenuItemList = std::vector<MenuItemRecord>;

// Loads the list afresh. Never fails: a missing key or "Length" gives an empty list; a
// record whose "NO" value is missing, not binary or not a well-formed item ID list is left
// out, as is one whose block cannot be allocated. The cost follows the number of values
// stored, whatever "Length" claims.
MenuItemList LoadMenuItemList();

// Writes the whole list: creates the keys if needed, then each record's "NO" and "DN", every
// value on its own, and "Length" last, so that a reader running meanwhile sees no fewer
// records than the shorter of the old and the new list (corvina::PlanMenuListWrites). When a
// record cannot be written, "Length" keeps its old count. Values of a longer earlier list
// stay. Records without an item ID list cannot be stored: they are left out, the rest
// numbered without gaps. Returns 1 when everything was written, else 0; also 0, never an
// exception, when something is thrown on the way (an allocation that fails).
BOOL SaveMenuItemList(const MenuItemList& list);

// The same on another key (scratch keys of tests and measurements).
MenuItemList LoadMenuItemListFrom(HKEY root, const char* path);
BOOL SaveMenuItemListTo(HKEY root, const char* path, const MenuItemList& list);

// The save's values through writer, whose key must exist (tests put failures in its way).
// Same result as SaveMenuItemList; nothing thrown leaves it.
BOOL SaveMenuItemListWith(corvina::MenuListValueWriter& writer, const MenuItemList& list);
