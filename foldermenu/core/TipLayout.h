// Text wrapping, sizing and placement of the info tip window, free of any Windows call. The
// window classes in foldermenu/TipWindow.cpp and foldermenu/TitledTipWindow.cpp measure texts and
// read the mouse and the screen; everything they decide from those figures is here.
#pragma once

#include <string>
#include <string_view>

namespace corvina {

// Right and bottom are exclusive, as in a RECT.
struct TipRect {
    int left;
    int top;
    int right;
    int bottom;
};

struct TipPoint {
    int x;
    int y;
};

struct TipSize {
    int width;
    int height;
};

inline bool operator==(const TipRect& a, const TipRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool operator==(const TipPoint& a, const TipPoint& b) {
    return a.x == b.x && a.y == b.y;
}
inline bool operator==(const TipSize& a, const TipSize& b) {
    return a.width == b.width && a.height == b.height;
}

constexpr int kTipNoWrap = -1;      // wrap width: leave the text as it is
constexpr int kTipMouseOffset = 15; // gap between the mouse and the tip, both directions
constexpr int kTipFrameWidth = 1;   // the frame drawn around the client area
constexpr int kTipIconSize = 16;    // small shell icon next to the title
constexpr int kTipTitleIndent = 20; // title text starts this far right of the icon's edge
constexpr int kTipBodyGap = 4;      // between the title line and the body
constexpr int kTipTextLimit = 1024; // bytes of a wrapped text, terminator included

// Columns a UTF-16 code unit sequence takes: 1 below U+0100, 2 for everything else.
int TipCharacterWidth(char32_t character);

// Breaks text into lines of at most wrapWidth columns. A line feed goes after the character
// at which the running width reaches wrapWidth (>=). A double-width character that would
// carry the line past wrapWidth moves to the next line instead, so that no line is wider than
// wrapWidth (unless a single character is wider than wrapWidth on its own). A surrogate pair
// is one double-width character and is never split; a lone surrogate counts as double-width.
// Existing line feeds end a line and restart the count; a carriage return takes no column. No
// line feed is added at the end of the text or just before an existing line break, so there
// are never empty lines that the text did not have. A wrapWidth of kTipNoWrap (or any value
// below 1) returns the text unchanged.
std::u16string WrapTipText(std::u16string_view text, int wrapWidth);

// Window size of a plain tip around a body of the given extent.
TipSize PlainTipSize(TipSize body, int marginX, int marginY);
// Window size of a tip with a title line (icon and title) above an optional body.
TipSize TitledTipSize(TipSize title, TipSize body, bool hasBody, int marginX, int marginY);

// Where a tip of size window goes for the mouse at mouse on a screen (or monitor) area: below
// and right of the mouse, flipped above or to the left of it when it would cross the right or
// bottom edge, but never past the left or top edge.
TipPoint PlaceTip(TipPoint mouse, TipSize window, TipRect screen);

// The client area inset by the frame and then by the margins.
TipRect TipContentRect(TipRect client, int marginX, int marginY);
// Top-left corner of the icon: at the content's left edge, centred on the title line.
TipPoint TipIconOrigin(TipRect content, int titleHeight);
// The title line, right of the icon.
TipRect TipTitleRect(TipRect content, int titleHeight);
// The body of a titled tip: below the title line and its gap. A plain tip's body fills the
// whole content rectangle.
TipRect TipBodyRect(TipRect content, int titleHeight);

} // namespace corvina
