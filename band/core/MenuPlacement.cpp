#include "band/core/MenuPlacement.h"

namespace corvina {

MenuPlacement PlaceMenu(const BandRect& button, uint32_t viewMode, int screenWidth,
                        int screenHeight) {
    // Below the button unless the band sits in the half of the screen where that would run
    // off the edge.
    MenuPlacement placement{button.left, button.bottom, kMenuLeftTopAlign};
    if (viewMode == kBandViewHorizontal && button.top >= screenHeight / 2) {
        placement.y = button.top;
        placement.flags = kMenuBottomAlign;
    } else if (viewMode == kBandViewVertical && button.left >= screenWidth / 2) {
        placement.x = button.right;
        placement.flags = kMenuRightAlign;
    }
    placement.flags |= kMenuRightButton;
    return placement;
}

} // namespace corvina
