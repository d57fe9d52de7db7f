// Measures the suite's figures and prints one "name: value" line for each. Give figure
// names on the command line to run only those. Every figure is a ratio of two timings
// taken in the same run, so that the speed of the machine cancels out.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "band/CBandToolBar.h"
#include "common/ItemIdList.h"
#include "common/MenuItemList.h"
#include "common/Registry.h"
#include "common/ShellQueries.h"
#include "common/WideLabels.h"
#include "framework/CWnd.h"
#include "framework/ComPtr.h"
#include "framework/Handles.h"
#include "common/ShellQueries.h"
#include "resident/CMainFrame.h"
#include "foldermenu/ShellMenuHost.h"

namespace {

// The floors' file-information query: the call the product makes for its labels, wide on
// the NT family and in the code page on the 9x family.
size_t FloorFileInfo(LPCITEMIDLIST list, UINT flags, int* icon = nullptr) {
    if (UseWideLabels()) {
        SHFILEINFOW info = {};
        const DWORD_PTR result = SHGetFileInfoW(reinterpret_cast<LPCWSTR>(list), 0, &info,
                                                sizeof(info), SHGFI_PIDL | flags);
        if (icon) {
            *icon = info.iIcon;
        }
        return static_cast<size_t>(result) + static_cast<size_t>(info.iIcon) +
               info.szDisplayName[0];
    }
    SHFILEINFOA info = {};
    const DWORD_PTR result =
        SHGetFileInfoA(reinterpret_cast<LPCSTR>(list), 0, &info, sizeof(info), SHGFI_PIDL | flags);
    return static_cast<size_t>(result) + static_cast<size_t>(info.iIcon) +
           static_cast<unsigned char>(info.szDisplayName[0]);
}

// Scratch keys of the benchmark: the user's own list is never touched.
const char kBenchKey[] = "Software\\CorvinaBench";
const char kDenseKey[] = "Software\\CorvinaBench\\Dense";
const char kSparseKey[] = "Software\\CorvinaBench\\Sparse";
const char kThousandKey[] = "Software\\CorvinaBench\\Thousand";

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Median time of one call over several batches. The batch size is chosen so that one batch
// takes at least ~20 ms; the two operations of a ratio run in alternating batches: 11 pairs
// of batches, or as many as fit in about a minute where one call of each takes seconds, but
// never fewer than 3.
double MedianRatio(const std::function<void()>& measured, const std::function<void()>& base) {
    int repetitions = 1;
    double pair = 0;
    for (;;) {
        const double start = Now();
        for (int i = 0; i < repetitions; ++i) {
            measured();
            base();
        }
        pair = (Now() - start) / repetitions;
        if (pair * repetitions >= 0.04 || repetitions >= (1 << 20)) {
            break;
        }
        repetitions *= 2;
    }
    const int batches = std::max(3, std::min(11, static_cast<int>(60.0 / (pair * repetitions))));
    std::vector<double> measuredTimes;
    std::vector<double> baseTimes;
    for (int batch = 0; batch < batches; ++batch) {
        double start = Now();
        for (int i = 0; i < repetitions; ++i) {
            measured();
        }
        measuredTimes.push_back((Now() - start) / repetitions);
        start = Now();
        for (int i = 0; i < repetitions; ++i) {
            base();
        }
        baseTimes.push_back((Now() - start) / repetitions);
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    return median(measuredTimes) / median(baseTimes);
}

MenuItemList MakeList(int count) {
    MenuItemList list;
    for (int k = 1; k <= count; ++k) {
        // Two identifiers, about the size of a file's list below a drive.
        BYTE bytes[64] = {};
        bytes[0] = 25;
        bytes[1] = 0;
        std::snprintf(reinterpret_cast<char*>(bytes) + 3, 20, "C:\\folder%d", k);
        bytes[25] = 30;
        std::snprintf(reinterpret_cast<char*>(bytes) + 28, 25, "document-%06d.txt", k);
        list.push_back({CItemIdList::FromBytes(bytes, 25 + 30 + 2), "Item " + std::to_string(k)});
    }
    return list;
}

void Prepare(const char* path, int count, DWORD length) {
    SaveMenuItemListTo(HKEY_CURRENT_USER, path, MakeList(count));
    WriteRegistryDword(HKEY_CURRENT_USER, path, "Length", length);
}

size_t g_sink = 0;

void Load(const char* path) {
    g_sink += LoadMenuItemListFrom(HKEY_CURRENT_USER, path).size();
}

// The least any reader must do for the record walk: the bare queries of "Length" and of
// each NO.k and DN.k (size, then data), with the key opened once.
void FloorWalk(const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return;
    }
    DWORD length = 0;
    DWORD size = sizeof(length);
    RegQueryValueExA(key, "Length", nullptr, nullptr, reinterpret_cast<BYTE*>(&length), &size);
    BYTE data[512];
    char name[16];
    for (DWORD k = 1; k <= length; ++k) {
        for (const char* prefix : {"NO", "DN"}) {
            std::snprintf(name, sizeof(name), "%s.%03lu", prefix, static_cast<unsigned long>(k));
            size = 0;
            RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size);
            size = sizeof(data);
            RegQueryValueExA(key, name, nullptr, nullptr, data, &size);
            g_sink += size;
        }
    }
    RegCloseKey(key);
}

