#include "settings/core/MessageBoxStyle.h"

#include <algorithm>

namespace corvina {

namespace {

constexpr std::uint32_t kIconMask = 0x00F0;
constexpr std::uint32_t kButtonMask = 0x000F;
constexpr std::uint32_t kExclamation = 0x0030;

constexpr std::uint32_t kOk = 0;
constexpr std::uint32_t kOkCancel = 1;
constexpr std::uint32_t kYesNoCancel = 3;
constexpr std::uint32_t kYesNo = 4;

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
    if ((type & kIconMask) != 0) {
        return type;
    }
    switch (type & kButtonMask) {
    case kOk:
    case kOkCancel:
    case kYesNoCancel:
    case kYesNo:
        return type | kExclamation;
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
