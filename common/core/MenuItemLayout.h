// Geometry and drawing rules of the suite's owner-drawn menu entries (and of the rows drawn
// in their look), free of any Windows call so they can be checked anywhere. The painter in
// common/MenuItemDraw.cpp only carries out what these functions decide.
#pragma once

#include <cstdint>
#include <string_view>

namespace corvina {

// Same meaning as a RECT: right and bottom are exclusive.
struct LayoutRect {
    int left;
    int top;
    int right;
    int bottom;
};

struct LayoutPoint {
    int x;
    int y;
};

struct LayoutSize {
    int width;
    int height;
};

inline bool operator==(const LayoutRect& a, const LayoutRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool operator==(const LayoutPoint& a, const LayoutPoint& b) {
    return a.x == b.x && a.y == b.y;
}
inline bool operator==(const LayoutSize& a, const LayoutSize& b) {
    return a.width == b.width && a.height == b.height;
}

constexpr int kMenuIconBoxLeft = 2;    // from the entry's left edge
constexpr int kMenuIconBoxSize = 20;   // square
constexpr int kMenuIconLeft = 4;       // from the entry's left edge
constexpr int kMenuIconSize = 16;      // small shell icons
constexpr int kMenuTextIndent = 26;    // text starts here, with or without an icon
constexpr int kMenuTextRightGap = 16;  // text ends this far before the right edge
constexpr int kMenuHighlightGap = 2;   // older systems: highlight starts this far right
constexpr int kMenuMinimumHeight = 20; // entries are never lower than the icon box
constexpr int kMenuSeparatorWidth = 16;
constexpr int kMenuSeparatorHeight = 8;
// Added to the label's width when measuring: the desktop context menu needs only the
// indent; the resident program's menus also leave room for the submenu arrow.
constexpr int kExtensionMenuExtraWidth = 26;
constexpr int kResidentMenuExtraWidth = 42;

// The 20 x 20 box the icon sits in, vertically centred in the entry.
LayoutRect MenuIconBoxRect(const LayoutRect& item);
// Top-left corner of the 16 x 16 icon.
LayoutPoint MenuIconOrigin(const LayoutRect& item);
// Where the label is drawn (full height of the entry).
LayoutRect MenuTextRect(const LayoutRect& item);
// The part highlighted on systems without flat menus: from just right of the icon box (or of
// the entry's left edge when no icon is drawn) to the right edge, full height.
LayoutRect MenuPartialHighlightRect(const LayoutRect& item, bool iconDrawn);
// The lower half of a separator, whose top edge carries the etched line.
LayoutRect MenuSeparatorEdgeRect(const LayoutRect& item);

// Height of an entry whose text is textHeight high: at least the minimum, made even.
int MenuEntryHeight(int textHeight);
// Size of an entry: separators are fixed; others are the label's extent plus extraWidth.
// kind is the value of MenuItemKind (1 is the separator).
LayoutSize MeasuredMenuEntrySize(int32_t kind, int textWidth, int textHeight, int extraWidth);

// A label split at its first tab: the part before is drawn left-aligned, the part after
// right-aligned in the same rectangle. Without a tab, the whole label is left and right is
// empty. A tab byte (0x09) is never the trail byte of a double-byte character.
struct LabelParts {
    std::string_view left;
    std::string_view right;
    bool hasTab;
};
LabelParts SplitMenuLabel(std::string_view label);

// The colours an entry is painted with, named after their system colours.
enum class MenuColour {
    Menu,          // COLOR_MENU
    MenuText,      // COLOR_MENUTEXT
    Highlight,     // COLOR_HIGHLIGHT
    HighlightText, // COLOR_HIGHLIGHTTEXT
    GrayText,      // COLOR_GRAYTEXT
};

// What a paint of one entry (not a separator) does, decided from its state.
struct MenuEntryPaintPlan {
    MenuColour background;    // fills the whole entry first
    bool drawIcon;            // icon index 0 or more and an image list to draw from
    bool embossIcon;          // disabled: the icon's mask in 3-D highlight and shadow
    bool raisedIconFrame;     // older systems, selected and enabled, with an icon
    bool partialHighlight;    // older systems, selected: highlight right of the icon box
    LayoutRect highlightRect; // valid when partialHighlight
    MenuColour textColour;    //
    bool textShadow;          // disabled text first drawn at (1, 1) in 3-D highlight
    LayoutRect iconBox;       //
    LayoutPoint iconOrigin;   //
    LayoutRect textRect;      //
};

struct MenuEntryState {
    bool selected;
    bool disabled;
    bool hasIcon;             // icon index 0 or more and an image list
    bool highlightIsGrayText; // the system's highlight colour equals its grey-text colour
};

MenuEntryPaintPlan PlanMenuEntryPaint(const LayoutRect& item, const MenuEntryState& state,
                                      bool flatMenus);

// Operating system families as the version query reports them.
enum class OsPlatform { Win32s, Windows9x, WindowsNT };
// Flat menus (the whole entry highlighted, no frame around the icon) start with NT 5.1.
bool IsFlatMenuVersion(OsPlatform platform, uint32_t major, uint32_t minor);

// Exactly three characters: a letter A to Z (either case), a colon and a backslash.
bool IsDriveRootText(std::string_view text);

// The system's "device not ready" error code.
constexpr uint32_t kErrorNotReady = 21;
// A drive counts as ready unless asking for its volume failed with the not-ready error.
bool IsDriveReadyResult(bool volumeAnswered, uint32_t lastError);

} // namespace corvina