// The resident frame's hot-key menu with 100 entries against its floor. Measured: from
// posting "MenuMessage" to the frame until the menu paints its first entry. Floor: the least
// any such menu must do for the same list in the same run: read the list, ask the shell for
// each entry's label and icon as the menu does, and show a plain menu of the 100 labels until
// it is up and idle (its owner's first WM_ENTERIDLE). The frame reads the user's own list, so
// that list is saved first and put back afterwards.
HHOOK g_paintHook = nullptr;
double g_firstPaint = 0;

LRESULT CALLBACK FirstPaintHook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_DRAWITEM && g_firstPaint == 0) {
        const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(call->lParam);
        if (draw && draw->CtlType == ODT_MENU) {
            g_firstPaint = Now();
            EndMenu();
        }
    }
    return CallNextHookEx(g_paintHook, code, wParam, lParam);
}

// The floor's owner window: ends its menu as soon as the menu is shown.
class CPlainMenuWindow : public CWnd {
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_ENTERIDLE && wParam == MSGF_MENU && g_firstPaint == 0) {
            g_firstPaint = Now();
            EndMenu();
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

double ShowPlainMenu(CPlainMenuWindow& window) {
    g_firstPaint = 0;
    const double start = Now();
    const MenuItemList list = LoadMenuItemList();
    HMENU menu = CreatePopupMenu();
    UINT id = 1;
    for (const MenuItemRecord& record : list) {
        std::string label;
        int icon = -1;
        QueryLabelAndIcon(record.itemIdList.Get(), &label, &icon);
        g_sink += static_cast<size_t>(icon + 1);
        AppendMenuA(menu, MF_STRING, id++,
                    record.displayName.empty() ? label.c_str() : record.displayName.c_str());
    }
    SetForegroundWindow(window.GetHwnd());
    TrackPopupMenu(menu, TPM_RETURNCMD, 100, 100, 0, window.GetHwnd(), nullptr);
    PostMessageA(window.GetHwnd(), WM_NULL, 0, 0);
    DestroyMenu(menu);
    return g_firstPaint > 0 ? g_firstPaint - start : -1;
}

double ShowHotKeyMenu(CMainFrame& frame, UINT menuMessage) {
    g_firstPaint = 0;
    const double start = Now();
    PostMessageA(frame.GetHwnd(), menuMessage, 0, 0);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0)) {
        DispatchMessageA(&message);
        if (message.message == menuMessage) {
            break; // the menu has been shown and closed
        }
    }
    return g_firstPaint > 0 ? g_firstPaint - start : -1;
}

