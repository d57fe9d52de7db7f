#include "foldermenu/TipWindow.h"

#include <string_view>
#include <utility>

#include "common/MenuItemDraw.h"
#include "common/UiText.h"
#include "common/WideLabels.h"
#include "common/core/WideText.h"
#include "framework/AnsiWide.h"
#include "framework/ModuleInstance.h"
#include "foldermenu/core/TipLayout.h"

// The metrics structure of the systems this code targets (no padded-border field).
static_assert(sizeof(NONCLIENTMETRICSA) == 340, "unexpected NONCLIENTMETRICSA size");

const char TipWindow::kClassName[] = "CorvinaTipWindow";
const char TipWindow::kWindowTitle[] = "Tip Window";

namespace {

bool g_classRegistered = false;

bool RegisterTipWindowClass() {
    if (g_classRegistered) {
        return true;
    }
    WNDCLASSEXA windowClass = {};
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_SAVEBITS | CS_BYTEALIGNCLIENT;
    windowClass.lpszClassName = TipWindow::kClassName;
    g_classRegistered = CWnd::RegisterWindowClass(windowClass);
    return g_classRegistered;
}

corvina::TipRect ToTipRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

RECT ToRect(const corvina::TipRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

} // namespace

TipWindow::TipWindow() : m_user32(LoadLibraryA("user32.dll")) {}

TipWindow::~TipWindow() {
    // Here rather than in the base destructor, so that WM_DESTROY still reaches this class.
    DestroyWindow();
}

bool TipWindow::Create() {
    if (GetHwnd() || !RegisterTipWindowClass()) {
        return false;
    }
    // The font exists before the first message that could paint.
    CreateTipFont();
    return CreateEx(WS_EX_TOOLWINDOW, kClassName, kWindowTitle, WS_POPUP, 0, 0, 0, 0, nullptr,
                    nullptr);
}

void TipWindow::SetMargins(int marginX, int marginY) {
    m_marginX = marginX;
    m_marginY = marginY;
}

HFONT TipWindow::GetFont() const {
    return m_font ? m_font.Get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void TipWindow::CreateTipFont() {
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        return; // keep the font we have
    }
    // The new font exists before the old one goes, so the two handles always differ.
    CFontHandle font = CreateTextFont(metrics.lfStatusFont);
    if (font) {
        m_font = std::move(font);
    }
}

std::wstring TipWindow::WrapText(std::wstring_view text, int wrapWidth) {
    if (wrapWidth == kNoWrap || text.empty()) {
        return std::wstring(text);
    }
    const std::u16string wrapped = corvina::WrapTipText(AsUtf16(text), wrapWidth);
    // The same room as the code page's buffer, counted in units, the terminator left out.
    const size_t length = corvina::WidePrefixLength(wrapped, corvina::kTipTextLimit - 1);
    return std::wstring(AsWide(wrapped).substr(0, length));
}

std::string TipWindow::WrapText(const char* text, int wrapWidth) {
    if (!text) {
        return std::string();
    }
    if (wrapWidth == kNoWrap || !*text) {
        return text;
    }
    const std::wstring wide = AnsiToWide(text);
    if (wide.empty()) {
        return text;
    }
    const std::u16string wrapped = corvina::WrapTipText(AsUtf16(wide), wrapWidth);
    const std::string ansi = WideToAnsi(AsWide(wrapped));
    if (ansi.empty()) {
        return text;
    }
    char buffer[corvina::kTipTextLimit];
    const size_t length = CopyAnsiTextToBuffer(ansi, buffer, sizeof(buffer));
    return std::string(buffer, length);
}

std::wstring TipWindow::LayOutText(const wchar_t* text, int wrapWidth) {
    if (!text) {
        return std::wstring();
    }
    if (UseWideLabels()) {
        return WrapText(std::wstring_view(text), wrapWidth);
    }
    return AnsiToWide(WrapText(WideToAnsi(text).c_str(), wrapWidth));
}

int TipWindow::DrawTipText(HDC dc, const std::wstring& text, RECT* rect, UINT format) {
    if (UseWideLabels()) {
        return DrawTextW(dc, text.c_str(), -1, rect, format);
    }
    return DrawTextA(dc, WideToAnsi(text).c_str(), -1, rect, format);
}

SIZE TipWindow::MeasureWithFlags(const std::wstring& text, UINT format) {
    SIZE size = {0, 0};
    if (text.empty()) {
        return size;
    }
    CWindowDC dc(GetHwnd());
    if (!dc) {
        return size;
    }
    CSelectObject font(dc, GetFont());
    // Wide enough that only the text's own line feeds break it, as when it is drawn in a
    // rectangle of the measured width.
    RECT rect = {0, 0, 0x7FFF, 0};
    DrawTipText(dc, text, &rect, format | DT_CALCRECT);
    size.cx = rect.right - rect.left;
    size.cy = rect.bottom - rect.top;
    return size;
}

SIZE TipWindow::MeasureText(const wchar_t* text, int wrapWidth) {
    return MeasureWithFlags(LayOutText(text, wrapWidth), kBodyFormat);
}

SIZE TipWindow::MeasureText(const char* text, int wrapWidth) {
    return MeasureText(AnsiToWide(text).c_str(), wrapWidth);
}

void TipWindow::Show(const wchar_t* text, int wrapWidth) {
    Hide();
    m_text = LayOutText(text, wrapWidth);
    const SIZE body = MeasureText(m_text.c_str(), kNoWrap);
    const corvina::TipSize size = corvina::PlainTipSize({body.cx, body.cy}, m_marginX, m_marginY);
    ApplySize(size.width, size.height);
    StartDelay();
}

void TipWindow::Show(const char* text, int wrapWidth) {
    Show(AnsiToWide(text).c_str(), wrapWidth);
}

void TipWindow::ApplySize(int width, int height) {
    if (GetHwnd()) {
        SetWindowPos(GetHwnd(), HWND_TOPMOST, 0, 0, width, height, SWP_NOMOVE | SWP_NOACTIVATE);
    }
}

void TipWindow::StartDelay() {
    if (!GetHwnd()) {
        return;
    }
    m_pending = true;
    if (!m_timer) {
        m_timer = SetTimer(GetHwnd(), kTimerId, m_delay, nullptr);
        if (!m_timer) {
            m_pending = false;
            ShowNow();
        }
    }
}

void TipWindow::StopTimer() {
    if (m_timer) {
        if (GetHwnd()) {
            KillTimer(GetHwnd(), kTimerId);
        }
        m_timer = 0;
    }
}

void TipWindow::Hide() {
    StopTimer();
    m_pending = false;
    if (!GetHwnd()) {
        m_visible = false;
        return;
    }
    if (IsWindowVisible(GetHwnd())) {
        if (AnimateWindowFunction animate = FindAnimateWindow()) {
            animate(GetHwnd(), 20, AW_CENTER | AW_HIDE);
        }
        ShowWindow(GetHwnd(), SW_HIDE);
    }
    m_visible = false;
}

TipWindow::AnimateWindowFunction TipWindow::FindAnimateWindow() const {
    if (!m_user32) {
        return nullptr;
    }
    return reinterpret_cast<AnimateWindowFunction>(GetProcAddress(m_user32, "AnimateWindow"));
}

void TipWindow::PlaceAtMouse() {
    POINT mouse = {0, 0};
    GetCursorPos(&mouse);
    RECT window = {0, 0, 0, 0};
    GetWindowRect(GetHwnd(), &window);
    // The screen the mouse is on; the primary one if that cannot be told.
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (GetMonitorInfoA(MonitorFromPoint(mouse, MONITOR_DEFAULTTONEAREST), &monitor)) {
        screen = monitor.rcMonitor;
    }
    const corvina::TipPoint at = corvina::PlaceTip(
        {mouse.x, mouse.y}, {window.right - window.left, window.bottom - window.top},
        ToTipRect(screen));
    SetWindowPos(GetHwnd(), HWND_TOPMOST, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

void TipWindow::ShowNow() {
    if (!GetHwnd()) {
        return;
    }
    PlaceAtMouse();
    if (AnimateWindowFunction animate = FindAnimateWindow()) {
        animate(GetHwnd(), 100, AW_CENTER);
    }
    ShowWindow(GetHwnd(), SW_SHOWNA);
    m_visible = true;
}

RECT TipWindow::GetContentRect() {
    RECT client = {0, 0, 0, 0};
    GetClientRect(GetHwnd(), &client);
    return ToRect(corvina::TipContentRect(ToTipRect(client), m_marginX, m_marginY));
}

void TipWindow::PaintContent(HDC dc) {
    RECT body = GetContentRect();
    DrawTipText(dc, m_text, &body, kBodyFormat);
}

void TipWindow::Paint(HDC dc) {
    RECT client = {0, 0, 0, 0};
    GetClientRect(GetHwnd(), &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_INFOBK));
    FrameRect(dc, &client, GetSysColorBrush(COLOR_INFOTEXT));
    CSelectObject font(dc, GetFont());
    const int previousMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF previousColour = SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    PaintContent(dc);
    SetTextColor(dc, previousColour);
    SetBkMode(dc, previousMode);
}

LRESULT TipWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam != kTimerId) {
            break;
        }
        StopTimer();
        if (m_pending) {
            m_pending = false;
            ShowNow();
        }
        return 0;
    case WM_PAINT: {
        CPaintDC dc(GetHwnd());
        Paint(dc);
        return 0;
    }
    case WM_PRINTCLIENT:
        if (wParam) {
            Paint(reinterpret_cast<HDC>(wParam));
        }
        return 0;
    case WM_ERASEBKGND:
        return 1; // WM_PAINT covers every pixel
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_SETTINGCHANGE:
        CreateTipFont();
        break;
    case WM_DESTROY:
        StopTimer();
        m_pending = false;
        m_visible = false;
        break;
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
