#include "setup/CProgressBar.h"

#include <cstdio>

#include "framework/Handles.h"

class CProgressBar::CHook : public CSubclassWnd {
public:
    explicit CHook(CProgressBar& bar) : m_bar(bar) {}

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
        case WM_ERASEBKGND:
            // Everything is painted from the buffer; erasing first would only flicker.
            return 1;
        case WM_PAINT: {
            CPaintDC dc(GetHwnd());
            if (dc) {
                m_bar.Paint(dc);
            }
            return 0;
        }
        default:
            return Default(message, wParam, lParam);
        }
    }

private:
    CProgressBar& m_bar;
};

CProgressBar::CProgressBar() = default;

CProgressBar::~CProgressBar() = default;

bool CProgressBar::Attach(HWND control) {
    if (m_hook) {
        return false;
    }
    auto hook = std::make_unique<CHook>(*this);
    if (!hook->Attach(control)) {
        return false;
    }
    m_hook = std::move(hook);
    return true;
}

HWND CProgressBar::GetHwnd() const {
    return m_hook ? m_hook->GetHwnd() : nullptr;
}

void CProgressBar::SetRange(int low, int high) {
    m_range = corvina::NormalizeProgressRange(low, high);
    m_position = corvina::ClampProgressPosition(m_range, m_position);
    Repaint();
}

void CProgressBar::SetPosition(int position) {
    const int clamped = corvina::ClampProgressPosition(m_range, position);
    if (clamped == m_position) {
        return;
    }
    m_position = clamped;
    Repaint();
}

void CProgressBar::AdvanceTo(int position) {
    const int target = corvina::ClampProgressPosition(m_range, position);
    for (int step : corvina::ProgressSteps(m_position, target)) {
        m_position = step;
        Repaint();
    }
}

void CProgressBar::Show(bool visible) {
    HWND control = GetHwnd();
    if (!control) {
        return;
    }
    ShowWindow(control, visible ? SW_SHOW : SW_HIDE);
    if (visible) {
        Repaint();
    }
}

void CProgressBar::Repaint() {
    if (HWND control = GetHwnd()) {
        InvalidateRect(control, nullptr, FALSE);
        UpdateWindow(control);
    }
}

void CProgressBar::Paint(HDC dc) {
    HWND control = GetHwnd();
    RECT client = {};
    if (!control || !GetClientRect(control, &client) || client.right <= 0 || client.bottom <= 0) {
        return;
    }
    CMemoryDC buffer(dc);
    CBitmapHandle bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
    if (!buffer || !bitmap) {
        // Without a buffer the bar still shows, only with a flicker.
        PaintContents(dc, client);
        return;
    }
    {
        CSelectObject selected(buffer, bitmap);
        PaintContents(buffer, client);
        BitBlt(dc, 0, 0, client.right, client.bottom, buffer, 0, 0, SRCCOPY);
    }
}

void CProgressBar::PaintContents(HDC dc, const RECT& client) {
    const int border = GetSystemMetrics(SM_CXBORDER);
    const int borderY = GetSystemMetrics(SM_CYBORDER);

    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    // The sunken frame: shadow above and on the left, highlight below and on the right.
    RECT edge = {client.left, client.top, client.right, client.top + borderY};
    FillRect(dc, &edge, GetSysColorBrush(COLOR_BTNSHADOW));
    edge = {client.left, client.top, client.left + border, client.bottom};
    FillRect(dc, &edge, GetSysColorBrush(COLOR_BTNSHADOW));
    edge = {client.left, client.bottom - borderY, client.right, client.bottom};
    FillRect(dc, &edge, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    edge = {client.right - border, client.top, client.right, client.bottom};
    FillRect(dc, &edge, GetSysColorBrush(COLOR_BTNHIGHLIGHT));

    RECT inside = client;
    InflateRect(&inside, -2 * border, -2 * borderY);
    if (inside.right <= inside.left || inside.bottom <= inside.top) {
        return;
    }
    RECT filled = inside;
    filled.right = corvina::ProgressFillRight(inside.left, inside.right, m_range, m_position);
    RECT rest = inside;
    rest.left = filled.right;
    FillRect(dc, &filled, GetSysColorBrush(COLOR_HIGHLIGHT));
    FillRect(dc, &rest, GetSysColorBrush(COLOR_BTNFACE));

    char text[32];
    const int length = std::snprintf(text, sizeof(text), "%d%%", m_position);
    if (length <= 0) {
        return;
    }
    HWND control = GetHwnd();
    HFONT font = nullptr;
    if (HWND dialog = GetParent(control)) {
        font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    }
    if (!font) {
        font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    }
    CSelectObject selectedFont(dc, font);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = GetTextColor(dc);
    // The text is drawn twice, each time clipped to one side of the fill edge, so that each
    // half reads against its own background.
    const struct {
        const RECT& area;
        int colour;
    } halves[] = {{filled, COLOR_HIGHLIGHTTEXT}, {rest, COLOR_HIGHLIGHT}};
    for (const auto& half : halves) {
        if (half.area.right <= half.area.left) {
            continue;
        }
        CRgnHandle clip(CreateRectRgnIndirect(&half.area));
        if (!clip) {
            continue;
        }
        SelectClipRgn(dc, clip);
        SetTextColor(dc, GetSysColor(half.colour));
        RECT textArea = inside;
        DrawTextA(dc, text, length, &textArea,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    SelectClipRgn(dc, nullptr);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
}
