#include "framework/CPropertySheet.h"

#include "framework/AnsiWide.h"
#include "framework/CApp.h"
#include "framework/CPropertyPage.h"
#include "framework/Debug.h"
#include "framework/ModuleInstance.h"

#include <commctrl.h>

#include <algorithm>
#include <new>

namespace {

// The sheet callback carries no user data: the sheet being run on this thread is
// remembered here for PSCB_INITIALIZED, which arrives inside PropertySheetA.
thread_local CPropertySheet* t_startingSheet = nullptr;

} // namespace

CPropertySheet::CPropertySheet(const char* caption, UINT startPage, HINSTANCE resources)
    : m_caption(caption ? caption : ""), m_startPage(startPage),
      m_resources(resources ? resources : GetThisModule()) {}

CPropertySheet::~CPropertySheet() {
    m_hook.Detach();
}

void CPropertySheet::AddPage(CPropertyPage* page) {
    if (page) {
        m_pages.push_back(page);
    }
}

CPropertyPage* CPropertySheet::GetPage(size_t index) const {
    return index < m_pages.size() ? m_pages[index] : nullptr;
}

INT_PTR CPropertySheet::DoModal(HWND parent) {
    if (m_pages.empty() || m_hWnd) {
        return -1;
    }
    const bool wide = CDialog::UsesWideTemplateCalls();
    // Page handles rather than an array of descriptions: the system steps through such an
    // array by each entry's dwSize, which is the short first version here.
    std::vector<HPROPSHEETPAGE> pages;
    pages.reserve(m_pages.size());
    for (CPropertyPage* page : m_pages) {
        HPROPSHEETPAGE handle = nullptr;
        if (wide) {
            PROPSHEETPAGEW description;
            page->FillPage(description);
            handle = CreatePropertySheetPageW(&description);
        } else {
            PROPSHEETPAGEA description;
            page->FillPage(description);
            handle = CreatePropertySheetPageA(&description);
        }
        if (!handle) {
            for (HPROPSHEETPAGE made : pages) {
                DestroyPropertySheetPage(made);
            }
            return -1;
        }
        pages.push_back(handle);
    }

    PROPSHEETHEADERA header = {};
    // The first version of the structure: every comctl32 since Windows 95 accepts it.
    header.dwSize = PROPSHEETHEADERA_V1_SIZE;
    header.dwFlags = PSH_USECALLBACK;
    header.hwndParent = parent;
    header.hInstance = m_resources;
    if (m_iconId) {
        header.dwFlags |= PSH_USEICONID;
        header.pszIcon = MAKEINTRESOURCEA(m_iconId);
    }
    header.pszCaption = m_caption.c_str();
    header.nPages = static_cast<UINT>(pages.size());
    header.nStartPage = m_startPage < pages.size() ? m_startPage : 0;
    header.phpage = pages.data(); // the sheet destroys them
    header.pfnCallback = SheetCallback;

    // Subclass the sheet as the system creates it, so that WindowProc sees WM_INITDIALOG
    // and OnInitSheet runs once the system has made the tabs and the start page.
    CPropertySheet* outer = t_startingSheet;
    t_startingSheet = this;
    HHOOK hook = SetWindowsHookExA(WH_CBT, CreationHook, nullptr, GetCurrentThreadId());
    INT_PTR result = -1;
    if (wide) {
        // The same header with the caption in UTF-16; the two forms differ only in the
        // types of their text pointers.
        const std::wstring caption = AnsiToWide(m_caption);
        PROPSHEETHEADERW wideHeader = {};
        wideHeader.dwSize = PROPSHEETHEADERW_V1_SIZE;
        wideHeader.dwFlags = header.dwFlags;
        wideHeader.hwndParent = header.hwndParent;
        wideHeader.hInstance = header.hInstance;
        if (m_iconId) {
            wideHeader.pszIcon = MAKEINTRESOURCEW(m_iconId);
        }
        wideHeader.pszCaption = caption.c_str();
        wideHeader.nPages = header.nPages;
        wideHeader.nStartPage = header.nStartPage;
        wideHeader.phpage = header.phpage;
        wideHeader.pfnCallback = header.pfnCallback;
        result = PropertySheetW(&wideHeader);
    } else {
        result = PropertySheetA(&header);
    }
    if (hook) {
        UnhookWindowsHookEx(hook);
    }
    t_startingSheet = outer;

    // The window is gone; it was unhooked at WM_NCDESTROY.
    m_hWnd = nullptr;
    return result;
}

HWND CPropertySheet::GetTabControl() const {
    return m_hWnd ? reinterpret_cast<HWND>(SendMessageA(m_hWnd, PSM_GETTABCONTROL, 0, 0)) : nullptr;
}

bool CPropertySheet::SetActivePage(size_t index) {
    if (!m_hWnd || index >= m_pages.size()) {
        return false;
    }
    return SendMessageA(m_hWnd, PSM_SETCURSEL, index, 0) != 0;
}

