// Shared by the owner-draw tests: a bitmap to paint into and read back, a private scratch
// folder, a count of the process's GDI objects and a spy on the task allocator.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <cstdint>
#include <set>
#include <string>

bool IsJapaneseRun();

// Wide text in the system's ANSI code page (Shift-JIS on the Japanese run).
std::string ToAnsi(const wchar_t* text);

// A 32-bit top-down DIB section selected into its own memory DC.
class CCanvas {
public:
    CCanvas(int width, int height);
    CCanvas(const CCanvas&) = delete;
    CCanvas& operator=(const CCanvas&) = delete;
    ~CCanvas();

    HDC Dc() const { return m_dc; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool Valid() const { return m_bits != nullptr; }
    void Fill(COLORREF colour);
    // As a COLORREF (0x00BBGGRR).
    COLORREF Pixel(int x, int y) const;

private:
    int m_width;
    int m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
    uint32_t* m_bits = nullptr;
};

// A folder of this process alone under the temporary folder, removed with its contents.
class CScratchFolder {
public:
    CScratchFolder();
    ~CScratchFolder();
    const std::string& Path() const { return m_path; } // with a trailing backslash
    std::string File(const std::string& name) const { return m_path + name; }
    // Creates a file with a few bytes; returns its path.
    std::string CreateFileWithText(const std::string& name) const;

private:
    std::string m_path;
};

// Distinct system colours for pixel checks, set for the object's lifetime and put back
// afterwards. Both language runs share one desktop, so a named mutex keeps them apart.
class CTestPalette {
public:
    static constexpr COLORREF kMenu = RGB(212, 208, 200);
    static constexpr COLORREF kMenuText = RGB(0, 0, 0);
    static constexpr COLORREF kHighlight = RGB(10, 36, 106);
    static constexpr COLORREF kHighlightText = RGB(250, 250, 250);
    static constexpr COLORREF kGrayText = RGB(96, 96, 96);
    static constexpr COLORREF kLight = RGB(255, 255, 255);
    static constexpr COLORREF kShadow = RGB(128, 128, 128);

    // highlight replaces kHighlight (to give it the grey-text colour, say).
    explicit CTestPalette(COLORREF highlight = kHighlight);
    CTestPalette(const CTestPalette&) = delete;
    CTestPalette& operator=(const CTestPalette&) = delete;
    ~CTestPalette();
    bool Applied() const { return m_applied; }

private:
    static constexpr int kCount = 7;
    HANDLE m_mutex = nullptr;
    bool m_owned = false;
    bool m_applied = false;
    COLORREF m_saved[kCount] = {};
};

// The GDI objects this process holds: the system's count where it gives one, else the used
// slots of the process's GDI handle table.
DWORD CountGdiObjects();

// Which task-allocator blocks are alive, as seen by an IMallocSpy registered for its lifetime.
class CTaskAllocatorSpy final : public IMallocSpy {
public:
    CTaskAllocatorSpy();
    ~CTaskAllocatorSpy();
    bool Registered() const { return m_registered; }
    bool IsLive(const void* block);

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP_(SIZE_T) PreAlloc(SIZE_T size) override { return size; }
    STDMETHODIMP_(void*) PostAlloc(void* actual) override;
    STDMETHODIMP_(void*) PreFree(void* request, BOOL) override;
    STDMETHODIMP_(void) PostFree(BOOL) override {}
    STDMETHODIMP_(SIZE_T) PreRealloc(void* request, SIZE_T size, void** newRequest, BOOL) override;
    STDMETHODIMP_(void*) PostRealloc(void* actual, BOOL) override;
    STDMETHODIMP_(void*) PreGetSize(void* request, BOOL) override { return request; }
    STDMETHODIMP_(SIZE_T) PostGetSize(SIZE_T actual, BOOL) override { return actual; }
    STDMETHODIMP_(void*) PreDidAlloc(void* request, BOOL) override { return request; }
    STDMETHODIMP_(int) PostDidAlloc(void*, BOOL, int actual) override { return actual; }
    STDMETHODIMP_(void) PreHeapMinimize() override {}
    STDMETHODIMP_(void) PostHeapMinimize() override {}

private:
    CRITICAL_SECTION m_lock;
    std::set<const void*> m_live;
    bool m_registered = false;
};
