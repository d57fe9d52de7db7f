// Decisions of the settings program's message boxes and about box that need no Windows call.
#pragma once

#include <cstdint>

namespace corvina {

// Message box style bits (the system's MB_* values).
constexpr std::uint32_t kMessageBoxIconMask = 0x00F0;
constexpr std::uint32_t kMessageBoxButtonMask = 0x000F;
constexpr std::uint32_t kMessageBoxIconExclamation = 0x0030;
constexpr std::uint32_t kMessageBoxOk = 0;
constexpr std::uint32_t kMessageBoxOkCancel = 1;
constexpr std::uint32_t kMessageBoxYesNoCancel = 3;
constexpr std::uint32_t kMessageBoxYesNo = 4;

// The style a message box of the settings program is shown with: a box without an icon of
// its own whose buttons are OK, OK/Cancel, Yes/No/Cancel or Yes/No gets the exclamation
// icon; every other button set keeps what the caller gave.
std::uint32_t AddDefaultMessageIcon(std::uint32_t type);

struct FrameRect {
    int left;
    int top;
    int right;
    int bottom;
};

// Where the parts of the about box's icon frame go inside a control of width x height
// pixels: the white framed panel, the shadow strips along its right and bottom edges and
// the rectangle the program icon is stretched into. Sizes below the frame's own margins
// give empty rectangles, never inverted ones.
struct IconFrameLayout {
    FrameRect panel;
    FrameRect rightShadow;
    FrameRect bottomShadow;
    FrameRect icon;
};
IconFrameLayout LayoutIconFrame(int width, int height);

// Top-left corner that centres an item of itemSize in extent (the minimised sheet's icon).
int CentreOffset(int extent, int itemSize);

} // namespace corvina