int CPropertySheet::GetActiveIndex() const {
    HWND tab = GetTabControl();
    return tab ? static_cast<int>(SendMessageA(tab, TCM_GETCURSEL, 0, 0)) : -1;
}

LRESULT CPropertySheet::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultProc(message, wParam, lParam);
}

LRESULT CPropertySheet::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!m_hook.GetHwnd()) {
        return DefWindowProcA(m_hWnd, message, wParam, lParam);
    }
    return m_hook.PassOn(message, wParam, lParam);
}

LRESULT CALLBACK CPropertySheet::CreationHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && t_startingSheet && !t_startingSheet->m_hWnd) {
        const auto* create = reinterpret_cast<const CBT_CREATEWNDA*>(lParam);
        // The first top-level window PropertySheetA creates is the sheet itself.
        if (create && create->lpcs && !(create->lpcs->style & WS_CHILD)) {
            t_startingSheet->Subclass(reinterpret_cast<HWND>(wParam));
            t_startingSheet->m_initPending = true;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

int CALLBACK CPropertySheet::SheetCallback(HWND window, UINT message, LPARAM lParam) {
    (void)lParam;
    if (message == PSCB_INITIALIZED && t_startingSheet && window && !t_startingSheet->m_hWnd) {
        // No creation hook: subclass now and finish set-up once WM_INITDIALOG is done.
        CPropertySheet* sheet = t_startingSheet;
        sheet->Subclass(window);
        sheet->m_initPending = true;
        PostMessageA(window, WM_NULL, 0, 0);
    }
    return 0;
}

void CPropertySheet::RunInitSheet() {
    if (!m_initPending) {
        return;
    }
    m_initPending = false;
    try {
        OnInitSheet();
        FitPages();
    } catch (...) {
        TRACE_DEBUG("CPropertySheet: exception in OnInitSheet\n");
    }
}

void CPropertySheet::FitPages() {
    HWND tab = GetTabControl();
    if (!m_hWnd || !tab) {
        return;
    }
    RECT area = {};
    GetClientRect(tab, &area);
    SendMessageA(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    int growX = 0;
    int growY = 0;
    for (CPropertyPage* page : m_pages) {
        const SIZE wanted = page->GetTemplateSize();
        growX = std::max(growX, static_cast<int>(wanted.cx - (area.right - area.left)));
        growY = std::max(growY, static_cast<int>(wanted.cy - (area.bottom - area.top)));
    }
    if (growX == 0 && growY == 0) {
        return;
    }
    // Collected first: moving windows while walking the z-order could skip some.
    std::vector<HWND> others;
    for (HWND child = GetWindow(m_hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        others.push_back(child);
    }
    auto isPage = [this](HWND window) {
        return std::any_of(m_pages.begin(), m_pages.end(),
                           [window](CPropertyPage* page) { return page->GetHwnd() == window; });
    };
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    RECT rect = {};
    GetWindowRect(m_hWnd, &rect);
    SetWindowPos(m_hWnd, nullptr, 0, 0, rect.right - rect.left + growX,
                 rect.bottom - rect.top + growY, flags | SWP_NOMOVE);
    GetWindowRect(tab, &rect);
    SetWindowPos(tab, nullptr, 0, 0, rect.right - rect.left + growX, rect.bottom - rect.top + growY,
                 flags | SWP_NOMOVE);
    // The buttons sit below and to the right of the tabs.
    for (HWND child : others) {
        if (child == tab || isPage(child)) {
            continue;
        }
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
        SetWindowPos(child, nullptr, rect.left + growX, rect.top + growY, 0, 0, flags | SWP_NOSIZE);
    }
    GetClientRect(tab, &area);
    SendMessageA(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    MapWindowPoints(tab, m_hWnd, reinterpret_cast<POINT*>(&area), 2);
    for (CPropertyPage* page : m_pages) {
        if (HWND window = page->GetHwnd()) {
            SetWindowPos(window, nullptr, area.left, area.top, area.right - area.left,
                         area.bottom - area.top, flags);
        }
    }
}

void CPropertySheet::Subclass(HWND window) {
    m_hWnd = window;
    m_hook.Attach(window);
}

LRESULT CPropertySheet::CHook::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    CPropertySheet& sheet = m_sheet;
    if (message == WM_NCDESTROY) {
        // Unhooked first, so that the system's procedure sees its own last message.
        HWND window = GetHwnd();
        Detach();
        sheet.m_hWnd = nullptr;
        if (CApp* app = CApp::GetApp()) {
            app->OnWindowDestroyed(window);
        }
        return Default(message, wParam, lParam);
    }
    LRESULT result = 0;
    try {
        result = sheet.WindowProc(message, wParam, lParam);
    } catch (...) {
        TRACE_DEBUG("CPropertySheet: exception in WindowProc, message 0x%04X\n", message);
    }
    if ((message == WM_INITDIALOG || message == WM_NULL) && sheet.m_initPending && sheet.m_hWnd) {
        sheet.RunInitSheet();
    }
    return result;
}