double HotKeyMenuRatio() {
    const MenuItemList saved = LoadMenuItemList();
    DWORD savedLength = 0;
    const bool hadList =
        ReadRegistryDword(HKEY_CURRENT_USER, kCorvinaKeyPath, "Length", &savedLength) != FALSE ||
        !saved.empty();
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    MenuItemList list;
    for (int k = 0; k < 100; ++k) {
        MenuItemRecord record;
        record.itemIdList = ParsePathToItemIdList(windows);
        char name[32];
        std::snprintf(name, sizeof(name), "Entry %03d", k);
        record.displayName = name;
        list.push_back(std::move(record));
    }
    SaveMenuItemList(list);

    std::vector<double> menuTimes;
    std::vector<double> floorTimes;
    {
        CMainFrame frame;
        CPlainMenuWindow plain;
        if (frame.CreateFrame() &&
            plain.CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr)) {
            const UINT menuMessage = RegisterWindowMessageA(kMenuMessageName);
            g_paintHook =
                SetWindowsHookExA(WH_CALLWNDPROC, FirstPaintHook, nullptr, GetCurrentThreadId());
            // The two alternate, so that a slow moment of the machine falls on both.
            for (int run = 0; run < 11 && g_paintHook; ++run) {
                const double menu = ShowHotKeyMenu(frame, menuMessage);
                const double floor = ShowPlainMenu(plain);
                if (menu > 0 && floor > 0) {
                    menuTimes.push_back(menu);
                    floorTimes.push_back(floor);
                }
            }
            if (g_paintHook) {
                UnhookWindowsHookEx(g_paintHook);
                g_paintHook = nullptr;
            }
        }
        plain.DestroyWindow();
        frame.DestroyWindow();
    }
    if (hadList) {
        SaveMenuItemList(saved);
    } else {
        SHDeleteKeyA(HKEY_CURRENT_USER, kCorvinaKeyPath);
    }
    if (menuTimes.empty()) {
        return -1;
    }
    std::sort(menuTimes.begin(), menuTimes.end());
    std::sort(floorTimes.begin(), floorTimes.end());
    return menuTimes[menuTimes.size() / 2] / floorTimes[floorTimes.size() / 2];
}

// A folder of count small files under the temporary folder, named in a scrambled order.
std::string MakeFolderOfFiles(const char* name, int count) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + name;
    CreateDirectoryA(folder.c_str(), nullptr);
    // 7919 is prime and divides neither count: every number comes exactly once.
    for (int k = 0; k < count; ++k) {
        char file[32];
        std::snprintf(file, sizeof(file), "\\file-%05d.txt", (k * 7919) % count);
        HANDLE handle = CreateFileA((folder + file).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            CloseHandle(handle);
        }
    }
    return folder;
}

void RemoveFolder(std::string from) {
    from.push_back('\0');
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&operation);
}

// A folder of 2,000 small files, made once per run.
std::string FolderOf2000() {
    static const std::string folder = MakeFolderOfFiles("corvina-bench-folder", 2000);
    return folder;
}

void RemoveFolderOf2000() {
    RemoveFolder(FolderOf2000());
}

