// Shared by the extension's tests: a private copy of Corvina.dll (with or without a settings
// program beside it) loaded straight or registered, the user's list written for a test, a
// bitmap to paint into, and counts of GDI objects and task-allocator blocks.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/ComPtr.h"

bool IsJapaneseRun();
// Wide text in the system's ANSI code page (Shift-JIS on the Japanese run).
std::string ToAnsi(const wchar_t* text);
// A path of the build host as Wine sees it (drive Z:).
std::string HostPath(const char* path);

// The texts the extension shows on this run.
std::string ExpectedCaption();
std::string ExpectedSettingsLabel();
std::string ExpectedHelpText(const std::string& label);

// A folder of its own under the temporary folder, removed with its contents.
class CScratchFolder {
public:
    explicit CScratchFolder(const char* purpose);
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;
    ~CScratchFolder();
    const std::string& Path() const { return m_path; } // with a trailing backslash
    std::string File(const std::string& name) const { return m_path + name; }
    std::string CreateTextFile(const std::string& name) const;

private:
    std::string m_path;
};

// Corvina.dll copied into a scratch folder (with the marker program as "Corvset.exe" beside
// it when asked) and loaded from there.
class CServerCopy {
public:
    explicit CServerCopy(bool withSettingsProgram);
    CServerCopy(const CServerCopy&) = delete;
    CServerCopy& operator=(const CServerCopy&) = delete;
    ~CServerCopy();

    bool Loaded() const { return m_module != nullptr; }
    const std::string& DllPath() const { return m_dllPath; }
    std::string SettingsPath() const { return m_folder.File("Corvset.exe"); }
    const CScratchFolder& Folder() const { return m_folder; }

    HRESULT CanUnloadNow() const;
    HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** ppv) const;
    HRESULT Register() const;
    HRESULT Unregister() const;
    // A new extension object straight from the class factory.
    template <class T> HRESULT Create(REFIID riid, CComPtr<T>& object) const {
        CComPtr<IClassFactory> factory;
        HRESULT hr = GetClassObject(kClsid, IID_IClassFactory,
                                    reinterpret_cast<void**>(factory.GetAddressOf()));
        if (FAILED(hr)) {
            return hr;
        }
        return factory->CreateInstance(nullptr, riid,
                                       reinterpret_cast<void**>(object.ReleaseAndGetAddressOf()));
    }

    static const CLSID kClsid;

private:
    CScratchFolder m_folder;
    std::string m_dllPath;
    HMODULE m_module = nullptr;
};

// The marker program's path in the build tree; a copy started anywhere leaves
// "<copy>.ran" beside itself.
std::string MarkerProgramPath();
// Copies the marker program to path.
bool CopyMarkerProgram(const std::string& path);
// Polls for a file for up to 30 seconds.
bool WaitForFile(const std::string& path);

// Writes HKCU\Software\Velmora\Corvina for the test: each entry's path and display-name
// override. The key is deleted before writing and again on destruction.
struct ListEntry {
    std::string path;
    std::string override;
};
class CUserList {
public:
    explicit CUserList(const std::vector<ListEntry>& entries);
    CUserList(const CUserList&) = delete;
    CUserList& operator=(const CUserList&) = delete;
    ~CUserList();
    static void Clear();
};

// The shell's own answers for a path, to compare the menu with.
std::string ShellDisplayName(const std::string& path);
int ShellIconIndex(const std::string& path);

// A 32-bit top-down DIB section selected into its own memory DC.
class CCanvas {
public:
    CCanvas(int width, int height);
    CCanvas(const CCanvas&) = delete;
    CCanvas& operator=(const CCanvas&) = delete;
    ~CCanvas();
    HDC Dc() const { return m_dc; }
    void Fill(COLORREF colour);
    COLORREF Pixel(int x, int y) const;

private:
    int m_width;
    int m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
    const DWORD* m_bits = nullptr;
};

// GDI objects this process holds. Wine's GetGuiResources answers 0, so the used slots of the
// process's GDI handle table are counted there.
DWORD CountGdiObjects();

// Counts the task-allocator blocks allocated while it is registered and not yet freed.
// The system keeps a spy registered for as long as blocks it saw are alive, so the spy is
// made on the heap and ends itself only once the system has let it go.
class CTaskAllocatorSpy final : public IMallocSpy {
public:
    // Null when the system refuses the spy.
    static CTaskAllocatorSpy* Register();
    // Revokes the spy; it is freed at once or, if the system still holds it, never.
    void Unregister();
    size_t LiveCount();

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
    CTaskAllocatorSpy();
    ~CTaskAllocatorSpy();

    // A fixed open-addressing table: the callbacks run inside the allocator and must not
    // allocate themselves.
    static constexpr size_t kSlots = size_t{1} << 16;
    void Insert(const void* block);
    void Erase(const void* block);

    CRITICAL_SECTION m_lock;
    const void** m_slots = nullptr;
    size_t m_count = 0;
};

// Runs a command line, waits up to two minutes and returns its exit code (or -1).
int RunAndWait(const std::string& commandLine);

// Registry reads through the wide functions (what COM and other readers see).
bool ReadRegistryW(HKEY root, const wchar_t* path, const wchar_t* name, DWORD* type,
                   std::wstring* text);
bool KeyExists(HKEY root, const char* path);

// COM for each test's thread.
class CComScope {
public:
    CComScope() { OleInitialize(nullptr); }
    ~CComScope() { OleUninitialize(); }
};
