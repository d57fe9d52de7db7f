#include "foldermenu/core/MenuColumns.h"

#include <algorithm>

namespace corvina {

int MenuEntriesPerColumn(int screenHeight, int lineHeight) {
    int h = std::max(lineHeight, 20);
    if (h % 2 != 0) {
        ++h;
    }
    return std::max(screenHeight / h - 1, 1);
}

int MenuStartPosition(size_t entriesInMenu, int perColumn) {
    const size_t b = static_cast<size_t>(std::max(perColumn, 1));
    const int i = static_cast<int>(entriesInMenu % b);
    return i == 0 ? 1 : i;
}

std::vector<bool> PlanMenuColumnBreaks(size_t entriesInMenu, size_t count, int perColumn,
                                       bool systemScrolls) {
    std::vector<bool> breaks(count, false);
    if (systemScrolls) {
        return breaks;
    }
    const size_t b = static_cast<size_t>(std::max(perColumn, 1));
    size_t i = static_cast<size_t>(MenuStartPosition(entriesInMenu, perColumn));
    for (size_t k = 0; k < count; ++k, ++i) {
        breaks[k] = i % b == 0;
    }
    return breaks;
}

bool SystemScrollsLongMenus(bool ntFamily, unsigned major, unsigned minor) {
    if (ntFamily) {
        return major >= 5;
    }
    if (major != 4) {
        return major > 4;
    }
    return minor == 10 || minor >= 90;
}

} // namespace corvina
