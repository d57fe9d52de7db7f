#include "framework/CPropertyPage.h"

#include "framework/AnsiWide.h"

#include <commctrl.h>

CPropertyPage::CPropertyPage(UINT templateId, HINSTANCE resources)
    : CDialog(templateId, resources) {}

void CPropertyPage::SetModified(bool modified) {
    HWND page = GetHwnd();
    HWND sheet = page ? GetParent(page) : nullptr;
    if (!sheet) {
        return;
    }
    SendMessageA(sheet, modified ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(page), 0);
}

SIZE CPropertyPage::GetTemplateSize() const {
    SIZE size = {0, 0};
    HWND window = GetHwnd();
    HRSRC found =
        window ? FindResourceA(GetResourceInstance(), MAKEINTRESOURCEA(GetTemplateId()), RT_DIALOG)
               : nullptr;
    HGLOBAL loaded = found ? LoadResource(GetResourceInstance(), found) : nullptr;
    const auto* words = loaded ? static_cast<const WORD*>(LockResource(loaded)) : nullptr;
    const DWORD bytes = words ? SizeofResource(GetResourceInstance(), found) : 0;
    if (bytes < 18) {
        return size;
    }
    // DLGTEMPLATEEX begins with version 1 and 0xFFFF, and a help id before its styles puts
    // its extent at byte 22 instead of 14.
    const bool extended = words[0] == 1 && words[1] == 0xFFFF;
    if (extended && bytes < 26) {
        return size;
    }
    const auto* extent =
        reinterpret_cast<const short*>(reinterpret_cast<const BYTE*>(words) + (extended ? 22 : 14));
    RECT rect = {0, 0, extent[0], extent[1]};
    if (MapDialogRect(window, &rect)) {
        size.cx = rect.right;
        size.cy = rect.bottom;
    }
    return size;
}

void CPropertyPage::FillPage(PROPSHEETPAGEA& page) {
    ZeroMemory(&page, sizeof(page));
    // The first version of the structure: every comctl32 since Windows 95 accepts it.
    page.dwSize = PROPSHEETPAGEA_V1_SIZE;
    page.dwFlags = PSP_DEFAULT;
    page.hInstance = GetResourceInstance();
    page.pszTemplate = MAKEINTRESOURCEA(GetTemplateId());
    if (m_icon) {
        page.dwFlags |= PSP_USEHICON;
        page.hIcon = m_icon;
    } else if (m_iconId) {
        page.dwFlags |= PSP_USEICONID;
        page.pszIcon = MAKEINTRESOURCEA(m_iconId);
    }
    if (m_title) {
        page.dwFlags |= PSP_USETITLE;
        page.pszTitle = m_title;
    }
    page.pfnDlgProc = PageDialogProc;
    page.lParam = reinterpret_cast<LPARAM>(this);
}

void CPropertyPage::FillPage(PROPSHEETPAGEW& page) {
    PROPSHEETPAGEA ansi;
    FillPage(ansi);
    ZeroMemory(&page, sizeof(page));
    page.dwSize = PROPSHEETPAGEW_V1_SIZE;
    page.dwFlags = ansi.dwFlags;
    page.hInstance = ansi.hInstance;
    page.pszTemplate = MAKEINTRESOURCEW(GetTemplateId());
    if (m_icon) {
        page.hIcon = m_icon;
    } else if (m_iconId) {
        page.pszIcon = MAKEINTRESOURCEW(m_iconId);
    }
    if (m_title) {
        m_wideTitle = AnsiToWide(m_title);
        page.pszTitle = m_wideTitle.c_str();
    }
    page.pfnDlgProc = ansi.pfnDlgProc;
    page.lParam = ansi.lParam;
}

bool CPropertyPage::OnNotify(int id, NMHDR* header, LRESULT* result) {
    if (header->hwndFrom != GetParent(GetHwnd())) {
        return CDialog::OnNotify(id, header, result);
    }
    switch (header->code) {
    case PSN_SETACTIVE:
        // 0 accepts the activation, -1 refuses it.
        *result = OnSetActive() ? 0 : -1;
        return true;
    case PSN_KILLACTIVE:
        // FALSE lets the page go.
        *result = OnKillActive() ? FALSE : TRUE;
        return true;
    case PSN_APPLY:
        // PSNRET_INVALID selects the failing page; the sheet stays open.
        *result = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID;
        return true;
    case PSN_RESET:
        OnReset();
        *result = 0;
        return true;
    default:
        return CDialog::OnNotify(id, header, result);
    }
}

INT_PTR CALLBACK CPropertyPage::PageDialogProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    CDialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        // The sheet passes its copy of the page description; ours is in its lParam, at the
        // same place in the ANSI and the wide form.
        const auto* page = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
        self = page ? reinterpret_cast<CPropertyPage*>(page->lParam) : nullptr;
        if (self) {
            static_cast<CPropertyPage*>(self)->AttachWindow(window);
        }
    } else {
        self = reinterpret_cast<CDialog*>(GetWindowLongPtrA(window, DWLP_USER));
    }
    return Dispatch(self, window, message, wParam, lParam);
}
