#include "settings/CAboutDlg.h"

#include <commctrl.h>

#include "framework/Handles.h"
#include "framework/ModuleInstance.h"
#include "settings/core/MessageBoxStyle.h"
#include "settings/resource.h"

namespace {

constexpr COLORREF kGround = RGB(128, 128, 128);

RECT ToRect(const corvina::FrameRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

} // namespace

const char CAboutDlg::kMailTarget[] = "mailto:corvina@example.com";
const char CAboutDlg::kWebTarget[] = "http://www.example.com/corvina/";

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

BOOL CAboutDlg::OnInitDialog() {
    m_icon = LoadIconA(GetThisModule(), MAKEINTRESOURCEA(IDR_MAINFRAME));
    m_mailLink.Attach(GetItem(IDC_MAIL_LINK), kMailTarget);
    m_webLink.Attach(GetItem(IDC_WEB_LINK), kWebTarget);
    m_tips = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, GetHwnd(),
                             nullptr, GetThisModule(), nullptr);
    AddLinkTip(GetItem(IDC_MAIL_LINK), kMailTarget);
    AddLinkTip(GetItem(IDC_WEB_LINK), kWebTarget);
    return CDialog::OnInitDialog();
}

void CAboutDlg::AddLinkTip(HWND link, const char* target) {
    if (!m_tips || !link) {
        return;
    }
    // The first structure version: the tool's text is copied by the control.
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetHwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(link);
    tool.lpszText = const_cast<char*>(target);
    SendMessageA(m_tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void CAboutDlg::PaintIconFrame(HDC dc, const RECT& rect, HICON icon) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) {
        return;
    }
    CMemoryDC memory(dc);
    CBitmapHandle bitmap(CreateCompatibleBitmap(dc, width, height));
    if (!memory || !bitmap) {
        return;
    }
    const corvina::IconFrameLayout layout = corvina::LayoutIconFrame(width, height);
    {
        CSelectObject selected(memory, bitmap);
        const RECT all = {0, 0, width, height};
        CBrushHandle ground(CreateSolidBrush(kGround));
        FillRect(memory, &all,
                 ground ? ground.Get() : static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        {
            // The memory context's own brush is white.
            CSelectObject pen(memory, GetStockObject(BLACK_PEN));
            Rectangle(memory, layout.panel.left, layout.panel.top, layout.panel.right,
                      layout.panel.bottom);
        }
        const RECT right = ToRect(layout.rightShadow);
        const RECT bottom = ToRect(layout.bottomShadow);
        FillRect(memory, &right, static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH)));
        FillRect(memory, &bottom, static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH)));
        if (icon) {
            DrawIconEx(memory, layout.icon.left, layout.icon.top, icon,
                       layout.icon.right - layout.icon.left, layout.icon.bottom - layout.icon.top,
                       0, nullptr, DI_NORMAL);
        }
        BitBlt(dc, rect.left, rect.top, width, height, memory, 0, 0, SRCCOPY);
    }
}

INT_PTR CAboutDlg::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DRAWITEM && wParam == IDC_ABOUT_ICON) {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item) {
            PaintIconFrame(item->hDC, item->rcItem, m_icon);
        }
        return TRUE;
    }
    return CDialog::DialogProc(message, wParam, lParam);
}
