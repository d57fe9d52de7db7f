// Shows the registered band in a band site until the window is closed, for scripts and
// screenshots. It registers nothing itself.
//
//   corvina_band_site [options]    shows the site with the band
//     --rect X Y WIDTH HEIGHT      the site window (default 40 40 640 160)
//     --text 0|1                   writes the band's "Text" option first
//     --list PATH...               the menu list becomes these items, shell names (":desktop"
//                                  is the desktop); must come last
//     --open-dropdown N            opens the folder drop-down of button N once shown
//     --open-context N             opens the item context menu of button N once shown
//   corvina_band_site --wait-band  waits for a site showing the band's toolbar
//   corvina_band_site --wait-menu  waits for an open popup menu
//   corvina_band_site --close      closes the site window (menus first) and waits for it to go
//   corvina_band_site --button-count   prints the number of buttons of the shown band
//   corvina_band_site --button-rect N  prints "LEFT TOP RIGHT BOTTOM" of button N in screen
//                                  coordinates
//   corvina_band_site --button-ids     prints the buttons' command ids in button order
// Exit code 0 means done, 1 failed, 2 a usage error.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "CTestBandSite.h"
#include "Wait.h"
#include "WideNames.h"
#include "framework/Handles.h"
#include "common/MenuItemList.h"
#include "common/Registry.h"
#include "common/ShellQueries.h"

namespace {

const char kBandText[] = "Velmora:CorvinaBar";
constexpr UINT kOpenMenuMessage = WM_APP + 1;

enum class OpenMenu { None, Dropdown, Context };

struct Options {
    RECT rect = {40, 40, 680, 200};
    int text = -1;
    bool setList = false;
    std::vector<std::string> list;
    OpenMenu open = OpenMenu::None;
    int button = 0;
};

HWND FindSiteWindow() {
    return FindWindowA(CTestBandSite::kWindowClass, nullptr);
}

HWND FindBandToolbar(HWND site) {
    HWND rebar = site ? FindWindowExA(site, nullptr, REBARCLASSNAMEA, nullptr) : nullptr;
    return rebar ? FindWindowExA(rebar, nullptr, TOOLBARCLASSNAMEA, kBandText) : nullptr;
}

bool IsMenuOpen() {
    HWND menu = FindWindowA("#32768", nullptr);
    return menu && IsWindowVisible(menu);
}

// The list's paths are read from the wide command line: names outside the code page would
// not survive the 8-bit arguments.
std::vector<std::wstring> WideListArguments() {
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> paths;
    bool inList = false;
    for (int i = 1; args && i < count; ++i) {
        if (inList) {
            paths.push_back(args[i]);
        } else {
            inList = std::wstring(args[i]) == L"--list";
        }
    }
    LocalFree(args);
    return paths;
}

bool SaveList() {
    MenuItemList list;
    for (const std::wstring& path : WideListArguments()) {
        MenuItemRecord record;
        if (path == L":desktop") {
            SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, record.itemIdList.Receive());
        } else {
            record.itemIdList = ParseWidePath(path);
        }
        if (!record.itemIdList) {
            std::fprintf(stderr, "not a shell item: %ls\n", path.c_str());
            return false;
        }
        list.push_back(std::move(record));
    }
    return SaveMenuItemList(list) != FALSE;
}

// Opens a menu of button `index` the way the user would reach it: a drop-down arrow's
// notification to the rebar, a right-click's WM_CONTEXTMENU to the toolbar. The band opens
// the menu from its queue once the call has returned, in the loop below.
void OpenButtonMenu(HWND toolbar, OpenMenu open, int index) {
    TBBUTTON button = {};
    if (!SendMessageA(toolbar, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button))) {
        std::fprintf(stderr, "no button %d\n", index);
        return;
    }
    RECT rect = {};
    SendMessageA(toolbar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
    if (open == OpenMenu::Dropdown) {
        NMTOOLBARA notify = {};
        notify.hdr.hwndFrom = toolbar;
        notify.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(toolbar));
        notify.hdr.code = TBN_DROPDOWN;
        notify.iItem = button.idCommand;
        notify.rcButton = rect;
        SendMessageA(GetParent(toolbar), WM_NOTIFY, notify.hdr.idFrom,
                     reinterpret_cast<LPARAM>(&notify));
    } else {
        POINT point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        ClientToScreen(toolbar, &point);
        SendMessageA(toolbar, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(toolbar),
                     MAKELPARAM(point.x, point.y));
    }
}

