#include "band/core/ButtonHitTest.h"

#include <cstddef>

namespace corvina {

namespace {

bool Holds(const BandRect& r, int x, int y) {
    return r.left <= x && x < r.right && r.top <= y && y < r.bottom;
}

int FirstHolding(const std::vector<BandRect>& buttons, int x, int y) {
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        if (Holds(buttons[i], x, y)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

} // namespace

ButtonHit HitTestButton(const BandRect& client, const std::vector<BandRect>& buttons, int x,
                        int y) {
    if (!Holds(client, x, y)) {
        return {};
    }
    return {true, FirstHolding(buttons, x, y)};
}

ButtonHit HitTestInsertion(const BandRect& client, const std::vector<BandRect>& buttons,
                           int rowCount, int x, int y) {
    if (!Holds(client, x, y)) {
        return {};
    }
    if (buttons.empty()) {
        return {true, -1};
    }
    const int onButton = FirstHolding(buttons, x, y);
    if (onButton >= 0) {
        return {true, onButton};
    }
    if (rowCount <= 1) {
        // A single row: the gaps above and below a button still mean "before it".
        for (std::size_t i = 0; i < buttons.size(); ++i) {
            const BandRect column{buttons[i].left, client.top, buttons[i].right, client.bottom};
            if (Holds(column, x, y)) {
                return {true, static_cast<int>(i)};
            }
        }
        return {true, -1};
    }
    // Several rows: beside a row's buttons means the end of that row, which is where the
    // next row starts. A row's bottom edge counts as part of it here.
    bool previousInRow = false;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const bool inRow = buttons[i].top <= y && y <= buttons[i].bottom;
        if (previousInRow && !inRow) {
            return {true, static_cast<int>(i)};
        }
        previousInRow = inRow;
    }
    return {true, -1};
}

} // namespace corvina
