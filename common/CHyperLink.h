// A static text control made into a hyperlink: sized to its text, painted in link colour with
// a hand cursor where the system has one, underlined while the mouse is over it, and opening
// its target through the shell when clicked.
#pragma once

#include <windows.h>

#include <string>

#include "framework/CSubclassWnd.h"
#include "framework/Handles.h"

class CHyperLink : private CSubclassWnd {
public:
    CHyperLink();
    ~CHyperLink();
    CHyperLink(const CHyperLink&) = delete;
    CHyperLink& operator=(const CHyperLink&) = delete;

    // Takes over the static control (usually in WM_INITDIALOG) until it is destroyed or
    // Detach is called. An empty target opens the control's own text.
    bool Attach(HWND control, const char* target);
    void Detach();
    HWND GetHwnd() const { return CSubclassWnd::GetHwnd(); }
    const std::string& GetTarget() const { return m_target; }
    bool IsHovering() const { return m_hovering; }

    // Opens target with the shell's "open" verb; when that fails, with the open command of
    // the ".htm" handler. False when neither could start it.
    static bool OpenTarget(const char* target);
    // The ".htm" handler's command line for target, or empty when there is none.
    static std::string BuildFallbackCommand(const char* target);

    static constexpr UINT_PTR kHoverTimerId = 1;
    static constexpr UINT kHoverTimerInterval = 100;

private:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void FitToText();
    void SetHover(bool hovering);
    void Paint();
    void LoadLinkCursor();

    std::string m_target;
    HFONT m_normalFont = nullptr; // the control's, not ours
    CFontHandle m_underlineFont;
    CCursorHandle m_cursor;
    bool m_hovering = false;
};
