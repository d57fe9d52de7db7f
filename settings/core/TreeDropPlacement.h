// Where a drop on the flat menu list lands, decided from the rows on screen alone: the row
// under the point, where the insert mark goes, and where the new item is inserted.
#pragma once

#include <cstddef>
#include <vector>

#include "common/core/MenuItemLayout.h"

namespace corvina {

// Index of the first row whose rectangle holds the point (right and bottom exclusive), or
// -1. Rows are the visible rows in display order.
int FindRowAtPoint(const std::vector<LayoutRect>& rows, LayoutPoint point);

struct TreeDropPlacement {
    // The insert mark: before row markRow, or after it when markAfter; markRow is -1 when
    // the list is empty and no mark can be shown.
    int markRow;
    bool markAfter;
    // The new item goes directly after the item at insertAfter; -1 puts it first. append
    // puts it last (insertAfter is then unused).
    int insertAfter;
    bool append;
};

// hitRow is the position (among all items) of the item under the cursor or -1; itemCount is
// the number of items. A hit item gives up its place to the new one; a drop beside every
// item appends.
TreeDropPlacement PlaceTreeDrop(int hitRow, int itemCount);

} // namespace corvina
