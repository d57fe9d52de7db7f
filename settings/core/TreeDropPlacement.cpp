#include "settings/core/TreeDropPlacement.h"

namespace corvina {

int FindRowAtPoint(const std::vector<LayoutRect>& rows, LayoutPoint point) {
    for (size_t i = 0; i < rows.size(); ++i) {
        const LayoutRect& r = rows[i];
        if (point.x >= r.left && point.x < r.right && point.y >= r.top && point.y < r.bottom) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

TreeDropPlacement PlaceTreeDrop(int hitRow, int itemCount) {
    TreeDropPlacement placement{};
    if (hitRow >= 0 && hitRow < itemCount) {
        placement.markRow = hitRow;
        placement.markAfter = false;
        placement.insertAfter = hitRow - 1;
        placement.append = false;
        return placement;
    }
    placement.markRow = itemCount > 0 ? itemCount - 1 : -1;
    placement.markAfter = true;
    placement.insertAfter = itemCount - 1;
    placement.append = true;
    return placement;
}

} // namespace corvina
