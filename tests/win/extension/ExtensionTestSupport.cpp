#include "ExtensionTestSupport.h"

#include <shellapi.h>
#include <shlwapi.h>
#include <winternl.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "common/MenuItemList.h"
#include "common/ShellQueries.h"
#include "common/UiText.h"

bool IsJapaneseRun() {
    const char* locale = std::getenv("CORVINA_LOCALE");
    return locale && std::strcmp(locale, "ja") == 0;
}

std::string ToAnsi(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) {
        return std::string();
    }
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, &out[0], size, nullptr, nullptr);
    out.resize(static_cast<size_t>(size) - 1);
    return out;
}

std::string HostPath(const char* path) {
    std::string out = "Z:";
    for (const char* p = path; *p; ++p) {
        out.push_back(*p == '/' ? '\\' : *p);
    }
    return out;
}

// Written out here rather than taken from the extension, so that a wrong text there shows.
std::string ExpectedCaption() {
    return IsJapaneseRun() ? ToAnsi(L"コルヴィナ(&Q)") : "&Corvina";
}

std::string ExpectedSettingsLabel() {
    return IsJapaneseRun() ? ToAnsi(L"設定...") : "Settings...";
}

std::string ExpectedHelpText(const std::string& label) {
    return IsJapaneseRun() ? label + ToAnsi(L" を開く") : "Open " + label + ".";
}

CScratchFolder::CScratchFolder(const char* purpose) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    static LONG counter = 0;
    m_path = std::string(temp) + "corvina-" + purpose + "-" +
             std::to_string(GetCurrentProcessId()) + "-" +
             std::to_string(InterlockedIncrement(&counter));
    CreateDirectoryA(m_path.c_str(), nullptr);
    m_path += '\\';
}

CScratchFolder::~CScratchFolder() {
    std::string from = m_path.substr(0, m_path.size() - 1);
    from.push_back('\0'); // the list ends with two zeros
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&operation);
}

std::string CScratchFolder::CreateTextFile(const std::string& name) const {
    const std::string path = File(name);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, "text", 4, &written, nullptr);
        CloseHandle(file);
    }
    return path;
}

const CLSID CServerCopy::kClsid = {
    0x5A1C7E20, 0x3B9D, 0x4F62, {0x8E, 0x41, 0x0C, 0x7D, 0x2B, 0x9F, 0x6A, 0x13}};

CServerCopy::CServerCopy(bool withSettingsProgram) : m_folder("server") {
    m_dllPath = m_folder.File("Corvina.dll");
    if (!CopyFileA(HostPath(CORVINA_DLL).c_str(), m_dllPath.c_str(), FALSE)) {
        return;
    }
    if (withSettingsProgram && !CopyMarkerProgram(SettingsPath())) {
        return;
    }
    m_module = LoadLibraryA(m_dllPath.c_str());
}

CServerCopy::~CServerCopy() {
    if (m_module) {
        FreeLibrary(m_module);
    }
}

HRESULT CServerCopy::CanUnloadNow() const {
    auto function =
        reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(GetProcAddress(m_module, "DllCanUnloadNow"));
    return function ? function() : E_NOTIMPL;
}

HRESULT CServerCopy::GetClassObject(REFCLSID clsid, REFIID riid, void** ppv) const {
    auto function = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
        GetProcAddress(m_module, "DllGetClassObject"));
    return function ? function(clsid, riid, ppv) : E_NOTIMPL;
}

HRESULT CServerCopy::Register() const {
    auto function =
        reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(GetProcAddress(m_module, "DllRegisterServer"));
    return function ? function() : E_NOTIMPL;
}

HRESULT CServerCopy::Unregister() const {
    auto function = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
        GetProcAddress(m_module, "DllUnregisterServer"));
    return function ? function() : E_NOTIMPL;
}

std::string MarkerProgramPath() {
    return HostPath(MARKER_EXE);
}

