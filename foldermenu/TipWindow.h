// A small pop-up that describes the highlighted entry of an open menu: shown next to the
// mouse after a delay, never activated, kept inside the screen. Ordinary tooltip controls do
// not work for menu entries, hence this window of our own. One per menu owner, which creates
// it and destroys it; used on the owner's user-interface thread only.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <utility>

#include "framework/CWnd.h"
#include "framework/Handles.h"

class TipWindow : public CWnd {
public:
    static constexpr UINT_PTR kTimerId = 10;
    static constexpr UINT kDefaultDelay = 1000; // milliseconds
    static constexpr int kNoWrap = -1;
    static const char kClassName[];
    static const char kWindowTitle[];

    // Loads the library the animation function is looked up in; no window yet.
    TipWindow();
    // Destroys the window (which stops a pending delay) before the font goes.
    ~TipWindow() override;

    // Creates the hidden window; registers its class on first use. False if it fails or a
    // window exists already.
    bool Create();
    // Inner margins in pixels (1 and 1 until set); take effect at the next show.
    void SetMargins(int marginX, int marginY);
    // Time from a show request to the window appearing.
    void SetDelay(UINT milliseconds) { m_delay = milliseconds; }

    // The seven virtual operations from here on keep this declaration order.

    // Hides any tip being shown, lays out text (null is empty) wrapped to wrapWidth columns
    // (kNoWrap: not wrapped), sizes the window and starts the delay.
    virtual void Show(const wchar_t* text, int wrapWidth);
    // Stops a pending show and hides the window.
    virtual void Hide();
    // Extent of text in the tip font as drawn, wrapped first unless wrapWidth is kNoWrap.
    virtual SIZE MeasureText(const wchar_t* text, int wrapWidth);

protected:
    // Draws the texts (and icon) inside the frame; the background and frame are drawn, and
    // the font and text colour selected, before it is called.
    virtual void PaintContent(HDC dc);
    // Moves the window next to the mouse, inside the screen the mouse is on.
    virtual void PlaceAtMouse();
    // Places, animates and shows the window without activating it.
    virtual void ShowNow();
    // The client area inset by the frame and the margins.
    virtual RECT GetContentRect();

public:
    // The same for a text in the ANSI code page.
    void Show(const char* text, int wrapWidth);
    SIZE MeasureText(const char* text, int wrapWidth);

    bool IsPending() const { return m_pending; }
    bool IsVisible() const { return m_visible; }
    // The wrapped body text as it is drawn (on the 9x family, in its code page's reading).
    const std::wstring& GetText() const { return m_text; }
    // The tip font (the status-bar font of the non-client metrics, or the default GUI font
    // if that cannot be created). Owned by the window.
    HFONT GetFont() const;
    int GetMarginX() const { return m_marginX; }
    int GetMarginY() const { return m_marginY; }

    // text wrapped to wrapWidth columns, cut to 1023 units without splitting a surrogate
    // pair. kNoWrap returns the text as it is.
    static std::wstring WrapText(std::wstring_view text, int wrapWidth);
    // text wrapped to wrapWidth columns through UTF-16, back in the ANSI code page, cut to
    // fit a 1024-byte buffer at a character boundary. kNoWrap returns the text as it is.
    static std::string WrapText(const char* text, int wrapWidth);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    // Resizes the window at once, as the topmost window, without moving or activating it.
    void ApplySize(int width, int height);
    // Starts the delay timer and marks a show as pending; shows at once if no timer can be
    // had.
    void StartDelay();
    // DrawText with DT_CALCRECT and the given flags, in the tip font.
    SIZE MeasureWithFlags(const std::wstring& text, UINT format);
    void SetText(std::wstring text) { m_text = std::move(text); }
    // text wrapped as this system shows it: in UTF-16 on the NT family, in the code page on
    // the 9x family (and so read back from it).
    static std::wstring LayOutText(const wchar_t* text, int wrapWidth);
    // The wide text call on the NT family, the code page's call on its reading on the 9x
    // family.
    static int DrawTipText(HDC dc, const std::wstring& text, RECT* rect, UINT format);

    static constexpr UINT kBodyFormat = DT_LEFT | DT_WORDBREAK | DT_NOPREFIX;

private:
    void CreateTipFont();
    void Paint(HDC dc);
    void StopTimer();
    using AnimateWindowFunction = BOOL(WINAPI*)(HWND, DWORD, DWORD);
    AnimateWindowFunction FindAnimateWindow() const;

    std::wstring m_text;
    CFontHandle m_font;
    int m_marginX = 1;
    int m_marginY = 1;
    UINT m_delay = kDefaultDelay;
    bool m_pending = false;
    bool m_visible = false;
    UINT_PTR m_timer = 0;
    CLibrary m_user32;
};
