// Where a long folder submenu starts new columns on systems that do not scroll menus taller
// than the screen, and which systems those are.
#pragma once

#include <cstddef>
#include <vector>

namespace corvina {

// Entries per column: screen height divided by the entry height, less one. The entry height
// is the font's line height, at least 20 and made even, as the entries are measured. Never
// below 1, so that a tiny screen or a huge font cannot make the running position divide by 0.
int MenuEntriesPerColumn(int screenHeight, int lineHeight);

// Running position of the first appended entry when the menu already holds entriesInMenu
// entries: their count modulo perColumn, 1 instead of 0.
int MenuStartPosition(size_t entriesInMenu, int perColumn);

// For count entries appended after entriesInMenu: true where an entry starts a new column
// (its running position is a multiple of perColumn). All false when the system scrolls.
std::vector<bool> PlanMenuColumnBreaks(size_t entriesInMenu, size_t count, int perColumn,
                                       bool systemScrolls);

// The NT family scrolls long menus from version 5.0 on; the 9x family at 4.10 (98) and from
// 4.90 (Me) on.
bool SystemScrollsLongMenus(bool ntFamily, unsigned major, unsigned minor);

} // namespace corvina
