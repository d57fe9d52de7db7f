#include "common/CHyperLink.h"

#include <shellapi.h>

#include <utility>

#include "common/ProgramStart.h"
#include "common/Registry.h"
#include "common/core/HyperlinkCommand.h"

namespace {

constexpr COLORREF kLinkColour = RGB(0, 0, 255);

std::string WindowText(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

} // namespace

CHyperLink::CHyperLink() = default;

CHyperLink::~CHyperLink() {
    Detach();
}

bool CHyperLink::Attach(HWND control, const char* target) {
    if (!CSubclassWnd::Attach(control)) {
        return false;
    }
    m_target = target && *target ? target : WindowText(control);
    // Clicks reach a static control only with SS_NOTIFY.
    SetWindowLongPtrA(control, GWL_STYLE, GetWindowLongPtrA(control, GWL_STYLE) | SS_NOTIFY);
    m_normalFont = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    LOGFONTA logFont{};
    if (GetObjectA(m_normalFont ? static_cast<HGDIOBJ>(m_normalFont)
                                : GetStockObject(DEFAULT_GUI_FONT),
                   sizeof logFont, &logFont)) {
        logFont.lfUnderline = TRUE;
        m_underlineFont.Attach(CreateFontIndirectA(&logFont));
    }
    LoadLinkCursor();
    FitToText();
    return true;
}

void CHyperLink::Detach() {
    HWND control = GetHwnd();
    if (!control) {
        return;
    }
    const bool alive = IsWindow(control) != FALSE;
    if (alive) {
        KillTimer(control, kHoverTimerId);
    }
    CSubclassWnd::Detach();
    if (alive && m_hovering) {
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(m_normalFont), TRUE);
    }
    m_hovering = false;
}

void CHyperLink::LoadLinkCursor() {
    // The help program's hand cursor: copied, so the program need not stay loaded.
    char path[MAX_PATH + 16] = {};
    const UINT length = GetWindowsDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return;
    }
    lstrcatA(path, path[length - 1] == '\\' ? "winhlp32.exe" : "\\winhlp32.exe");
    CLibrary help(LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!help) {
        return;
    }
    if (HCURSOR cursor = LoadCursorA(help, MAKEINTRESOURCEA(106))) {
        m_cursor.Attach(static_cast<HCURSOR>(CopyImage(cursor, IMAGE_CURSOR, 0, 0, 0)));
    }
}

void CHyperLink::FitToText() {
    HWND parent = GetParent(GetHwnd());
    RECT rect{};
    GetWindowRect(GetHwnd(), &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    const std::string text = WindowText(GetHwnd());
    SIZE extent{0, 0};
    {
        CWindowDC dc(GetHwnd());
        CSelectObject font(dc, m_underlineFont ? static_cast<HGDIOBJ>(m_underlineFont.Get())
                                               : static_cast<HGDIOBJ>(m_normalFont));
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    }
    const LONG_PTR style = GetWindowLongPtrA(GetHwnd(), GWL_STYLE) & SS_TYPEMASK;
    corvina::LinkAlignment alignment = corvina::LinkAlignment::Left;
    if (style == SS_CENTER) {
        alignment = corvina::LinkAlignment::Center;
    } else if (style == SS_RIGHT) {
        alignment = corvina::LinkAlignment::Right;
    }
    const corvina::LinkRect fitted = corvina::FitLinkRect(
        {rect.left, rect.top, rect.right, rect.bottom}, extent.cx, extent.cy, alignment);
    SetWindowPos(GetHwnd(), nullptr, fitted.left, fitted.top, fitted.right - fitted.left,
                 fitted.bottom - fitted.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CHyperLink::SetHover(bool hovering) {
    if (hovering == m_hovering) {
        return;
    }
    m_hovering = hovering;
    if (hovering) {
        SetTimer(GetHwnd(), kHoverTimerId, kHoverTimerInterval, nullptr);
    } else {
        KillTimer(GetHwnd(), kHoverTimerId);
    }
    InvalidateRect(GetHwnd(), nullptr, TRUE);
}

void CHyperLink::Paint() {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(GetHwnd(), &paint);
    RECT client{};
    GetClientRect(GetHwnd(), &client);
    HWND parent = GetParent(GetHwnd());
    HBRUSH background = reinterpret_cast<HBRUSH>(SendMessageA(parent, WM_CTLCOLORSTATIC,
                                                              reinterpret_cast<WPARAM>(dc),
                                                              reinterpret_cast<LPARAM>(GetHwnd())));
    FillRect(dc, &client, background ? background : GetSysColorBrush(COLOR_3DFACE));
    const std::string text = WindowText(GetHwnd());
    {
        CSelectObject font(dc, m_hovering && m_underlineFont
                                   ? static_cast<HGDIOBJ>(m_underlineFont.Get())
                                   : static_cast<HGDIOBJ>(m_normalFont));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, kLinkColour);
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &client,
                  DT_SINGLELINE | DT_NOPREFIX | DT_LEFT | DT_TOP);
    }
    EndPaint(GetHwnd(), &paint);
}

LRESULT CHyperLink::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_SETCURSOR:
        if (m_cursor) {
            SetCursor(m_cursor);
            return TRUE;
        }
        break;
    case WM_NCHITTEST:
        return HTCLIENT; // a static is transparent to the mouse otherwise
    case WM_MOUSEMOVE:
        SetHover(true);
        break;
    case WM_TIMER:
        if (wParam == kHoverTimerId) {
            POINT point{};
            RECT rect{};
            GetCursorPos(&point);
            GetWindowRect(GetHwnd(), &rect);
            if (!PtInRect(&rect, point)) {
                SetHover(false);
            }
            return 0;
        }
        break;
    case WM_LBUTTONUP:
        OpenTarget(m_target.c_str());
        return 0;
    case WM_NCDESTROY:
        // Unhooked first; the control's own procedure still gets its last message.
        Detach();
        break;
    }
    return Default(message, wParam, lParam);
}

std::string CHyperLink::BuildFallbackCommand(const char* target) {
    std::string progId;
    if (!ReadRegistryString(HKEY_CLASSES_ROOT, ".htm", nullptr, &progId) || progId.empty()) {
        return {};
    }
    std::string command;
    const std::string commandKey = progId + "\\shell\\open\\command";
    if (!ReadRegistryString(HKEY_CLASSES_ROOT, commandKey.c_str(), nullptr, &command) ||
        command.empty()) {
        return {};
    }
    return corvina::BuildHyperlinkCommand(command, target ? target : "");
}

bool CHyperLink::OpenTarget(const char* target) {
    if (!target || !*target) {
        return false;
    }
    const HINSTANCE result =
        ShellExecuteA(nullptr, "open", target, nullptr, nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(result) > 32) {
        return true;
    }
    std::string command = BuildFallbackCommand(target);
    if (command.empty()) {
        return false;
    }
    // The registered command is a whole command line already; the browser is not waited for.
    ProgramStartOptions options;
    options.waitUntilIdle = false;
    options.busyCursor = true;
    return StartCommandLine(std::move(command), options);
}
