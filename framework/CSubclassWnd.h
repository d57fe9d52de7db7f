// A C++ object attached to a window that already exists (a common control, a host's
// window) through the system's subclass chain. Several objects may hook one window; each
// sees the messages before the window's own procedure, and each unhooks itself when the
// window is destroyed, so no message reaches an object after its window is gone.
//
//   class CHook : public CSubclassWnd {
//       LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
//           if (message == WM_COMMAND) { ...; }
//           return Default(message, wParam, lParam);
//       }
//   };
#pragma once

#include <windows.h>
#include <unknwn.h>

class CSubclassWnd {
public:
    CSubclassWnd() = default;
    CSubclassWnd(const CSubclassWnd&) = delete;
    CSubclassWnd& operator=(const CSubclassWnd&) = delete;
    // Unhooks (the window itself is left alone).
    virtual ~CSubclassWnd();

    // Hooks window. False when window is null, this object is attached already or the system
    // refuses.
    bool Attach(HWND window);
    // Unhooks; the window keeps working with whatever else hooks it.
    void Detach();
    bool DestroyWindow();

    HWND GetHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // Messages for the hooked window; the default passes them on down the chain. Anything
    // thrown is caught before it reaches the system and counts as the default result.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // The next procedure of the chain.
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);
    // After the object has been unhooked from a window being destroyed.
    virtual void OnDetached() {}
    // The COM object that owns this one, or null. It is held for as long as a message is
    // dispatched here and let go after the object has been touched for the last time, so a
    // handler whose work releases the owner (a host closing it from inside a modal loop)
    // never returns into freed memory. The owner clears it before its own destruction.
    virtual IUnknown* GetLifetimeOwner() const { return nullptr; }

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR data);

    HWND m_hWnd = nullptr;
    // Set by Default for the message being dispatched, so that a handler that throws after
    // passing its message on does not pass it on a second time.
    bool* m_defaulted = nullptr;
    // The window of the message being dispatched: Default still reaches the rest of the
    // chain when the object unhooks itself while handling it.
    HWND m_dispatchWindow = nullptr;
};
