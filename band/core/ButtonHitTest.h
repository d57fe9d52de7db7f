// Which button of a toolbar lies under a point, and where dropped items go in. Points and
// rectangles are in the toolbar's client coordinates; a rectangle holds a point when
// left <= x < right and top <= y < bottom.
#pragma once

#include <vector>

#include "band/core/MenuPlacement.h"

namespace corvina {

struct ButtonHit {
    bool inside = false; // the point lies in the client rectangle
    int index = -1;      // a button index, or -1 for none (for insertion: after the last)
};

// The first button whose rectangle holds the point.
ButtonHit HitTestButton(const BandRect& client, const std::vector<BandRect>& buttons, int x, int y);

// Where items dropped at the point are inserted: before the button under the point; in a
// single row, before the button whose column (stretched to the client height) holds it; in
// several rows, before the first button of the row after the point's row; -1 (after the last
// button) otherwise. rowCount is the number of rows the control reports.
ButtonHit HitTestInsertion(const BandRect& client, const std::vector<BandRect>& buttons,
                           int rowCount, int x, int y);

} // namespace corvina
