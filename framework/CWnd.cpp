#include "framework/CWnd.h"

#include "framework/CApp.h"
#include "framework/Debug.h"
#include "framework/ModuleInstance.h"

namespace {
const char kDefaultClassName[] = "FrameworkWindow";
const wchar_t kUnicodeClassName[] = L"FrameworkUnicodeWindow";

// The link's stored value and the window procedure are read with the call of the window's
// own kind: the other kind's call answers a conversion thunk in place of the procedure.
LONG_PTR GetWindowLongOfKind(HWND window, int index) {
    return IsWindowUnicode(window) ? GetWindowLongPtrW(window, index)
                                   : GetWindowLongPtrA(window, index);
}

LRESULT DefaultOfKind(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return IsWindowUnicode(window) ? DefWindowProcW(window, message, wParam, lParam)
                                   : DefWindowProcA(window, message, wParam, lParam);
}
} // namespace

CWnd::~CWnd() {
    if (m_hWnd && IsWindow(m_hWnd)) {
        ::DestroyWindow(m_hWnd);
    }
    // If the window lived on (another thread's window cannot be destroyed from here), cut
    // the link so that its messages no longer reach this object.
    if (m_hWnd) {
        SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, 0);
        m_hWnd = nullptr;
    }
}

CWnd* CWnd::FromHandle(HWND window) {
    if (!window ||
        GetWindowLongOfKind(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(StaticWindowProc)) {
        return nullptr;
    }
    return reinterpret_cast<CWnd*>(GetWindowLongOfKind(window, GWLP_USERDATA));
}

bool CWnd::RegisterWindowClass(WNDCLASSEXA windowClass) {
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = StaticWindowProc;
    if (!windowClass.hInstance) {
        windowClass.hInstance = GetThisModule();
    }
    if (RegisterClassExA(&windowClass)) {
        return true;
    }
    return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

const char* CWnd::DefaultClassName() {
    WNDCLASSEXA existing = {};
    existing.cbSize = sizeof(existing);
    if (!GetClassInfoExA(GetThisModule(), kDefaultClassName, &existing)) {
        WNDCLASSEXA windowClass = {};
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = kDefaultClassName;
        RegisterWindowClass(windowClass);
    }
    return kDefaultClassName;
}

bool CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU menuOrId) {
    if (m_hWnd) {
        return false;
    }
    if (!className) {
        className = DefaultClassName();
    }
    HWND window = CreateWindowExA(exStyle, className, windowName, style, x, y, width, height,
                                  parent, menuOrId, GetThisModule(), this);
    if (window && m_hWnd != window) {
        // A class not registered through RegisterWindowClass never linked the object.
        ::DestroyWindow(window);
        return false;
    }
    return window != nullptr;
}

bool CWnd::CreateUnicodeEx(DWORD exStyle, DWORD style, int x, int y, int width, int height,
                           HWND parent, HMENU menuOrId) {
    if (m_hWnd) {
        return false;
    }
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = StaticWindowProc;
    windowClass.hInstance = GetThisModule();
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kUnicodeClassName;
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof(existing);
    if (!GetClassInfoExW(windowClass.hInstance, kUnicodeClassName, &existing) &&
        !RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return CreateEx(exStyle, nullptr, "", style, x, y, width, height, parent, menuOrId);
    }
    HWND window = CreateWindowExW(exStyle, kUnicodeClassName, L"", style, x, y, width, height,
                                  parent, menuOrId, GetThisModule(), this);
    return window != nullptr && m_hWnd == window;
}

bool CWnd::Create(const char* windowName, DWORD style, HWND parent, const RECT& rect) {
    const bool useDefault = rect.left == CW_USEDEFAULT;
    return CreateEx(0, nullptr, windowName, style, rect.left, useDefault ? 0 : rect.top,
                    useDefault ? CW_USEDEFAULT : rect.right - rect.left,
                    useDefault ? 0 : rect.bottom - rect.top, parent, nullptr);
}

bool CWnd::DestroyWindow() {
    return m_hWnd && ::DestroyWindow(m_hWnd) != FALSE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultOfKind(m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CWnd::StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* self = nullptr;
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        self = static_cast<CWnd*>(create->lpCreateParams);
        if (self) {
            self->m_hWnd = window;
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    } else {
        self = reinterpret_cast<CWnd*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    }
    // Messages before WM_NCCREATE (WM_GETMINMAXINFO) and after the object let go.
    if (!self) {
        return DefaultOfKind(window, message, wParam, lParam);
    }

    LRESULT result = 0;
    try {
        result = self->WindowProc(message, wParam, lParam);
    } catch (...) {
        // Nothing thrown may unwind through the system's frames (the window may live in a
        // host process).
        TRACE_DEBUG("CWnd: exception in WindowProc, message 0x%04X\n", message);
        result = 0;
    }

    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->m_hWnd = nullptr;
        if (CApp* app = CApp::GetApp()) {
            app->OnWindowDestroyed(window);
        }
        self->OnFinalMessage(window);
    }
    return result;
}
