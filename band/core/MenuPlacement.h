// Where a popup menu of the band opens next to its button: above or below it in a horizontal
// band, on the side away from the screen edge in a vertical one.
#pragma once

#include <cstdint>

namespace corvina {

// A rectangle in screen or client coordinates; right and bottom lie outside it.
struct BandRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The values of the tracking flags the placement uses.
constexpr uint32_t kMenuLeftTopAlign = 0x0000; // TPM_LEFTALIGN | TPM_TOPALIGN
constexpr uint32_t kMenuRightButton = 0x0002;  // TPM_RIGHTBUTTON
constexpr uint32_t kMenuRightAlign = 0x0008;   // TPM_RIGHTALIGN
constexpr uint32_t kMenuBottomAlign = 0x0020;  // TPM_BOTTOMALIGN

// View modes a band is told of: horizontal, vertical; anything else is floating.
constexpr uint32_t kBandViewHorizontal = 0;
constexpr uint32_t kBandViewVertical = 1;

struct MenuPlacement {
    int x = 0;
    int y = 0;
    uint32_t flags = 0; // always includes kMenuRightButton
};

// The anchor and alignment for a menu of the button at `button` (screen coordinates) on a
// screen of screenWidth x screenHeight pixels.
MenuPlacement PlaceMenu(const BandRect& button, uint32_t viewMode, int screenWidth,
                        int screenHeight);

} // namespace corvina
