#include "common/MenuItemDraw.h"

#include <cstring>
#include <cwchar>
#include <string_view>

#include "common/ShellMenuItemData.h"
#include "common/WideLabels.h"
#include "common/core/WideText.h"
#include "framework/SystemVersion.h"

using corvina::LayoutPoint;
using corvina::LayoutRect;
using corvina::MenuColour;

// The menu font comes from the metrics layout of the old systems; a larger structure would
// make them refuse the query.
static_assert(sizeof(NONCLIENTMETRICSA) == 340, "non-client metrics must keep their old size");

namespace {

// Brush raster operation that paints the selected brush where the source is black and keeps
// the destination where it is white.
constexpr DWORD kMaskedPatternCopy = 0x00B8074A;

LayoutRect ToLayout(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

RECT ToRect(const LayoutRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

int SystemColourIndex(MenuColour colour) {
    switch (colour) {
    case MenuColour::Menu:
        return COLOR_MENU;
    case MenuColour::MenuText:
        return COLOR_MENUTEXT;
    case MenuColour::Highlight:
        return COLOR_HIGHLIGHT;
    case MenuColour::HighlightText:
        return COLOR_HIGHLIGHTTEXT;
    case MenuColour::GrayText:
        return COLOR_GRAYTEXT;
    }
    return COLOR_MENU;
}

void FillWithSystemColour(HDC dc, const RECT& rect, int colourIndex) {
    // System colour brushes belong to the system: nothing to delete.
    FillRect(dc, &rect, GetSysColorBrush(colourIndex));
}

// The icon's mask painted twice, offset in the 3-D highlight and in place in the 3-D shadow
// colour: the look of a disabled icon.
void DrawEmbossedIcon(HDC dc, HIMAGELIST imageList, int iconIndex, LayoutPoint at) {
    int width = corvina::kMenuIconSize;
    int height = corvina::kMenuIconSize;
    ImageList_GetIconSize(imageList, &width, &height);
    CMemoryDC maskDc(dc);
    CBitmapHandle mask(CreateBitmap(width, height, 1, 1, nullptr));
    if (!maskDc || !mask) {
        return;
    }
    CSelectObject selectMask(maskDc, mask);
    if (!selectMask.Succeeded()) {
        return;
    }
    PatBlt(maskDc, 0, 0, width, height, WHITENESS);
    ImageList_Draw(imageList, iconIndex, maskDc, 0, 0, ILD_MASK);

    // A monochrome source maps 0 to the text colour and 1 to the background colour of the
    // destination; black and white make the raster operation see the mask bits as they are.
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
    {
        CSelectObject brush(dc, GetSysColorBrush(COLOR_3DHILIGHT));
        BitBlt(dc, at.x + 1, at.y + 1, width, height, maskDc, 0, 0, kMaskedPatternCopy);
    }
    {
        CSelectObject brush(dc, GetSysColorBrush(COLOR_3DSHADOW));
        BitBlt(dc, at.x, at.y, width, height, maskDc, 0, 0, kMaskedPatternCopy);
    }
    SetBkColor(dc, oldBack);
    SetTextColor(dc, oldText);
}

void DrawLabel(HDC dc, const corvina::LabelParts& parts, RECT rect) {
    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    DrawTextA(dc, parts.left.data(), static_cast<int>(parts.left.size()), &rect, format | DT_LEFT);
    if (parts.hasTab) {
        DrawTextA(dc, parts.right.data(), static_cast<int>(parts.right.size()), &rect,
                  format | DT_RIGHT);
    }
}

void DrawWideLabel(HDC dc, const wchar_t* label, RECT rect) {
    const corvina::WideLabelParts parts = corvina::SplitWideMenuLabel(AsUtf16(label));
    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    DrawTextW(dc, reinterpret_cast<const wchar_t*>(parts.left.data()),
              static_cast<int>(parts.left.size()), &rect, format | DT_LEFT);
    if (parts.hasTab) {
        DrawTextW(dc, reinterpret_cast<const wchar_t*>(parts.right.data()),
                  static_cast<int>(parts.right.size()), &rect, format | DT_RIGHT);
    }
}

void DrawLook(HDC dc, const MenuEntryLook& look, const corvina::LabelParts& parts,
              const RECT& rect) {
    if (look.wideLabel) {
        DrawWideLabel(dc, look.wideLabel, rect);
    } else {
        DrawLabel(dc, parts, rect);
    }
}

} // namespace

CFontHandle CreateMenuFont() {
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        return CFontHandle();
    }
    return CreateTextFont(metrics.lfMenuFont);
}

CFontHandle CreateTextFont(const LOGFONTA& font) {
    LOGFONTA request = font;
    if (request.lfCharSet == ANSI_CHARSET && GetACP() != 1252) {
        request.lfCharSet = DEFAULT_CHARSET;
    }
    return CFontHandle(CreateFontIndirectA(&request));
}

BOOL IsFlatMenuSystem() {
    CSystemVersion version;
    if (!QuerySystemVersion(&version)) {
        return FALSE;
    }
    corvina::OsPlatform platform = corvina::OsPlatform::Win32s;
    if (version.platformId == VER_PLATFORM_WIN32_NT) {
        platform = corvina::OsPlatform::WindowsNT;
    } else if (version.platformId == VER_PLATFORM_WIN32_WINDOWS) {
        platform = corvina::OsPlatform::Windows9x;
    }
    return corvina::IsFlatMenuVersion(platform, version.major, version.minor);
}

SIZE MeasureMenuItem(const ShellMenuItemData& data, HFONT font, int extraWidth) {
    SIZE text = {0, 0};
    if (data.GetKind() != MenuItemKind::Separator) {
        CWindowDC screen(nullptr);
        if (screen) {
            CSelectObject selectFont(screen, font);
            if (const wchar_t* wide = data.GetWideLabel()) {
                GetTextExtentPoint32W(screen, wide, static_cast<int>(std::wcslen(wide)), &text);
            } else {
                const char* label = data.GetLabel();
                GetTextExtentPoint32A(screen, label, static_cast<int>(std::strlen(label)), &text);
            }
        }
    }
    const corvina::LayoutSize size = corvina::MeasuredMenuEntrySize(
        static_cast<int32_t>(data.GetKind()), text.cx, text.cy, extraWidth);
    return {size.width, size.height};
}

BOOL MeasureMenuItem(MEASUREITEMSTRUCT* measure, HFONT font, int extraWidth) {
    if (!measure || measure->CtlType != ODT_MENU || !measure->itemData) {
        return FALSE;
    }
    const auto* data = reinterpret_cast<const ShellMenuItemData*>(measure->itemData);
    const SIZE size = MeasureMenuItem(*data, font, extraWidth);
    measure->itemWidth = static_cast<UINT>(size.cx);
    measure->itemHeight = static_cast<UINT>(size.cy);
    return TRUE;
}

void PaintMenuEntry(HDC dc, const RECT& rect, const MenuEntryLook& look, HFONT font, bool flat) {
    if (!dc) {
        return;
    }
    corvina::MenuEntryState state{};
    state.selected = look.selected;
    state.disabled = look.disabled;
    state.hasIcon = look.iconIndex >= 0 && look.imageList != nullptr;
    state.highlightIsGrayText = GetSysColor(COLOR_HIGHLIGHT) == GetSysColor(COLOR_GRAYTEXT);
    const corvina::MenuEntryPaintPlan plan =
        corvina::PlanMenuEntryPaint(ToLayout(rect), state, flat);

    FillWithSystemColour(dc, rect, SystemColourIndex(plan.background));
    if (plan.drawIcon) {
        if (plan.embossIcon) {
            DrawEmbossedIcon(dc, look.imageList, look.iconIndex, plan.iconOrigin);
        } else {
            if (plan.raisedIconFrame) {
                RECT box = ToRect(plan.iconBox);
                DrawEdge(dc, &box, BDR_RAISEDINNER, BF_RECT);
            }
            ImageList_Draw(look.imageList, look.iconIndex, dc, plan.iconOrigin.x, plan.iconOrigin.y,
                           ILD_TRANSPARENT);
        }
    }
    if (plan.partialHighlight) {
        FillWithSystemColour(dc, ToRect(plan.highlightRect), COLOR_HIGHLIGHT);
    }

    const corvina::LabelParts parts =
        corvina::SplitMenuLabel(look.label ? std::string_view(look.label) : std::string_view());
    CSelectObject selectFont(dc, font);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = GetTextColor(dc);
    RECT textRect = ToRect(plan.textRect);
    if (plan.textShadow) {
        RECT shadow = textRect;
        OffsetRect(&shadow, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
        DrawLook(dc, look, parts, shadow);
    }
    SetTextColor(dc, GetSysColor(SystemColourIndex(plan.textColour)));
    DrawLook(dc, look, parts, textRect);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
}

void PaintMenuSeparator(HDC dc, const RECT& rect) {
    if (!dc) {
        return;
    }
    FillWithSystemColour(dc, rect, COLOR_MENU);
    RECT edge = ToRect(corvina::MenuSeparatorEdgeRect(ToLayout(rect)));
    DrawEdge(dc, &edge, EDGE_ETCHED, BF_TOP);
}

void DrawMenuItem(HDC dc, const RECT& rect, UINT itemState, const ShellMenuItemData& data,
                  HFONT font, bool flat) {
    if (data.GetKind() == MenuItemKind::Separator) {
        PaintMenuSeparator(dc, rect);
        return;
    }
    MenuEntryLook look{};
    look.wideLabel = data.GetWideLabel();
    look.label = look.wideLabel ? "" : data.GetLabel();
    look.imageList = data.GetImageList();
    look.iconIndex = data.GetIconIndex();
    look.selected = (itemState & ODS_SELECTED) != 0;
    look.disabled = (itemState & ODS_GRAYED) != 0;
    PaintMenuEntry(dc, rect, look, font, flat);
}

BOOL DrawMenuItem(const DRAWITEMSTRUCT& draw, HFONT font, bool flat) {
    if (draw.CtlType != ODT_MENU || !draw.itemData) {
        return FALSE;
    }
    DrawMenuItem(draw.hDC, draw.rcItem, draw.itemState,
                 *reinterpret_cast<const ShellMenuItemData*>(draw.itemData), font, flat);
    return TRUE;
}
