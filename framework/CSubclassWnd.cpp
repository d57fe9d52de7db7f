#include "framework/CSubclassWnd.h"

#include <commctrl.h>

CSubclassWnd::~CSubclassWnd() {
    Detach();
}

bool CSubclassWnd::Attach(HWND window) {
    if (window == nullptr || m_hWnd != nullptr || !IsWindow(window)) {
        return false;
    }
    // The object's address is its id in the chain, so several objects hook one window
    // without replacing each other.
    if (!SetWindowSubclass(window, SubclassProc, reinterpret_cast<UINT_PTR>(this),
                           reinterpret_cast<DWORD_PTR>(this))) {
        return false;
    }
    m_hWnd = window;
    return true;
}

void CSubclassWnd::Detach() {
    if (m_hWnd != nullptr) {
        RemoveWindowSubclass(m_hWnd, SubclassProc, reinterpret_cast<UINT_PTR>(this));
        m_hWnd = nullptr;
    }
}

bool CSubclassWnd::DestroyWindow() {
    return m_hWnd != nullptr && ::DestroyWindow(m_hWnd) != FALSE;
}

LRESULT CSubclassWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return Default(message, wParam, lParam);
}

LRESULT CSubclassWnd::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_defaulted != nullptr) {
        *m_defaulted = true;
    }
    return DefSubclassProc(m_dispatchWindow ? m_dispatchWindow : m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CSubclassWnd::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR id, DWORD_PTR data) {
    (void)id;
    auto* self = reinterpret_cast<CSubclassWnd*>(data);
    if (self == nullptr || self->m_hWnd != window) {
        return DefSubclassProc(window, message, wParam, lParam);
    }
    IUnknown* const owner = self->GetLifetimeOwner();
    if (owner != nullptr) {
        owner->AddRef();
    }
    bool defaulted = false;
    bool* const outer = self->m_defaulted;
    HWND const outerWindow = self->m_dispatchWindow;
    self->m_defaulted = &defaulted;
    self->m_dispatchWindow = window;
    LRESULT result = 0;
    try {
        result = self->WindowProc(message, wParam, lParam);
    } catch (...) {
        if (!defaulted) {
            result = DefSubclassProc(window, message, wParam, lParam);
        }
    }
    self->m_defaulted = outer;
    self->m_dispatchWindow = outerWindow;
    if (message == WM_NCDESTROY) {
        // The last message the window gets: nothing may reach the object after it.
        RemoveWindowSubclass(window, SubclassProc, reinterpret_cast<UINT_PTR>(self));
        if (self->m_hWnd == window) {
            self->m_hWnd = nullptr;
            try {
                self->OnDetached();
            } catch (...) {
            }
        }
    }
    // Possibly the last reference: nothing touches the object after this.
    if (owner != nullptr) {
        owner->Release();
    }
    return result;
}
