// Owners of the small system handles: each frees exactly what it holds, once, when it goes
// out of scope. They move, never copy. A function that hands a handle over returns the
// owner (or Detach()es it explicitly).
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <utility>

// One owner for every handle type whose release is a single call.
template <class Traits> class CUniqueHandle {
public:
    using Handle = typename Traits::Handle;

    CUniqueHandle() = default;
    explicit CUniqueHandle(Handle handle) : m_handle(handle) {}
    CUniqueHandle(const CUniqueHandle&) = delete;
    CUniqueHandle& operator=(const CUniqueHandle&) = delete;
    CUniqueHandle(CUniqueHandle&& other) noexcept : m_handle(other.Detach()) {}
    CUniqueHandle& operator=(CUniqueHandle&& other) noexcept {
        if (this != &other) {
            Attach(other.Detach());
        }
        return *this;
    }
    ~CUniqueHandle() { Close(); }

    Handle Get() const { return m_handle; }
    operator Handle() const { return m_handle; }
    explicit operator bool() const { return Traits::IsValid(m_handle); }

    void Attach(Handle handle) {
        if (handle != m_handle) {
            Close();
            m_handle = handle;
        }
    }
    Handle Detach() { return std::exchange(m_handle, Traits::Invalid()); }
    void Close() {
        if (Traits::IsValid(m_handle)) {
            Traits::Close(m_handle);
        }
        m_handle = Traits::Invalid();
    }
    // For out-parameters: closes the current handle and returns its slot.
    Handle* Receive() {
        Close();
        return &m_handle;
    }

private:
    Handle m_handle = Traits::Invalid();
};

namespace handle_traits {

// Kernel handles: both null and INVALID_HANDLE_VALUE mean "none" (CreateFile returns the
// latter, most other calls the former).
struct Kernel {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { CloseHandle(h); }
};
struct Menu {
    using Handle = HMENU;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DestroyMenu(h); }
};
template <class T> struct Gdi {
    using Handle = T;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DeleteObject(h); }
};
struct Icon {
    using Handle = HICON;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DestroyIcon(h); }
};
struct Cursor {
    using Handle = HCURSOR;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DestroyCursor(h); }
};
struct ImageList {
    using Handle = HIMAGELIST;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { ImageList_Destroy(h); }
};
struct Library {
    using Handle = HMODULE;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { FreeLibrary(h); }
};
struct GlobalMemory {
    using Handle = HGLOBAL;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { GlobalFree(h); }
};
// Memory the callee allocated with the task allocator and the caller frees (strings from
// IQueryInfo::GetInfoTip, IShellFolder display names and the like).
template <class T> struct CoTaskMem {
    using Handle = T*;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { CoTaskMemFree(h); }
};
struct MemoryDC {
    using Handle = HDC;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DeleteDC(h); }
};

} // namespace handle_traits

using CHandle = CUniqueHandle<handle_traits::Kernel>;
using CMenuHandle = CUniqueHandle<handle_traits::Menu>;
template <class T> using CGdiObject = CUniqueHandle<handle_traits::Gdi<T>>;
using CFontHandle = CGdiObject<HFONT>;
using CBitmapHandle = CGdiObject<HBITMAP>;
using CBrushHandle = CGdiObject<HBRUSH>;
using CPenHandle = CGdiObject<HPEN>;
using CRgnHandle = CGdiObject<HRGN>;
using CIconHandle = CUniqueHandle<handle_traits::Icon>;
using CCursorHandle = CUniqueHandle<handle_traits::Cursor>;
using CImageListHandle = CUniqueHandle<handle_traits::ImageList>;
using CLibrary = CUniqueHandle<handle_traits::Library>;
using CGlobalMemory = CUniqueHandle<handle_traits::GlobalMemory>;
template <class T> using CCoTaskMemPtr = CUniqueHandle<handle_traits::CoTaskMem<T>>;
using CCoTaskMemString = CCoTaskMemPtr<wchar_t>;

// A device context from GetDC (a window's, or the screen's for a null window), given back
// with ReleaseDC.
class CWindowDC {
public:
    explicit CWindowDC(HWND window = nullptr) : m_window(window), m_dc(GetDC(window)) {}
    CWindowDC(const CWindowDC&) = delete;
    CWindowDC& operator=(const CWindowDC&) = delete;
    ~CWindowDC() {
        if (m_dc) {
            ReleaseDC(m_window, m_dc);
        }
    }
    HDC Get() const { return m_dc; }
    operator HDC() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }

private:
    HWND m_window;
    HDC m_dc;
};

// BeginPaint / EndPaint for one WM_PAINT.
class CPaintDC {
public:
    explicit CPaintDC(HWND window) : m_window(window), m_dc(BeginPaint(window, &m_paint)) {}
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    ~CPaintDC() { EndPaint(m_window, &m_paint); }
    HDC Get() const { return m_dc; }
    operator HDC() const { return m_dc; }
    const PAINTSTRUCT& Paint() const { return m_paint; }

private:
    HWND m_window;
    PAINTSTRUCT m_paint{};
    HDC m_dc;
};

// A memory device context (CreateCompatibleDC), deleted with DeleteDC. Select objects into
// it through CSelectObject so that they are selected out again before the DC goes.
class CMemoryDC : public CUniqueHandle<handle_traits::MemoryDC> {
public:
    CMemoryDC() = default;
    explicit CMemoryDC(HDC compatibleWith)
        : CUniqueHandle<handle_traits::MemoryDC>(CreateCompatibleDC(compatibleWith)) {}
};

// Selects a GDI object into a DC and puts the previous one back at scope end.
class CSelectObject {
public:
    CSelectObject(HDC dc, HGDIOBJ object)
        : m_dc(dc), m_previous(dc && object ? SelectObject(dc, object) : nullptr) {}
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;
    ~CSelectObject() {
        if (m_previous && m_previous != HGDI_ERROR) {
            SelectObject(m_dc, m_previous);
        }
    }
    bool Succeeded() const { return m_previous && m_previous != HGDI_ERROR; }

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// GlobalLock for the owner's lifetime (clipboard and drag-and-drop data).
class CGlobalLock {
public:
    explicit CGlobalLock(HGLOBAL memory)
        : m_memory(memory), m_data(memory ? GlobalLock(memory) : nullptr) {}
    CGlobalLock(const CGlobalLock&) = delete;
    CGlobalLock& operator=(const CGlobalLock&) = delete;
    ~CGlobalLock() {
        if (m_data) {
            GlobalUnlock(m_memory);
        }
    }
    void* Get() const { return m_data; }
    template <class T> T* As() const { return static_cast<T*>(m_data); }
    SIZE_T Size() const { return m_data ? GlobalSize(m_memory) : 0; }
    explicit operator bool() const { return m_data != nullptr; }

private:
    HGLOBAL m_memory;
    void* m_data;
};

// A critical section and its scoped lock.
class CCriticalSection {
public:
    CCriticalSection() { InitializeCriticalSection(&m_section); }
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;
    ~CCriticalSection() { DeleteCriticalSection(&m_section); }
    void Enter() { EnterCriticalSection(&m_section); }
    void Leave() { LeaveCriticalSection(&m_section); }

private:
    CRITICAL_SECTION m_section;
};

class CCriticalSectionLock {
public:
    explicit CCriticalSectionLock(CCriticalSection& section) : m_section(section) {
        m_section.Enter();
    }
    CCriticalSectionLock(const CCriticalSectionLock&) = delete;
    CCriticalSectionLock& operator=(const CCriticalSectionLock&) = delete;
    ~CCriticalSectionLock() { m_section.Leave(); }

private:
    CCriticalSection& m_section;
};
