// Distinct system colours for the pixel checks of owner-drawn entries (the owner-draw tests,
// and those of the menu, the tree and the resident frame, which paint the same entries).
#pragma once

#include <windows.h>

// Distinct system colours for pixel checks, set for the object's lifetime and put back
// afterwards. Both language runs share one desktop, so a named mutex keeps them apart.
class CTestPalette {
public:
    static constexpr COLORREF kMenu = RGB(212, 208, 200);
    static constexpr COLORREF kMenuText = RGB(0, 0, 0);
    static constexpr COLORREF kHighlight = RGB(10, 36, 106);
    static constexpr COLORREF kHighlightText = RGB(250, 250, 250);
    static constexpr COLORREF kGrayText = RGB(96, 96, 96);
    static constexpr COLORREF kLight = RGB(255, 255, 255);
    static constexpr COLORREF kShadow = RGB(128, 128, 128);

    // highlight replaces kHighlight (to give it the grey-text colour, say).
    explicit CTestPalette(COLORREF highlight = kHighlight);
    CTestPalette(const CTestPalette&) = delete;
    CTestPalette& operator=(const CTestPalette&) = delete;
    ~CTestPalette();
    bool Applied() const { return m_applied; }

private:
    static constexpr int kCount = 7;
    HANDLE m_mutex = nullptr;
    bool m_owned = false;
    bool m_applied = false;
    COLORREF m_saved[kCount] = {};
};
