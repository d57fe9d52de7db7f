// Tells tools/screens-setup and tools/run where the install and uninstall program's windows
// are, so that they can click there as a user would. Exit code 0 when the window was seen.
//
//   setup_screens_helper wait KIND        waits for it; a box's text goes to the output
//   setup_screens_helper point KIND ID    waits for it; "x y", the middle of control ID
//   setup_screens_helper gone KIND        waits until no such window is left
//   setup_screens_helper absent KIND MS   none shows within MS milliseconds
//   setup_screens_helper page sheet N     shows the sheet's page N (from 0)
//   setup_screens_helper hold FILE MARKER keeps FILE open without sharing, creates MARKER
//                                         once it is, and lets go when MARKER is deleted
//
// KIND: install (the installation dialog), uninstall (the uninstall dialog), box (a message
// box of the program), sheet (the settings sheet it starts; ID may be a control of a page).
// Screen coordinates are those of the Wine virtual desktop's window.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "setup/resource.h"
#include "TestSupport.h"

namespace {

// The message text of a message box; the settings sheet's tab control.
constexpr int kBoxTextId = 0xFFFF;
constexpr int kSheetTabId = 0x3020;

enum class Kind { Install, Uninstall, Box, Sheet };

bool Has(HWND dialog, int id) {
    return GetDlgItem(dialog, id) != nullptr;
}

bool IsKind(HWND window, Kind kind) {
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (lstrcmpW(className, L"#32770") != 0 || !IsWindowVisible(window)) {
        return false;
    }
    switch (kind) {
    case Kind::Install:
        return Has(window, IDC_FOLDER) && Has(window, IDC_PROGRESS);
    case Kind::Uninstall:
        return Has(window, IDC_STATUS) && Has(window, IDC_PROGRESS) && !Has(window, IDC_FOLDER);
    case Kind::Box:
        return Has(window, kBoxTextId) && !Has(window, IDC_PROGRESS) && !Has(window, kSheetTabId);
    case Kind::Sheet:
        return Has(window, kSheetTabId);
    }
    return false;
}

struct Search {
    Kind kind;
    HWND found;
};

BOOL CALLBACK Visit(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    if (IsKind(window, search->kind)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND Find(Kind kind) {
    Search search{kind, nullptr};
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK VisitControl(HWND control, LPARAM data) {
    auto* search = reinterpret_cast<ControlSearch*>(data);
    if (GetDlgCtrlID(control) == search->id && IsWindowVisible(control)) {
        search->found = control;
        return FALSE;
    }
    return TRUE;
}

// A control of the window itself, else one of its descendants (a sheet's page).
HWND FindControl(HWND window, int id) {
    if (HWND control = GetDlgItem(window, id)) {
        return control;
    }
    ControlSearch search{id, nullptr};
    EnumChildWindows(window, VisitControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool ParseKind(const char* text, Kind& kind) {
    if (std::strcmp(text, "install") == 0) {
        kind = Kind::Install;
    } else if (std::strcmp(text, "uninstall") == 0) {
        kind = Kind::Uninstall;
    } else if (std::strcmp(text, "box") == 0) {
        kind = Kind::Box;
    } else if (std::strcmp(text, "sheet") == 0) {
        kind = Kind::Sheet;
    } else {
        return false;
    }
    return true;
}

// Holds file until marker is deleted (two minutes at most); false when it cannot be held.
int Hold(const char* file, const char* marker) {
    HANDLE held = CreateFileA(file, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (held == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "setup_screens_helper: cannot hold %s\n", file);
        return 1;
    }
    HANDLE created = CreateFileA(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (created != INVALID_HANDLE_VALUE) {
        CloseHandle(created);
    }
    const bool released =
        WaitFor([marker] { return GetFileAttributesA(marker) == INVALID_FILE_ATTRIBUTES; }, 120000);
    CloseHandle(held);
    return released ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 3 && std::strcmp(argv[1], "hold") == 0) {
        return Hold(argv[2], argv[3]);
    }
    Kind kind = Kind::Install;
    if (argc < 3 || !ParseKind(argv[2], kind)) {
        std::fprintf(stderr, "usage: setup_screens_helper wait|point|gone|absent|hold "
                             "install|uninstall|box|sheet [ID|MS|FILE MARKER]\n");
        return 2;
    }
    const std::string command = argv[1];
    // Installing copies six files and may wait for programs to end: a minute is plenty.
    constexpr DWORD kTimeoutMs = 60000;
    if (command == "gone") {
        return WaitFor([&] { return Find(kind) == nullptr; }, kTimeoutMs) ? 0 : 1;
    }
    if (command == "absent" && argc > 3) {
        const DWORD ms = static_cast<DWORD>(std::atol(argv[3]));
        return WaitFor([&] { return Find(kind) != nullptr; }, ms) ? 1 : 0;
    }
    HWND window = nullptr;
    if (!WaitFor([&] { return (window = Find(kind)) != nullptr; }, kTimeoutMs)) {
        std::fprintf(stderr, "setup_screens_helper: no %s window\n", argv[2]);
        return 1;
    }
    if (command == "wait") {
        if (kind == Kind::Box) {
            wchar_t text[1024] = {};
            GetDlgItemTextW(window, kBoxTextId, text, 1024);
            // UTF-8 for the log of the script that asked, whatever the system's code page.
            char utf8[4096] = {};
            WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof(utf8), nullptr, nullptr);
            std::printf("%s\n", utf8);
        }
        return 0;
    }
    if (command == "page" && argc > 3) {
        const int page = std::atoi(argv[3]);
        SendMessageW(window, PSM_SETCURSEL, static_cast<WPARAM>(page), 0);
        return SendMessageW(window, PSM_GETCURRENTPAGEHWND, 0, 0) != 0 ? 0 : 1;
    }
    if (command == "point" && argc > 3) {
        HWND control = FindControl(window, std::atoi(argv[3]));
        RECT rect = {};
        if (!control || !GetWindowRect(control, &rect)) {
            std::fprintf(stderr, "setup_screens_helper: no control %s\n", argv[3]);
            return 1;
        }
        std::printf("%ld %ld\n", (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        return 0;
    }
    std::fprintf(stderr, "setup_screens_helper: unknown command %s\n", argv[1]);
    return 2;
}
