#include "settings/CMainSheet.h"

#include <commctrl.h>

#include "common/UiText.h"
#include "common/WindowMessages.h"
#include "framework/CApp.h"
#include "framework/CPropertyPage.h"
#include "framework/ModuleInstance.h"
#include "settings/CAboutDlg.h"
#include "settings/core/MessageBoxStyle.h"
#include "settings/resource.h"

namespace {

constexpr COLORREF kMaskColour = RGB(255, 0, 255);
constexpr int kTabImageWidth = 16;
constexpr int kTabImageGrowth = 3;

} // namespace

CMainSheet::CMainSheet(const char* caption) : CPropertySheet(caption) {}

std::string CMainSheet::BuildCaption() {
    return BuildSettingsSheetTitle();
}

void CMainSheet::ApplyAllPages() {
    for (size_t i = 0; i < GetPageCount(); ++i) {
        CPropertyPage* page = GetPage(i);
        page->OnApply();
        page->SetModified(false);
    }
}

void CMainSheet::OnInitSheet() {
    m_icon = LoadIconA(GetThisModule(), MAKEINTRESOURCEA(IDR_MAINFRAME));
    AppendAboutEntry();
    if (m_icon) {
        SendMessageA(GetHwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
        SendMessageA(GetHwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon));
    }
    CreatePageWindows();
    SetTabImages();
    // Message boxes of the pages are owned by the sheet.
    if (CApp* app = CApp::GetApp()) {
        app->SetMainWindow(GetHwnd());
    }
}

void CMainSheet::AppendAboutEntry() {
    HMENU menu = GetSystemMenu(GetHwnd(), FALSE);
    if (!menu) {
        return;
    }
    char text[256] = {};
    if (LoadStringA(GetThisModule(), IDS_ABOUTBOX, text, sizeof text) <= 0 || text[0] == '\0') {
        return;
    }
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, text);
}

void CMainSheet::CreatePageWindows() {
    // Every page's own initialisation runs before the user sees the sheet (the resident
    // program page releases the hot key, and its modified flag enables Apply); going from
    // the last page down leaves the first one active.
    HWND tab = GetTabControl();
    const int count = tab ? TabCtrl_GetItemCount(tab) : 0;
    for (int i = count - 1; i >= 0; --i) {
        SetActivePage(static_cast<size_t>(i));
    }
}

void CMainSheet::SetTabImages() {
    HWND tab = GetTabControl();
    if (!tab) {
        return;
    }
    m_tabImages.Attach(ImageList_LoadImageA(GetThisModule(), MAKEINTRESOURCEA(IDB_TABS),
                                            kTabImageWidth, kTabImageGrowth, kMaskColour,
                                            IMAGE_BITMAP, 0));
    if (!m_tabImages) {
        return;
    }
    // The tab control does not own the list; the sheet object keeps it past the window.
    TabCtrl_SetImageList(tab, m_tabImages.Get());
    const int count = TabCtrl_GetItemCount(tab);
    for (int i = 0; i < count; ++i) {
        TCITEMA item = {};
        item.mask = TCIF_IMAGE;
        item.iImage = i;
        SendMessageA(tab, TCM_SETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
}

void CMainSheet::PaintMinimised() {
    CPaintDC dc(GetHwnd());
    SendMessageA(GetHwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()), 0);
    RECT client = {};
    GetClientRect(GetHwnd(), &client);
    const int x = corvina::CentreOffset(client.right - client.left, GetSystemMetrics(SM_CXICON));
    const int y = corvina::CentreOffset(client.bottom - client.top, GetSystemMetrics(SM_CYICON));
    if (m_icon) {
        DrawIcon(dc, x, y, m_icon);
    }
}

void CMainSheet::ShowAbout() {
    CAboutDlg about;
    about.DoModal(GetHwnd());
}

LRESULT CMainSheet::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    bool mayEnd = false;
    switch (message) {
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
            ShowAbout();
            return 0;
        }
        mayEnd = (wParam & 0xFFF0) == SC_CLOSE;
        break;
    case WM_CLOSE:
        mayEnd = true;
        break;
    case WM_PAINT:
        if (IsIconic(GetHwnd())) {
            PaintMinimised();
            return 0;
        }
        break;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<LRESULT>(m_icon);
    case WM_COMMAND:
        // Clicked, or its keyboard shortcut (which comes without a control).
        if (LOWORD(wParam) == kApplyButtonId && (HIWORD(wParam) == BN_CLICKED || lParam == 0)) {
            ApplyAllPages();
            return 0;
        }
        mayEnd = LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL;
        break;
    default:
        break;
    }
    const LRESULT result = DefaultProc(message, wParam, lParam);
    if (mayEnd && GetHwnd()) {
        // The installer sends Cancel from another process. A sent message does not wake the
        // sheet's modal loop, which would then wait for the next input before it noticed
        // that the sheet has ended; a posted message wakes it.
        PostMessageA(GetHwnd(), WM_NULL, 0, 0);
    }
    return result;
}