bool CopyMarkerProgram(const std::string& path) {
    return CopyFileA(MarkerProgramPath().c_str(), path.c_str(), FALSE) != FALSE;
}

bool WaitForFile(const std::string& path) {
    for (int i = 0; i < 600; ++i) {
        if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
            return true;
        }
        Sleep(50);
    }
    return false;
}

CUserList::CUserList(const std::vector<ListEntry>& entries) {
    Clear();
    MenuItemList list;
    for (const ListEntry& entry : entries) {
        MenuItemRecord record;
        record.itemIdList = ParsePathToItemIdList(entry.path.c_str());
        EXPECT_TRUE(record.itemIdList) << entry.path;
        record.displayName = entry.override;
        list.push_back(std::move(record));
    }
    EXPECT_TRUE(SaveMenuItemList(list));
}

CUserList::~CUserList() {
    Clear();
}

void CUserList::Clear() {
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Velmora\\Corvina");
}

std::string ShellDisplayName(const std::string& path) {
    SHFILEINFOA info = {};
    SHGetFileInfoA(path.c_str(), 0, &info, sizeof(info), SHGFI_DISPLAYNAME);
    return info.szDisplayName;
}

int ShellIconIndex(const std::string& path) {
    SHFILEINFOA info = {};
    if (!SHGetFileInfoA(path.c_str(), 0, &info, sizeof(info), SHGFI_SYSICONINDEX)) {
        return -1;
    }
    return info.iIcon;
}

CCanvas::CCanvas(int width, int height) : m_width(width), m_height(height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_dc = CreateCompatibleDC(nullptr);
    if (m_bitmap && m_dc) {
        m_previous = SelectObject(m_dc, m_bitmap);
        m_bits = static_cast<const DWORD*>(bits);
    }
}

CCanvas::~CCanvas() {
    if (m_dc && m_previous) {
        SelectObject(m_dc, m_previous);
    }
    if (m_dc) {
        DeleteDC(m_dc);
    }
    if (m_bitmap) {
        DeleteObject(m_bitmap);
    }
}

void CCanvas::Fill(COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    RECT all = {0, 0, m_width, m_height};
    FillRect(m_dc, &all, brush);
    DeleteObject(brush);
    GdiFlush();
}

COLORREF CCanvas::Pixel(int x, int y) const {
    GdiFlush();
    if (!m_bits || x < 0 || y < 0 || x >= m_width || y >= m_height) {
        return CLR_INVALID;
    }
    const DWORD bgr = m_bits[static_cast<size_t>(y) * m_width + x];
    return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
}

namespace {

// A slot of the GDI handle table that the process environment block points at (x64 layout:
// 24 bytes, object type at offset 14, zero when free; stock objects are flagged in `unique`).
struct GdiHandleSlot {
    uint64_t object;
    uint32_t owner;
    uint16_t unique;
    uint8_t type;
    uint8_t flags;
    uint64_t user;
};
static_assert(sizeof(GdiHandleSlot) == 24, "x64 GDI handle table slot");

DWORD CountGdiHandleTableSlots() {
#ifdef _WIN64
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds" // the TEB is read through a segment register
    const auto* peb = reinterpret_cast<const uint8_t*>(NtCurrentTeb()->ProcessEnvironmentBlock);
#pragma GCC diagnostic pop
    const auto* slots = *reinterpret_cast<const GdiHandleSlot* const*>(peb + 0xF8);
    if (!slots) {
        return 0;
    }
    DWORD used = 0;
    for (size_t i = 0; i < 0x10000; ++i) {
        if (slots[i].type != 0 && !(slots[i].unique & 0x80)) {
            ++used;
        }
    }
    return used;
#else
    return 0;
#endif
}

} // namespace

DWORD CountGdiObjects() {
    GdiFlush();
    const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    return counted ? counted : CountGdiHandleTableSlots();
}