// The plain way to fill a folder submenu, and the floor the fill is measured against:
// enumerate, and ask the file-information query for each item's label and (unless
// fileInfoFlags leaves it out) its icon. That query binds through every level of the item's
// absolute list, which the fill spares itself by asking the bound folder. Returns the time
// of the pass. For a folder too large to query whole at every run, only every
// sampleEvery-th item is asked for and the time of the queries is scaled up to all items:
// every item of a folder costs the query the same (files of one kind, in one folder), so
// the estimate stands for the whole pass at a fraction of its time.
double TimeEnumerateWithLabels(LPCITEMIDLIST folderList, UINT fileInfoFlags, int sampleEvery) {
    const double start = Now();
    double queryTime = 0;
    size_t items = 0;
    size_t queried = 0;
    IShellFolder* desktop = nullptr;
    IShellFolder* folder = nullptr;
    IEnumIDList* enumerator = nullptr;
    if (SUCCEEDED(SHGetDesktopFolder(&desktop)) &&
        SUCCEEDED(desktop->BindToObject(folderList, nullptr, IID_IShellFolder,
                                        reinterpret_cast<void**>(&folder))) &&
        folder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN,
                            &enumerator) == S_OK) {
        LPITEMIDLIST child = nullptr;
        ULONG fetched = 0;
        while (enumerator->Next(1, &child, &fetched) == S_OK) {
            if (items++ % static_cast<size_t>(sampleEvery) == 0) {
                const double queryStart = Now();
                LPITEMIDLIST full = ILCombine(folderList, child);
                g_sink += FloorFileInfo(full, fileInfoFlags);
                ILFree(full);
                queryTime += Now() - queryStart;
                ++queried;
            }
            CoTaskMemFree(child);
        }
    }
    if (enumerator) {
        enumerator->Release();
    }
    if (folder) {
        folder->Release();
    }
    if (desktop) {
        desktop->Release();
    }
    if (queried == 0) {
        return -1;
    }
    const double elapsed = Now() - start;
    return elapsed - queryTime +
           queryTime * static_cast<double>(items) / static_cast<double>(queried);
}

void EnumerateWithLabels(LPCITEMIDLIST folderList,
                         UINT fileInfoFlags = SHGFI_DISPLAYNAME | SHGFI_SYSICONINDEX) {
    TimeEnumerateWithLabels(folderList, fileInfoFlags, 1);
}

double FolderFillRatio() {
    CoInitialize(nullptr);
    double ratio = -1;
    {
        CItemIdList folder = ParsePathToItemIdList(FolderOf2000().c_str());
        ShellMenuHost host;
        if (folder) {
            ratio = MedianRatio(
                [&] {
                    HMENU menu = CreatePopupMenu();
                    host.FillWithFolder(menu, folder.Get(), false);
                    g_sink += static_cast<size_t>(GetMenuItemCount(menu));
                    host.FreeMenuItemData(menu);
                    DestroyMenu(menu);
                },
                [&] { EnumerateWithLabels(folder.Get()); });
        }
    }
    RemoveFolderOf2000();
    CoUninitialize();
    return ratio;
}

// A menu whose one entry is a folder submenu, as the hot-key menu and the band show them.
class CFolderMenu : public ShellMenuHost {
public:
    explicit CFolderMenu(LPCITEMIDLIST folder) : m_folder(folder) {}

    void FillRootMenu(HMENU popup) override {
        std::unique_ptr<ShellMenuItemData> data =
            ShellMenuItemData::Create(MenuItemKind::FolderSubmenu);
        HMENU submenu = CreateSubmenu();
        if (!data || !submenu) {
            return;
        }
        data->SetLabel("folder");
        data->SetItemIdList(CopyItemIdList(m_folder));
        data->SetSubmenu(submenu);
        AppendEntry(popup, std::move(data), 0, 0);
    }

private:
    LPCITEMIDLIST m_folder;
};

