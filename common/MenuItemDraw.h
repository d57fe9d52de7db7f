// Measuring and painting owner-drawn menu entries (and rows drawn in their look). The painting
// functions take the device context, rectangle, state and data they need, and leave the
// device context as they found it; the only GDI objects they create are freed before they
// return.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "common/core/MenuItemLayout.h"
#include "framework/Handles.h"

class ShellMenuItemData;

using corvina::kExtensionMenuExtraWidth; // 26: the desktop context menu
using corvina::kResidentMenuExtraWidth;  // 42: menus with submenu arrows

// The system menu font from the non-client metrics; empty if the system does not give them.
CFontHandle CreateMenuFont();

// A font for the suite's texts from a system metrics font. Some systems report those fonts
// with the Western character set whatever the code page; a Shift-JIS label would then show
// as Latin letters, so such a font is asked for in the system's own character set.
CFontHandle CreateTextFont(const LOGFONTA& font);

// True on the NT family from version 5.1 on: entries are highlighted as a whole and their
// icon gets no frame. Asked of the system on every call.
BOOL IsFlatMenuSystem();

// The size of an entry: 16 x 8 for a separator; otherwise the extent of the whole label in
// font on a screen device context (the wide extent for a wide label) plus extraWidth, and an even
// height of at least 20.
SIZE MeasureMenuItem(const ShellMenuItemData& data, HFONT font, int extraWidth);
// For WM_MEASUREITEM: sizes the entry whose itemData is a ShellMenuItemData. Returns FALSE
// (and leaves the structure alone) when it is not a menu entry or carries no data.
BOOL MeasureMenuItem(MEASUREITEMSTRUCT* measure, HFONT font, int extraWidth);

// What one entry shows.
struct MenuEntryLook {
    const char* label;    // may hold a tab: the part after it is right-aligned
    HIMAGELIST imageList; // may be null (no icon drawn)
    int iconIndex;        // -1: no icon, the text keeps its indent
    bool selected;
    bool disabled;
    // When set, shown instead of label and drawn with the wide text call.
    const wchar_t* wideLabel = nullptr;
};

// Paints an entry (not a separator) into rect. flat is IsFlatMenuSystem() for menus; font
// is the menu font (or a control's own font for rows drawn in the menu look).
void PaintMenuEntry(HDC dc, const RECT& rect, const MenuEntryLook& look, HFONT font, bool flat);
// Menu colour with an etched line whose top edge is at the vertical middle.
void PaintMenuSeparator(HDC dc, const RECT& rect);

// Paints the entry data stands for: kind 1 as a separator, every other kind as an entry;
// selected from ODS_SELECTED, disabled from ODS_GRAYED.
void DrawMenuItem(HDC dc, const RECT& rect, UINT itemState, const ShellMenuItemData& data,
                  HFONT font, bool flat);
// For WM_DRAWITEM: paints the entry whose itemData is a ShellMenuItemData. Returns FALSE
// when it is not a menu entry or carries no data.
BOOL DrawMenuItem(const DRAWITEMSTRUCT& draw, HFONT font, bool flat);
