// The Windows side of the resident program's keyboard scenarios: the shell script presses
// real keys with xdotool and asks this program what the windows did.
//
//   resident_helper list PATH [NAME] the menu list becomes PATH alone
//   resident_helper clear            removes the menu list and the options
//   resident_helper hotkey KEY MODS  the program's hot key becomes letter KEY with MODS
//                                    (1 Shift, 2 Ctrl, 4 Alt), re-read and held
//   resident_helper wait-window      waits for the program's window
//   resident_helper wait-popup       waits for a visible popup menu
//   resident_helper wait-tip         waits for the menu's info tip to show
//   resident_helper no-popup         after everything posted so far is handled: no popup
//   resident_helper sheet SECONDS    shows a stand-in settings sheet for SECONDS
//   resident_helper wait-sheet       waits until the stand-in sheet exists
//   resident_helper sheet-in-front   waits until the stand-in sheet is the foreground window
//   resident_helper close-sheet      closes the stand-in sheet
//   resident_helper tray-menu        opens the notification icon's menu
//   resident_helper exit             ends the program with its exit command
// Exit code 0 means yes / done, 1 means no / failed.
#include <windows.h>
#include <shlwapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "common/MenuItemList.h"
#include "common/ShellQueries.h"
#include "Wait.h"
#include "common/UiText.h"
#include "common/WindowMessages.h"

namespace {

const char* const kResidentTitle = kResidentFrameTitle;
const BilingualText& kSheetTitle = kSettingsSheetTitle;

HWND VisiblePopup() {
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, "#32768", nullptr)) != nullptr) {
        if (IsWindowVisible(window)) {
            return window;
        }
    }
    return nullptr;
}

bool HotKeyFree(UINT modifiers, UINT key) {
    if (RegisterHotKey(nullptr, 0xB00E, modifiers, key)) {
        UnregisterHotKey(nullptr, 0xB00E);
        return true;
    }
    return false;
}

INT_PTR CALLBACK SheetProc(HWND window, UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE) {
        DestroyWindow(window);
        return TRUE;
    }
    return FALSE;
}