namespace {

// Marks a slot whose block was freed: probing goes on past it.
const void* const kTombstone = reinterpret_cast<const void*>(~uintptr_t{0});

size_t SlotOf(const void* block, size_t slots) {
    return (reinterpret_cast<uintptr_t>(block) >> 4) * 0x9E3779B97F4A7C15ull % slots;
}

} // namespace

CTaskAllocatorSpy::CTaskAllocatorSpy() {
    InitializeCriticalSection(&m_lock);
    m_slots = static_cast<const void**>(
        VirtualAlloc(nullptr, kSlots * sizeof(void*), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
}

CTaskAllocatorSpy::~CTaskAllocatorSpy() {
    if (m_slots) {
        VirtualFree(m_slots, 0, MEM_RELEASE);
    }
    DeleteCriticalSection(&m_lock);
}

CTaskAllocatorSpy* CTaskAllocatorSpy::Register() {
    auto* spy = new CTaskAllocatorSpy;
    if (!spy->m_slots || CoRegisterMallocSpy(spy) != S_OK) {
        delete spy;
        return nullptr;
    }
    return spy;
}

void CTaskAllocatorSpy::Unregister() {
    if (CoRevokeMallocSpy() == S_OK) {
        delete this;
    }
}

size_t CTaskAllocatorSpy::LiveCount() {
    EnterCriticalSection(&m_lock);
    const size_t count = m_count;
    LeaveCriticalSection(&m_lock);
    return count;
}

void CTaskAllocatorSpy::Insert(const void* block) {
    EnterCriticalSection(&m_lock);
    for (size_t i = SlotOf(block, kSlots), probes = 0; probes < kSlots;
         i = (i + 1) % kSlots, ++probes) {
        if (!m_slots[i] || m_slots[i] == kTombstone) {
            m_slots[i] = block;
            ++m_count;
            break;
        }
    }
    LeaveCriticalSection(&m_lock);
}

void CTaskAllocatorSpy::Erase(const void* block) {
    EnterCriticalSection(&m_lock);
    for (size_t i = SlotOf(block, kSlots), probes = 0; probes < kSlots && m_slots[i];
         i = (i + 1) % kSlots, ++probes) {
        if (m_slots[i] == block) {
            m_slots[i] = kTombstone;
            --m_count;
            break;
        }
    }
    LeaveCriticalSection(&m_lock);
}

STDMETHODIMP CTaskAllocatorSpy::QueryInterface(REFIID riid, void** ppv) {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IMallocSpy)) {
        *ppv = static_cast<IMallocSpy*>(this);
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(void*) CTaskAllocatorSpy::PostAlloc(void* actual) {
    if (actual) {
        Insert(actual);
    }
    return actual;
}

STDMETHODIMP_(void*) CTaskAllocatorSpy::PreFree(void* request, BOOL) {
    if (request) {
        Erase(request);
    }
    return request;
}

STDMETHODIMP_(SIZE_T)
CTaskAllocatorSpy::PreRealloc(void* request, SIZE_T size, void** newRequest, BOOL) {
    if (request) {
        Erase(request);
    }
    *newRequest = request;
    return size;
}

STDMETHODIMP_(void*) CTaskAllocatorSpy::PostRealloc(void* actual, BOOL) {
    return PostAlloc(actual);
}

int RunAndWait(const std::string& commandLine) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    std::string mutableLine = commandLine;
    if (!CreateProcessA(nullptr, &mutableLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return -1;
    }
    CloseHandle(process.hThread);
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &code);
    }
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

bool ReadRegistryW(HKEY root, const wchar_t* path, const wchar_t* name, DWORD* type,
                   std::wstring* text) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return false;
    }
    WCHAR buffer[1024] = {};
    DWORD size = sizeof(buffer) - sizeof(WCHAR);
    const LONG result =
        RegQueryValueExW(key, name, nullptr, type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) {
        return false;
    }
    *text = buffer;
    return true;
}

bool KeyExists(HKEY root, const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}
