#include "settings/core/MessageBoxStyle.h"

#include <algorithm>

namespace corvina {

namespace {

constexpr int kShadow = 4;
constexpr int kIconInset = 2;

// Keeps a rectangle inside the control and never inverted.
FrameRect Clamped(int left, int top, int right, int bottom, int width, int height) {
    left = std::clamp(left, 0, width);
    top = std::clamp(top, 0, height);
    return {left, top, std::clamp(right, left, width), std::clamp(bottom, top, height)};
}

} // namespace

std::uint32_t AddDefaultMessageIcon(std::uint32_t type) {
    if ((type & kMessageBoxIconMask) != 0) {
        return type;
    }
    switch (type & kMessageBoxButtonMask) {
    case kMessageBoxOk:
    case kMessageBoxOkCancel:
    case kMessageBoxYesNoCancel:
    case kMessageBoxYesNo:
        return type | kMessageBoxIconExclamation;
    default:
        return type;
    }
}

IconFrameLayout LayoutIconFrame(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    IconFrameLayout layout{};
    layout.panel = Clamped(0, 0, width - kShadow, height - kShadow, width, height);
    layout.rightShadow = Clamped(width - kShadow, kShadow, width, height, width, height);
    layout.bottomShadow = Clamped(kShadow, height - kShadow, width, height, width, height);
    // The icon keeps a 2-pixel margin inside the panel.
    layout.icon = Clamped(kIconInset, kIconInset, width - 2 * kShadow + kIconInset,
                          height - 2 * kShadow + kIconInset, width, height);
    return layout;
}

int CentreOffset(int extent, int itemSize) {
    return (extent - itemSize + 1) / 2;
}

} // namespace corvina