// Seconds from WM_INITMENUPOPUP of the folder's submenu until the entries that fit on the
// screen, from the top, have been measured and drawn through the menu window's messages.
double OpenFolderSubmenu(CFolderMenu& host, HDC canvas) {
    HMENU popup = host.BuildMenu();
    HMENU submenu = popup ? GetSubMenu(popup, 0) : nullptr;
    if (submenu == nullptr) {
        return -1;
    }
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const double start = Now();
    SendMessageA(host.GetHwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(submenu), 0);
    int top = 0;
    const int count = GetMenuItemCount(submenu);
    for (int position = 0; position < count && top < screenHeight; ++position) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_DATA | MIIM_ID | MIIM_STATE;
        GetMenuItemInfoA(submenu, static_cast<UINT>(position), TRUE, &info);
        MEASUREITEMSTRUCT measure = {ODT_MENU, 0, info.wID, 0, 0, info.dwItemData};
        SendMessageA(host.GetHwnd(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
        DRAWITEMSTRUCT draw = {};
        draw.CtlType = ODT_MENU;
        draw.itemID = info.wID;
        draw.itemAction = ODA_DRAWENTIRE;
        draw.hwndItem = reinterpret_cast<HWND>(submenu);
        draw.hDC = canvas;
        draw.rcItem = {0, 0, static_cast<LONG>(measure.itemWidth),
                       static_cast<LONG>(measure.itemHeight)};
        draw.itemData = info.dwItemData;
        SendMessageA(host.GetHwnd(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
        top += static_cast<int>(measure.itemHeight);
    }
    const double elapsed = Now() - start;
    host.DestroyMenu();
    return elapsed;
}

// The folder submenu of 10,000 files opened, against the floor of asking the shell for
// every name and icon (fileInfoFlags as in EnumerateWithLabels), or for every name only.
// Both figures come from one measurement: the folder is made once, and each run times the
// opening and both floors one after the other, so that a slow moment of the machine falls on
// all three. The floors query one item in ten and scale up (TimeEnumerateWithLabels): a
// whole pass takes half a minute under Wine.
class CFolderOpenBench {
public:
    static CFolderOpenBench& Get() {
        if (!s_bench) {
            s_bench.reset(new CFolderOpenBench);
        }
        return *s_bench;
    }
    // Removes the folder and the windows; main calls it before COM goes.
    static void Release() { s_bench.reset(); }

    double RatioToNamesAndIcons() { return Measure() ? m_opened / m_namesAndIcons : -1; }
    double RatioToNames() { return Measure() ? m_opened / m_names : -1; }

    ~CFolderOpenBench() {
        m_host.DestroyWindow();
        m_parent.DestroyWindow();
        if (!m_path.empty()) {
            RemoveFolder(m_path);
        }
    }

private:
    static constexpr int kRuns = 5;
    static constexpr int kSampleEvery = 10;
    static std::unique_ptr<CFolderOpenBench> s_bench;

    CFolderOpenBench()
        : m_path(MakeFolderOfFiles("corvina-bench-10000", 10000)),
          m_folder(ParsePathToItemIdList(m_path.c_str())), m_host(m_folder.Get()),
          m_screen(nullptr), m_canvas(m_screen.Get()),
          m_bitmap(CreateCompatibleBitmap(m_screen.Get(), 600, 40)),
          m_select(m_canvas.Get(), m_bitmap.Get()) {}

    bool Measure() {
        if (m_measured) {
            return m_opened > 0 && m_namesAndIcons > 0 && m_names > 0;
        }
        m_measured = true;
        // The host is a child window; a hidden window stands in for the frame.
        if (!m_folder || !m_canvas || !m_select.Succeeded() ||
            !m_parent.CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr) ||
            !m_host.Create(m_parent.GetHwnd(), 1)) {
            return false;
        }
        std::vector<double> opened;
        std::vector<double> namesAndIcons;
        std::vector<double> names;
        for (int run = 0; run < kRuns; ++run) {
            opened.push_back(OpenFolderSubmenu(m_host, m_canvas.Get()));
            namesAndIcons.push_back(TimeEnumerateWithLabels(
                m_folder.Get(), SHGFI_DISPLAYNAME | SHGFI_SYSICONINDEX, kSampleEvery));
            names.push_back(
                TimeEnumerateWithLabels(m_folder.Get(), SHGFI_DISPLAYNAME, kSampleEvery));
        }
        m_opened = Median(opened);
        m_namesAndIcons = Median(namesAndIcons);
        m_names = Median(names);
        return m_opened > 0 && m_namesAndIcons > 0 && m_names > 0;
    }

    static double Median(std::vector<double> times) {
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    }

    std::string m_path;
    CItemIdList m_folder;
    CWnd m_parent;
    CFolderMenu m_host;
    CWindowDC m_screen;
    CMemoryDC m_canvas;
    CBitmapHandle m_bitmap;
    CSelectObject m_select;
    bool m_measured = false;
    double m_opened = 0;
    double m_namesAndIcons = 0;
    double m_names = 0;
};

std::unique_ptr<CFolderOpenBench> CFolderOpenBench::s_bench;

// The context-menu extension against its floor: the menu request for 200 records, and the
// bare file-information queries it cannot avoid for the same 200 item ID lists. The records
// are real files, so that the shell does real work for both.
class CContextMenuBench {
public:
    static constexpr int kRecords = 200;

    bool Prepare() {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        m_folder = std::string(temp) + "corvina-bench-menu";
        CreateDirectoryA(m_folder.c_str(), nullptr);
        // The extension reads the user's own list: keep it aside and put it back afterwards.
        m_savedList = LoadMenuItemList();
        MenuItemList list;
        for (int k = 0; k < kRecords; ++k) {
            const std::string path = m_folder + "\\document-" + std::to_string(k) + ".txt";
            HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                CloseHandle(file);
            }
            m_lists.push_back(ParsePathToItemIdList(path.c_str()));
            list.push_back({ParsePathToItemIdList(path.c_str()), ""});
        }
        SaveMenuItemList(list);

        std::string dll = "Z:";
        for (const char* p = CORVINA_DLL; *p; ++p) {
            dll.push_back(*p == '/' ? '\\' : *p);
        }
        m_module = LoadLibraryA(dll.c_str());
        auto getClassObject =
            m_module ? reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
                           GetProcAddress(m_module, "DllGetClassObject"))
                     : nullptr;
        const CLSID clsid = {
            0x5A1C7E20, 0x3B9D, 0x4F62, {0x8E, 0x41, 0x0C, 0x7D, 0x2B, 0x9F, 0x6A, 0x13}};
        CComPtr<IClassFactory> factory;
        CComPtr<IShellExtInit> init;
        if (!getClassObject ||
            FAILED(getClassObject(clsid, IID_IClassFactory,
                                  reinterpret_cast<void**>(factory.GetAddressOf()))) ||
            FAILED(factory->CreateInstance(nullptr, IID_IContextMenu,
                                           reinterpret_cast<void**>(m_menu.GetAddressOf()))) ||
            FAILED(m_menu.As(&init)) || FAILED(init->Initialize(nullptr, nullptr, nullptr))) {
            return false;
        }
        return true;
    }

    void Query() {
        HMENU menu = CreatePopupMenu();
        const HRESULT hr = m_menu->QueryContextMenu(menu, 0, 1, 0x7FFF, CMF_NORMAL);
        g_sink += HRESULT_CODE(hr);
        DestroyMenu(menu);
    }

    void Floor() {
        for (const CItemIdList& list : m_lists) {
            g_sink += FloorFileInfo(list.Get(), SHGFI_DISPLAYNAME | SHGFI_SYSICONINDEX);
        }
    }

    ~CContextMenuBench() {
        m_menu.Reset();
        if (m_module) {
            FreeLibrary(m_module);
        }
        if (m_savedList.empty()) {
            SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Velmora\\Corvina");
        } else {
            SaveMenuItemList(m_savedList);
        }
        for (int k = 0; k < kRecords; ++k) {
            DeleteFileA((m_folder + "\\document-" + std::to_string(k) + ".txt").c_str());
        }
        RemoveDirectoryA(m_folder.c_str());
    }

private:
    std::string m_folder;
    MenuItemList m_savedList;
    std::vector<CItemIdList> m_lists;
    HMODULE m_module = nullptr;
    CComPtr<IContextMenu> m_menu;
};

