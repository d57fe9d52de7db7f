#include "framework/CDialog.h"

#include "framework/CApp.h"
#include "framework/CDataExchange.h"
#include "framework/Debug.h"
#include "framework/ModuleInstance.h"
#include "framework/SystemVersion.h"

CDialog::CDialog(UINT templateId, HINSTANCE resources)
    : m_templateId(templateId), m_resources(resources ? resources : GetThisModule()) {}

CDialog::~CDialog() {
    if (m_hWnd && IsWindow(m_hWnd)) {
        SetWindowLongPtrA(m_hWnd, DWLP_USER, 0);
        if (!m_modal) {
            ::DestroyWindow(m_hWnd);
        }
    }
}

bool CDialog::UsesWideTemplateCalls() {
    return IsNtFamilySystem();
}

INT_PTR CDialog::DoModal(HWND parent) {
    if (m_hWnd) {
        return -1;
    }
    m_modal = true;
    const LPARAM self = reinterpret_cast<LPARAM>(this);
    const INT_PTR result = UsesWideTemplateCalls()
                               ? DialogBoxParamW(m_resources, MAKEINTRESOURCEW(m_templateId),
                                                 parent, StaticDialogProc, self)
                               : DialogBoxParamA(m_resources, MAKEINTRESOURCEA(m_templateId),
                                                 parent, StaticDialogProc, self);
    m_modal = false;
    return result;
}

INT_PTR CDialog::DoModalIndirect(const DLGTEMPLATE* dialogTemplate, HWND parent) {
    if (m_hWnd || !dialogTemplate) {
        return -1;
    }
    m_modal = true;
    const LPARAM self = reinterpret_cast<LPARAM>(this);
    const INT_PTR result =
        UsesWideTemplateCalls()
            ? DialogBoxIndirectParamW(m_resources, dialogTemplate, parent, StaticDialogProc, self)
            : DialogBoxIndirectParamA(m_resources, dialogTemplate, parent, StaticDialogProc, self);
    m_modal = false;
    return result;
}

bool CDialog::CreateModeless(HWND parent) {
    if (m_hWnd) {
        return false;
    }
    m_modal = false;
    const LPARAM self = reinterpret_cast<LPARAM>(this);
    HWND window = UsesWideTemplateCalls()
                      ? CreateDialogParamW(m_resources, MAKEINTRESOURCEW(m_templateId), parent,
                                           StaticDialogProc, self)
                      : CreateDialogParamA(m_resources, MAKEINTRESOURCEA(m_templateId), parent,
                                           StaticDialogProc, self);
    if (window) {
        if (CApp* app = CApp::GetApp()) {
            app->AddModelessDialog(window);
        }
    }
    return window != nullptr;
}

void CDialog::EndDialogWith(INT_PTR result) {
    if (!m_hWnd) {
        return;
    }
    if (m_modal) {
        EndDialog(m_hWnd, result);
    } else {
        ::DestroyWindow(m_hWnd);
    }
}

bool CDialog::UpdateData(bool save) {
    if (!m_hWnd) {
        return false;
    }
    CDataExchange dx(m_hWnd, save);
    DoDataExchange(dx);
    return !dx.Failed();
}

BOOL CDialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void CDialog::OnOK() {
    if (UpdateData(true)) {
        EndDialogWith(IDOK);
    }
}

void CDialog::OnCancel() {
    EndDialogWith(IDCANCEL);
}

bool CDialog::OnCommand(WORD id, WORD code, HWND control) {
    (void)control;
    if (code != BN_CLICKED) {
        return false;
    }
    switch (id) {
    case IDOK:
        OnOK();
        return true;
    case IDCANCEL:
        OnCancel();
        return true;
    default:
        return false;
    }
}

bool CDialog::OnNotify(int id, NMHDR* header, LRESULT* result) {
    (void)id;
    (void)header;
    (void)result;
    return false;
}

INT_PTR CDialog::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)) ? TRUE
                                                                                         : FALSE;
    case WM_NOTIFY: {
        LRESULT result = 0;
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header && OnNotify(static_cast<int>(wParam), header, &result)) {
            SetMessageResult(result);
            return TRUE;
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

void CDialog::AttachWindow(HWND window) {
    m_hWnd = window;
    SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(this));
}

INT_PTR CALLBACK CDialog::StaticDialogProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    CDialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lParam);
        if (self) {
            self->AttachWindow(window);
        }
    } else {
        self = reinterpret_cast<CDialog*>(GetWindowLongPtrA(window, DWLP_USER));
    }
    return Dispatch(self, window, message, wParam, lParam);
}

INT_PTR CDialog::Dispatch(CDialog* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFYFORMAT && lParam == NF_QUERY) {
        // The program's handlers read the ANSI forms (TVN_SELCHANGEDA, TTN_GETDISPINFOA...).
        SetWindowLongPtrA(window, DWLP_MSGRESULT, NFR_ANSI);
        return TRUE;
    }
    if (!self) {
        return FALSE;
    }
    INT_PTR result = FALSE;
    try {
        result = self->DialogProc(message, wParam, lParam);
    } catch (...) {
        // Nothing thrown may unwind through the system's dialog manager.
        TRACE_DEBUG("CDialog: exception in DialogProc, message 0x%04X\n", message);
        result = FALSE;
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, DWLP_USER, 0);
        self->m_hWnd = nullptr;
        if (CApp* app = CApp::GetApp()) {
            app->OnWindowDestroyed(window);
        }
        self->OnFinalMessage(window);
    }
    return result;
}
