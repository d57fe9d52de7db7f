// A window whose messages go to a C++ object. The object is linked to its window through
// GWLP_USERDATA from WM_NCCREATE until WM_NCDESTROY; no subclassing is involved, so every
// window class the object uses must be registered through RegisterWindowClass (or be the
// default class).
//
//   class CMyWnd : public CWnd {
//       LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
//           switch (message) {
//           case WM_TIMER: ...; return 0;
//           }
//           return CWnd::WindowProc(message, wParam, lParam);
//       }
//   };
#pragma once

#include <windows.h>

class CWnd {
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    // Destroys the window if it still exists, so that no message reaches a dead object.
    virtual ~CWnd();

    HWND GetHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The object linked to a window of a class registered by the framework, else nullptr.
    static CWnd* FromHandle(HWND window);

    // Registers a class whose window procedure is the framework's. lpfnWndProc is
    // overwritten; a null hInstance means this module; cbSize is filled in. Registering a
    // class that exists already counts as success.
    static bool RegisterWindowClass(WNDCLASSEXA windowClass);
    // Name of a plain class (arrow cursor, window-colour background), registered on first use.
    static const char* DefaultClassName();

    // Creates the window and links it to this object. A null className means the default
    // class; lpCreateParams of the window is this object. False if the object already has
    // a window or creation failed.
    bool CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x,
                  int y, int width, int height, HWND parent, HMENU menuOrId);
    bool Create(const char* windowName, DWORD style, HWND parent = nullptr,
                const RECT& rect = {CW_USEDEFAULT, CW_USEDEFAULT, 0, 0});
    // A window of the default class that is a Unicode window: its messages carry UTF-16
    // (a typed character in WM_CHAR or WM_MENUCHAR arrives whole, whatever the code page).
    // Falls back to the ANSI class where the system has no wide window calls (the 9x
    // family). Without a title; otherwise as CreateEx.
    bool CreateUnicodeEx(DWORD exStyle, DWORD style, int x, int y, int width, int height,
                         HWND parent, HMENU menuOrId);
    bool DestroyWindow();

    // Messages for this window; the default goes to DefWindowProcA, or DefWindowProcW for a
    // Unicode window.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // After WM_NCDESTROY, when the link is gone; an object that deletes itself does it here.
    virtual void OnFinalMessage(HWND window) { (void)window; }

private:
    static LRESULT CALLBACK StaticWindowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam);

    HWND m_hWnd = nullptr;
};