double MeasureContextMenu() {
    CoInitialize(nullptr);
    double ratio = -1;
    {
        CContextMenuBench bench;
        if (bench.Prepare()) {
            ratio = MedianRatio([&] { bench.Query(); }, [&] { bench.Floor(); });
        }
    }
    CoUninitialize();
    return ratio;
}

// The band's toolbar loading 1,000 buttons against its floor: for the same items, the shell
// queries every load must make (display name and icon, binding and starting an enumeration
// for the arrow) and one TB_ADDBUTTONS each on a plain toolbar. The items are real: 900
// files and 100 folders with one file each.
class CBandLoadBench {
public:
    static constexpr int kRecords = 1000;

    bool Prepare() {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        m_folder = std::string(temp) + "corvina-bench-band";
        CreateDirectoryA(m_folder.c_str(), nullptr);
        // LoadButtons reads the user's own list: keep it aside and put it back afterwards.
        m_savedList = LoadMenuItemList();
        MenuItemList list;
        for (int k = 0; k < kRecords; ++k) {
            std::string path = m_folder + "\\item-" + std::to_string(k);
            if (k % 10 == 0) {
                CreateDirectoryA(path.c_str(), nullptr);
                Touch(path + "\\inside.txt");
            } else {
                path += ".txt";
                Touch(path);
            }
            m_paths.push_back(path);
            CItemIdList item = ParsePathToItemIdList(path.c_str());
            if (!item) {
                return false;
            }
            m_lists.push_back(CopyItemIdList(item.Get()));
            list.push_back({std::move(item), ""});
        }
        SaveMenuItemList(list);

        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        m_parent = CreateWindowExA(0, "STATIC", "bench", WS_POPUP, 0, 0, 600, 100, nullptr, nullptr,
                                   nullptr, nullptr);
        m_bandWindow = CreateToolbar();
        m_floorWindow = CreateToolbar();
        if (!m_bandWindow || !m_floorWindow || !m_toolbar.Initialize(m_bandWindow)) {
            return false;
        }
        SendMessageA(m_floorWindow, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        SendMessageA(m_floorWindow, TB_SETIMAGELIST, 0,
                     reinterpret_cast<LPARAM>(SystemSmallImageList()));
        return m_toolbar.GetButtonCount() == kRecords;
    }

    void Load() {
        m_toolbar.LoadButtons();
        g_sink += static_cast<size_t>(m_toolbar.GetButtonCount());
    }

    void Floor() {
        for (int count = static_cast<int>(SendMessageA(m_floorWindow, TB_BUTTONCOUNT, 0, 0));
             count > 0; --count) {
            SendMessageA(m_floorWindow, TB_DELETEBUTTON, 0, 0);
        }
        IShellFolder* desktop = nullptr;
        SHGetDesktopFolder(&desktop);
        int id = 1;
        for (const CItemIdList& list : m_lists) {
            int icon = -1;
            g_sink += FloorFileInfo(list.Get(), SHGFI_DISPLAYNAME | SHGFI_SYSICONINDEX, &icon);
            bool arrow = false;
            IShellFolder* folder = nullptr;
            if (desktop && SUCCEEDED(desktop->BindToObject(list.Get(), nullptr, IID_IShellFolder,
                                                           reinterpret_cast<void**>(&folder)))) {
                IEnumIDList* items = nullptr;
                if (folder->EnumObjects(
                        nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN,
                        &items) == S_OK) {
                    LPITEMIDLIST child = nullptr;
                    ULONG fetched = 0;
                    arrow = items->Next(1, &child, &fetched) == S_OK;
                    CoTaskMemFree(child);
                    items->Release();
                }
                folder->Release();
            }
            TBBUTTON button = {};
            button.iBitmap = icon;
            button.idCommand = id++;
            button.fsState = TBSTATE_ENABLED;
            button.fsStyle = static_cast<BYTE>(arrow ? 0x78 : 0x70);
            button.dwData = reinterpret_cast<DWORD_PTR>(list.Get());
            button.iString = -1;
            SendMessageA(m_floorWindow, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button));
        }
        if (desktop) {
            desktop->Release();
        }
        g_sink += static_cast<size_t>(SendMessageA(m_floorWindow, TB_BUTTONCOUNT, 0, 0));
    }

