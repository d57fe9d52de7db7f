// The tip window with a title line above the text: a small shell icon and the item's name.
#pragma once

#include "foldermenu/TipWindow.h"

class TitledTipWindow : public TipWindow {
public:
    // Used by the next Show. title null is empty; iconIndex is an index into the small
    // system image list, -1 for no icon.
    void SetTitle(const wchar_t* title, int iconIndex);
    // The same for a title in the ANSI code page.
    void SetTitle(const char* title, int iconIndex);
    const std::wstring& GetTitle() const { return m_title; }
    int GetIconIndex() const { return m_iconIndex; }

    // Hides any tip being shown, lays out icon, title and text (null or empty: the title
    // line alone), sizes the window and starts the delay.
    void Show(const wchar_t* text, int wrapWidth) override;
    using TipWindow::Show;

protected:
    void PaintContent(HDC dc) override;

private:
    static constexpr UINT kTitleFormat =
        DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_PATH_ELLIPSIS;

    std::wstring m_title;
    int m_iconIndex = -1;
    int m_titleHeight = 0; // of the last Show, for painting
};
