#include "foldermenu/TitledTipWindow.h"

#include <commctrl.h>

#include "common/ShellMenuItemData.h"
#include "framework/AnsiWide.h"
#include "foldermenu/core/TipLayout.h"

namespace {

RECT ToRect(const corvina::TipRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

} // namespace

void TitledTipWindow::SetTitle(const wchar_t* title, int iconIndex) {
    m_title = title ? title : L"";
    m_iconIndex = iconIndex;
}

void TitledTipWindow::SetTitle(const char* title, int iconIndex) {
    SetTitle(AnsiToWide(title).c_str(), iconIndex);
}

void TitledTipWindow::Show(const wchar_t* text, int wrapWidth) {
    Hide();
    SetText(LayOutText(text, wrapWidth));
    const bool hasBody = !GetText().empty();
    const SIZE body = hasBody ? MeasureText(GetText().c_str(), kNoWrap) : SIZE{0, 0};
    // DT_VCENTER and the ellipsis only take effect when drawing; the extent is the line's.
    const SIZE title = MeasureWithFlags(m_title, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    m_titleHeight = title.cy;
    const corvina::TipSize size = corvina::TitledTipSize({title.cx, title.cy}, {body.cx, body.cy},
                                                         hasBody, GetMarginX(), GetMarginY());
    ApplySize(size.width, size.height);
    StartDelay();
}

void TitledTipWindow::PaintContent(HDC dc) {
    const RECT content = GetContentRect();
    const corvina::TipRect area = {content.left, content.top, content.right, content.bottom};

    HIMAGELIST images = m_iconIndex >= 0 ? SystemSmallImageList() : nullptr;
    if (images) {
        const corvina::TipPoint icon = corvina::TipIconOrigin(area, m_titleHeight);
        ImageList_Draw(images, m_iconIndex, dc, icon.x, icon.y, ILD_TRANSPARENT);
    }
    // DT_PATH_ELLIPSIS is the flag that shortens in the middle (DT_END_ELLIPSIS cuts the
    // end); titles are item names, where the end (an extension, a last path part) matters.
    RECT title = ToRect(corvina::TipTitleRect(area, m_titleHeight));
    DrawTipText(dc, m_title, &title, kTitleFormat);
    if (!GetText().empty()) {
        RECT body = ToRect(corvina::TipBodyRect(area, m_titleHeight));
        DrawTipText(dc, GetText(), &body, kBodyFormat);
    }
}