    ~CBandLoadBench() {
        m_toolbar.DestroyWindow();
        if (m_floorWindow) {
            DestroyWindow(m_floorWindow);
        }
        if (m_parent) {
            DestroyWindow(m_parent);
        }
        if (m_savedList.empty()) {
            SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Velmora\\Corvina");
        } else {
            SaveMenuItemList(m_savedList);
        }
        for (const std::string& path : m_paths) {
            DeleteFileA((path + "\\inside.txt").c_str());
            RemoveDirectoryA(path.c_str());
            DeleteFileA(path.c_str());
        }
        RemoveDirectoryA(m_folder.c_str());
    }

private:
    static void Touch(const std::string& path) {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
        }
    }

    HWND CreateToolbar() {
        return CreateWindowExA(0, "ToolbarWindow32", "", 0x50019946, 0, 0, 0, 0, m_parent, nullptr,
                               nullptr, nullptr);
    }

    std::string m_folder;
    std::vector<std::string> m_paths;
    MenuItemList m_savedList;
    std::vector<CItemIdList> m_lists;
    HWND m_parent = nullptr;
    HWND m_bandWindow = nullptr;
    HWND m_floorWindow = nullptr;
    CBandToolBar m_toolbar;
};

double MeasureBandLoad() {
    OleInitialize(nullptr);
    double ratio = -1;
    {
        CBandLoadBench bench;
        if (bench.Prepare()) {
            ratio = MedianRatio([&] { bench.Load(); }, [&] { bench.Floor(); });
        }
    }
    OleUninitialize();
    return ratio;
}