int ShowSheet(int seconds) {
    struct {
        DLGTEMPLATE dialog;
        WORD menu, windowClass, caption;
    } blank{};
    blank.dialog.style = WS_POPUP | WS_CAPTION | WS_VISIBLE;
    blank.dialog.x = 20;
    blank.dialog.y = 20;
    blank.dialog.cx = 160;
    blank.dialog.cy = 80;
    HWND sheet = CreateDialogIndirectA(nullptr, &blank.dialog, nullptr, SheetProc);
    if (!sheet) {
        return 1;
    }
    SetWindowTextA(sheet, BuildText(kSheetTitle).c_str());
    WaitFor([sheet] { return !IsWindow(sheet); }, static_cast<DWORD>(seconds) * 1000);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return 2;
    }
    const std::string command = argv[1];
    if (command == "list" && argc > 2) {
        CoInitialize(nullptr);
        // list PATH [NAME [PATH [NAME]...]]: one record per path, each with its name.
        MenuItemList list;
        for (int at = 2; at < argc; at += 2) {
            MenuItemRecord record;
            record.itemIdList = ParsePathToItemIdList(argv[at]);
            if (!record.itemIdList.Get()) {
                return 1;
            }
            record.displayName = at + 1 < argc ? argv[at + 1] : ""; // empty: the shell's name
            list.push_back(std::move(record));
        }
        return SaveMenuItemList(list) ? 0 : 1;
    }
    if (command == "clear") {
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Velmora\\Corvina");
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Velmora\\Corvina Plus");
        return 0;
    }
    if (command == "hotkey" && argc > 3) {
        const BYTE key[2] = {static_cast<BYTE>(argv[2][0]), 0};
        const int stored = std::atoi(argv[3]);
        const BYTE modifiers[2] = {static_cast<BYTE>(stored), 0};
        HKEY options = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Velmora\\Corvina Plus", 0, nullptr, 0,
                            KEY_SET_VALUE, nullptr, &options, nullptr) != ERROR_SUCCESS) {
            return 1;
        }
        RegSetValueExA(options, "KeyCode", 0, REG_BINARY, key, sizeof key);
        RegSetValueExA(options, "Modifiers", 0, REG_BINARY, modifiers, sizeof modifiers);
        RegCloseKey(options);
        HWND program = FindWindowA(nullptr, kResidentTitle);
        if (!program) {
            return 1;
        }
        PostMessageA(program, RegisterWindowMessageA(kUpdateOptionMessageName), 0, 0);
        const UINT held = ((stored & 4) ? MOD_ALT : 0) | ((stored & 2) ? MOD_CONTROL : 0) |
                          ((stored & 1) ? MOD_SHIFT : 0);
        return WaitFor([held, &key] { return !HotKeyFree(held, key[0]); }) ? 0 : 1;
    }
    if (command == "wait-window") {
        return WaitFor([] { return FindWindowA(nullptr, kResidentTitle) != nullptr; }) ? 0 : 1;
    }
    if (command == "wait-popup") {
        return WaitFor([] { return VisiblePopup() != nullptr; }) ? 0 : 1;
    }
    if (command == "wait-tip") {
        return WaitFor([] {
            HWND tip = FindWindowA("CorvinaTipWindow", nullptr);
            return tip && IsWindowVisible(tip);
        })
                   ? 0
                   : 1;
    }
    if (command == "no-popup") {
        HWND program = FindWindowA(nullptr, kResidentTitle);
        if (!program) {
            return 1;
        }
        // Released only once the program has handled everything posted before.
        const UINT updateOption = RegisterWindowMessageA(kUpdateOptionMessageName);
        PostMessageA(program, updateOption, 1, 0);
        const bool drained = WaitFor([] { return HotKeyFree(MOD_CONTROL | MOD_ALT, 'Q'); });
        const bool none = VisiblePopup() == nullptr;
        PostMessageA(program, updateOption, 0, 0);
        // The next key a scenario presses must find the program holding it again.
        const bool retaken = WaitFor([] { return !HotKeyFree(MOD_CONTROL | MOD_ALT, 'Q'); });
        return drained && none && retaken ? 0 : 1;
    }
    if (command == "sheet" && argc > 2) {
        return ShowSheet(std::atoi(argv[2]));
    }
    if (command == "wait-sheet") {
        const std::string title = BuildText(kSheetTitle);
        return WaitFor([&title] { return FindWindowA("#32770", title.c_str()) != nullptr; }) ? 0
                                                                                             : 1;
    }
    if (command == "sheet-in-front") {
        const std::string title = BuildText(kSheetTitle);
        return WaitFor([&title] {
            HWND sheet = FindWindowA("#32770", title.c_str());
            return sheet && GetForegroundWindow() == sheet;
        })
                   ? 0
                   : 1;
    }
    if (command == "close-sheet") {
        const std::string title = BuildText(kSheetTitle);
        if (HWND sheet = FindWindowA("#32770", title.c_str())) {
            PostMessageA(sheet, WM_CLOSE, 0, 0);
        }
        return WaitFor([&title] { return FindWindowA("#32770", title.c_str()) == nullptr; }) ? 0
                                                                                             : 1;
    }
    if (command == "tray-menu") {
        HWND program = FindWindowA(nullptr, kResidentTitle);
        return program && PostMessageA(program, WM_USER + 1, 100, WM_RBUTTONDOWN) ? 0 : 1;
    }
    if (command == "exit") {
        HWND program = FindWindowA(nullptr, kResidentTitle);
        if (program) {
            DWORD_PTR ignored = 0;
            SendMessageTimeoutA(program, WM_COMMAND, 57665, 0, SMTO_ABORTIFHUNG, 10000, &ignored);
        }
        return WaitFor([] { return FindWindowA(nullptr, kResidentTitle) == nullptr; }) ? 0 : 1;
    }
    std::fprintf(stderr, "unknown command %s\n", command.c_str());
    return 2;
}
