#include "common/core/MenuItemLayout.h"

#include <algorithm>

namespace corvina {

namespace {

int Height(const LayoutRect& r) {
    return r.bottom - r.top;
}

} // namespace

LayoutRect MenuIconBoxRect(const LayoutRect& item) {
    const int top = item.top + (Height(item) - kMenuIconBoxSize) / 2;
    return {item.left + kMenuIconBoxLeft, top, item.left + kMenuIconBoxLeft + kMenuIconBoxSize,
            top + kMenuIconBoxSize};
}

LayoutPoint MenuIconOrigin(const LayoutRect& item) {
    return {item.left + kMenuIconLeft, item.top + (Height(item) - kMenuIconSize) / 2};
}

LayoutRect MenuTextRect(const LayoutRect& item) {
    return {item.left + kMenuTextIndent, item.top, item.right - kMenuTextRightGap, item.bottom};
}

LayoutRect MenuPartialHighlightRect(const LayoutRect& item, bool iconDrawn) {
    const int from = iconDrawn ? MenuIconBoxRect(item).right : item.left;
    return {from + kMenuHighlightGap, item.top, item.right, item.bottom};
}

LayoutRect MenuSeparatorEdgeRect(const LayoutRect& item) {
    return {item.left, item.top + Height(item) / 2, item.right, item.bottom};
}

int MenuEntryHeight(int textHeight) {
    const int height = std::max(textHeight, kMenuMinimumHeight);
    return height % 2 ? height + 1 : height;
}

LayoutSize MeasuredMenuEntrySize(int32_t kind, int textWidth, int textHeight, int extraWidth) {
    if (kind == 1) {
        return {kMenuSeparatorWidth, kMenuSeparatorHeight};
    }
    return {textWidth + extraWidth, MenuEntryHeight(textHeight)};
}

LabelParts SplitMenuLabel(std::string_view label) {
    const size_t tab = label.find('\t');
    if (tab == std::string_view::npos) {
        return {label, std::string_view(), false};
    }
    return {label.substr(0, tab), label.substr(tab + 1), true};
}

MenuEntryPaintPlan PlanMenuEntryPaint(const LayoutRect& item, const MenuEntryState& state,
                                      bool flatMenus) {
    MenuEntryPaintPlan plan{};
    plan.background = flatMenus && state.selected ? MenuColour::Highlight : MenuColour::Menu;
    plan.drawIcon = state.hasIcon;
    plan.embossIcon = state.hasIcon && state.disabled;
    plan.raisedIconFrame = state.hasIcon && !state.disabled && state.selected && !flatMenus;
    plan.partialHighlight = !flatMenus && state.selected;
    plan.highlightRect = MenuPartialHighlightRect(item, state.hasIcon);
    if (state.disabled) {
        plan.textColour = MenuColour::GrayText;
        // On a highlight of another colour the grey text is legible without the shadow.
        plan.textShadow = !state.selected || state.highlightIsGrayText;
    } else {
        plan.textColour = state.selected ? MenuColour::HighlightText : MenuColour::MenuText;
        plan.textShadow = false;
    }
    plan.iconBox = MenuIconBoxRect(item);
    plan.iconOrigin = MenuIconOrigin(item);
    plan.textRect = MenuTextRect(item);
    return plan;
}

bool IsFlatMenuVersion(OsPlatform platform, uint32_t major, uint32_t minor) {
    return platform == OsPlatform::WindowsNT && (major > 5 || (major == 5 && minor > 0));
}

bool IsDriveRootText(std::string_view text) {
    if (text.size() != 3) {
        return false;
    }
    const char letter = text[0];
    const bool isLetter = (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
    return isLetter && text[1] == ':' && text[2] == '\\';
}

bool IsDriveReadyResult(bool volumeAnswered, uint32_t lastError) {
    return volumeAnswered || lastError != kErrorNotReady;
}

} // namespace corvina