struct Figure {
    const char* name;
    std::function<void()> prepare;
    std::function<double()> measure;
};

const std::vector<Figure>& Figures() {
    static const std::vector<Figure> figures = {
        {"list_load_sparse_ratio",
         [] {
             Prepare(kDenseKey, 10, 10);
             Prepare(kSparseKey, 10, 0xFFFFFFFF);
         },
         [] { return MedianRatio([] { Load(kSparseKey); }, [] { Load(kDenseKey); }); }},
        {"list_load_1000_vs_floor", [] { Prepare(kThousandKey, 1000, 1000); },
         [] { return MedianRatio([] { Load(kThousandKey); }, [] { FloorWalk(kThousandKey); }); }},
        {"hotkey_menu_100_vs_floor", [] {}, [] { return HotKeyMenuRatio(); }},
        {"folder_fill_2000_vs_floor", [] {}, [] { return FolderFillRatio(); }},
        {"folder_open_10000_vs_floor", [] {},
         [] { return CFolderOpenBench::Get().RatioToNamesAndIcons(); }},
        {"folder_open_10000_vs_names", [] {},
         [] { return CFolderOpenBench::Get().RatioToNames(); }},
        {"ctx_query_200_vs_floor", [] {}, [] { return MeasureContextMenu(); }},
        {"band_load_1000_vs_floor", [] {}, [] { return MeasureBandLoad(); }},
    };
    return figures;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> wanted(argv + 1, argv + argc);
    for (const std::string& name : wanted) {
        const auto& figures = Figures();
        if (std::none_of(figures.begin(), figures.end(),
                         [&](const Figure& f) { return name == f.name; })) {
            std::fprintf(stderr, "unknown figure: %s\n", name.c_str());
            return 2;
        }
    }
    SHDeleteKeyA(HKEY_CURRENT_USER, kBenchKey);
    // One apartment for the whole run: what two figures share outlives each figure's own.
    CoInitialize(nullptr);
    for (const Figure& figure : Figures()) {
        if (!wanted.empty() &&
            std::find(wanted.begin(), wanted.end(), figure.name) == wanted.end()) {
            continue;
        }
        figure.prepare();
        std::printf("%s: %.3f\n", figure.name, figure.measure());
        std::fflush(stdout);
    }
    CFolderOpenBench::Release();
    CoUninitialize();
    SHDeleteKeyA(HKEY_CURRENT_USER, kBenchKey);
    return 0;
}