int RunSite(const Options& options) {
    if (options.text >= 0 && (!EnsureRegistryKey(HKEY_CURRENT_USER, kCorvinaBarKeyPath) ||
                              !WriteRegistryDword(HKEY_CURRENT_USER, kCorvinaBarKeyPath, "Text",
                                                  static_cast<DWORD>(options.text)))) {
        std::fprintf(stderr, "the \"Text\" option cannot be written\n");
        return 1;
    }
    if (options.setList && !SaveList()) {
        return 1;
    }
    CTestBandSite site;
    if (!site.Create(options.rect)) {
        std::fprintf(stderr, "the site window cannot be created\n");
        return 1;
    }
    const HRESULT hr = site.AddBand();
    if (FAILED(hr)) {
        std::fprintf(stderr, "the band does not load: 0x%08lx\n", static_cast<unsigned long>(hr));
        return 1;
    }
    SetForegroundWindow(site.GetWindow());
    if (options.open != OpenMenu::None) {
        PostMessageA(site.GetWindow(), kOpenMenuMessage, 0, 0);
    }
    MSG message;
    while (site.GetWindow() && GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == kOpenMenuMessage && message.hwnd == site.GetWindow()) {
            OpenButtonMenu(site.GetBandWindow(), options.open, options.button);
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

int Close() {
    HWND site = FindSiteWindow();
    if (!site) {
        return 0;
    }
    DWORD process = 0;
    GetWindowThreadProcessId(site, &process);
    // Escape closes an open menu level by level; then the site closes and unloads the band.
    HWND menu = FindWindowA("#32768", nullptr);
    for (int level = 0; menu && level < 3; ++level) {
        PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    }
    SendMessageTimeoutA(site, WM_CANCELMODE, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    PostMessageA(site, WM_CLOSE, 0, 0);
    return WaitFor([] { return FindSiteWindow() == nullptr; }, 30000, Pumping::None) ? 0 : 1;
}

// A toolbar of another process writes the answers to its queries into that process's memory:
// a block there for the answer, read back once the message returns.
template <class T> bool QueryToolbar(HWND toolbar, UINT message, WPARAM wParam, T* answer) {
    DWORD processId = 0;
    GetWindowThreadProcessId(toolbar, &processId);
    CHandle process(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
    if (!process) {
        return false;
    }
    void* block = VirtualAllocEx(process, nullptr, sizeof(T), MEM_COMMIT, PAGE_READWRITE);
    if (!block) {
        return false;
    }
    DWORD_PTR result = 0;
    const bool answered =
        SendMessageTimeoutA(toolbar, message, wParam, reinterpret_cast<LPARAM>(block),
                            SMTO_ABORTIFHUNG, 5000, &result) &&
        result != 0 && ReadProcessMemory(process, block, answer, sizeof(T), nullptr);
    VirtualFreeEx(process, block, 0, MEM_RELEASE);
    return answered;
}

int PrintButtons(const std::string& query, int index) {
    HWND toolbar = FindBandToolbar(FindSiteWindow());
    if (!toolbar) {
        std::fprintf(stderr, "no band is shown\n");
        return 1;
    }
    const int count = static_cast<int>(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
    if (query == "--button-count") {
        std::printf("%d\n", count);
        return 0;
    }
    if (query == "--button-rect") {
        RECT rect = {};
        if (index < 0 || index >= count ||
            !QueryToolbar(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(index), &rect)) {
            std::fprintf(stderr, "no rectangle for button %d of %d\n", index, count);
            return 1;
        }
        MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(&rect), 2);
        std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
        return 0;
    }
    std::string ids;
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        if (!QueryToolbar(toolbar, TB_GETBUTTON, static_cast<WPARAM>(i), &button)) {
            return 1;
        }
        ids += (i ? " " : "") + std::to_string(button.idCommand);
    }
    std::printf("%s\n", ids.c_str());
    return 0;
}

int ParseArguments(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--rect" && i + 4 < argc) {
            const int x = std::atoi(argv[i + 1]);
            const int y = std::atoi(argv[i + 2]);
            options->rect = {x, y, x + std::atoi(argv[i + 3]), y + std::atoi(argv[i + 4])};
            i += 4;
        } else if (arg == "--text" && i + 1 < argc) {
            options->text = std::atoi(argv[++i]) != 0 ? 1 : 0;
        } else if ((arg == "--open-dropdown" || arg == "--open-context") && i + 1 < argc) {
            options->open = arg == "--open-dropdown" ? OpenMenu::Dropdown : OpenMenu::Context;
            options->button = std::atoi(argv[++i]);
        } else if (arg == "--list") {
            options->setList = true;
            options->list.assign(argv + i + 1, argv + argc);
            break;
        } else {
            return 2;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "--wait-band") {
        return WaitFor([] { return FindBandToolbar(FindSiteWindow()) != nullptr; }, 30000,
                       Pumping::None)
                   ? 0
                   : 1;
    }
    if (command == "--wait-menu") {
        return WaitFor(IsMenuOpen, 30000, Pumping::None) ? 0 : 1;
    }
    if (command == "--close") {
        return Close();
    }
    if (command == "--button-count" || command == "--button-ids") {
        return PrintButtons(command, -1);
    }
    if (command == "--button-rect" && argc == 3) {
        return PrintButtons(command, std::atoi(argv[2]));
    }
    Options options;
    if (const int usage = ParseArguments(argc, argv, &options)) {
        std::fprintf(stderr, "usage: see the head of BandSiteMain.cpp\n");
        return usage;
    }
    if (FAILED(OleInitialize(nullptr))) {
        return 1;
    }
    const int result = RunSite(options);
    OleUninitialize();
    return result;
}
