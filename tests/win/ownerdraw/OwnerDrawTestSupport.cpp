#include "OwnerDrawTestSupport.h"

#include <shlwapi.h>
#include <winternl.h>

#include <cstdlib>
#include <cstring>

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

CCanvas::CCanvas(int width, int height) : m_width(width), m_height(height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down: row 0 first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_dc = CreateCompatibleDC(nullptr);
    if (m_bitmap && m_dc) {
        m_previous = SelectObject(m_dc, m_bitmap);
        m_bits = static_cast<uint32_t*>(bits);
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
    const uint32_t bgr = m_bits[static_cast<size_t>(y) * m_width + x];
    return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
}

CScratchFolder::CScratchFolder() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    m_path = std::string(temp) + "corvina-ownerdraw-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(m_path.c_str(), nullptr);
    m_path += '\\';
}

CScratchFolder::~CScratchFolder() {
    // SHFileOperation wants a list ended by two zeros.
    std::string from = m_path.substr(0, m_path.size() - 1);
    from.push_back('\0');
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&operation);
}

std::string CScratchFolder::CreateFileWithText(const std::string& name) const {
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

namespace {

const int kPaletteIndexes[] = {COLOR_MENU,          COLOR_MENUTEXT, COLOR_HIGHLIGHT,
                               COLOR_HIGHLIGHTTEXT, COLOR_GRAYTEXT, COLOR_3DHILIGHT,
                               COLOR_3DSHADOW};

} // namespace

CTestPalette::CTestPalette(COLORREF highlight) {
    static_assert(sizeof(kPaletteIndexes) / sizeof(kPaletteIndexes[0]) == kCount, "");
    m_mutex = CreateMutexA(nullptr, FALSE, "Corvina owner-draw tests: system colours");
    if (!m_mutex) {
        return;
    }
    // The holder's SetSysColors sends WM_SYSCOLORCHANGE to every top-level window, ours
    // too: wait with the messages sent to this thread answered, or the two deadlock.
    const DWORD deadline = GetTickCount() + 300000;
    for (;;) {
        const DWORD now = GetTickCount();
        const DWORD left = static_cast<LONG>(deadline - now) > 0 ? deadline - now : 0;
        const DWORD wait = MsgWaitForMultipleObjects(1, &m_mutex, FALSE, left, QS_SENDMESSAGE);
        if (wait == WAIT_OBJECT_0 + 1) {
            MSG msg;
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
            continue;
        }
        m_owned = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED_0;
        break;
    }
    if (!m_owned) {
        return;
    }
    for (int i = 0; i < kCount; ++i) {
        m_saved[i] = GetSysColor(kPaletteIndexes[i]);
    }
    const COLORREF colours[kCount] = {kMenu,     kMenuText, highlight, kHighlightText,
                                      kGrayText, kLight,    kShadow};
    m_applied = SetSysColors(kCount, kPaletteIndexes, colours) != FALSE;
    for (int i = 0; i < kCount && m_applied; ++i) {
        m_applied = GetSysColor(kPaletteIndexes[i]) == colours[i];
    }
}

CTestPalette::~CTestPalette() {
    if (m_owned) {
        SetSysColors(kCount, kPaletteIndexes, m_saved);
        ReleaseMutex(m_mutex);
    }
    if (m_mutex) {
        CloseHandle(m_mutex);
    }
}

namespace {

// One slot of the GDI handle table the process environment block points at (the x64
// layout: 24 bytes, the object type at offset 14, zero for a free slot).
struct GdiHandleSlot {
    uint64_t object;
    uint32_t owner;
    uint16_t unique;
    uint8_t type;
    uint8_t flags;
    uint64_t user;
};
static_assert(sizeof(GdiHandleSlot) == 24, "x64 GDI handle table slot");

constexpr size_t kGdiHandleSlots = 0x10000;
constexpr uint16_t kStockFlag = 0x80;

DWORD CountGdiHandleTableSlots() {
#ifdef _WIN64
    PROCESS_BASIC_INFORMATION basic = {};
    if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &basic,
                                  sizeof(basic), nullptr) != 0 ||
        !basic.PebBaseAddress) {
        return 0;
    }
    const auto* peb = reinterpret_cast<const uint8_t*>(basic.PebBaseAddress);
    const void* table = *reinterpret_cast<void* const*>(peb + 0xF8);
    if (!table) {
        return 0;
    }
    const auto* slots = static_cast<const GdiHandleSlot*>(table);
    DWORD used = 0;
    for (size_t i = 0; i < kGdiHandleSlots; ++i) {
        if (slots[i].type != 0 && !(slots[i].unique & kStockFlag)) {
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

CTaskAllocatorSpy::CTaskAllocatorSpy() {
    InitializeCriticalSection(&m_lock);
    m_registered = CoRegisterMallocSpy(this) == S_OK;
}

CTaskAllocatorSpy::~CTaskAllocatorSpy() {
    if (m_registered) {
        CoRevokeMallocSpy();
    }
    DeleteCriticalSection(&m_lock);
}

bool CTaskAllocatorSpy::IsLive(const void* block) {
    EnterCriticalSection(&m_lock);
    const bool live = m_live.count(block) != 0;
    LeaveCriticalSection(&m_lock);
    return live;
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
        EnterCriticalSection(&m_lock);
        m_live.insert(actual);
        LeaveCriticalSection(&m_lock);
    }
    return actual;
}

STDMETHODIMP_(void*) CTaskAllocatorSpy::PreFree(void* request, BOOL) {
    if (request) {
        EnterCriticalSection(&m_lock);
        m_live.erase(request);
        LeaveCriticalSection(&m_lock);
    }
    return request;
}

STDMETHODIMP_(SIZE_T)
CTaskAllocatorSpy::PreRealloc(void* request, SIZE_T size, void** newRequest, BOOL) {
    if (request) {
        EnterCriticalSection(&m_lock);
        m_live.erase(request);
        LeaveCriticalSection(&m_lock);
    }
    *newRequest = request;
    return size;
}

STDMETHODIMP_(void*) CTaskAllocatorSpy::PostRealloc(void* actual, BOOL) {
    return PostAlloc(actual);
}
