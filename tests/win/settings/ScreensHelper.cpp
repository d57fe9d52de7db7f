// Drives a running settings sheet for tools/screens-settings: waits for it, shows a page,
// opens and closes the about box, cancels it. Exit code 0 when the step was done.
//
//   settings_screens_helper wait-sheet | page N | about | close-about | cancel
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "TestSupport.h"
#include "common/WindowMessages.h"

using namespace settings_test;

namespace {

HWND FindSheet() {
    for (const wchar_t* title : {kJapaneseSettingsSheetTitle, kEnglishSettingsSheetTitle}) {
        for (HWND sheet : FindDialogs(title)) {
            if (IsWindowVisible(sheet)) {
                return sheet;
            }
        }
    }
    return nullptr;
}

HWND FindAbout(HWND sheet) {
    HWND about = FindOwnedDialog(sheet, nullptr);
    return about && IsWindowVisible(about) ? about : nullptr;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: settings_screens_helper wait-sheet|page N|about|close-about|cancel\n");
        return 2;
    }
    const char* command = argv[1];
    HWND sheet = nullptr;
    if (!WaitFor([&] { return (sheet = FindSheet()) != nullptr; }, 60000)) {
        std::fprintf(stderr, "no settings sheet\n");
        return 1;
    }
    if (std::strcmp(command, "wait-sheet") == 0) {
        return 0;
    }
    if (std::strcmp(command, "page") == 0 && argc > 2) {
        const int index = std::atoi(argv[2]);
        SendMessageW(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0);
        HWND tabs = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0));
        return WaitFor([&] { return SendMessageW(tabs, TCM_GETCURSEL, 0, 0) == index; }, 10000) ? 0
                                                                                                : 1;
    }
    if (std::strcmp(command, "about") == 0) {
        PostMessageW(sheet, WM_SYSCOMMAND, 0x0010, 0);
        return WaitFor([&] { return FindAbout(sheet) != nullptr; }) ? 0 : 1;
    }
    if (std::strcmp(command, "close-about") == 0) {
        HWND about = FindAbout(sheet);
        if (about) {
            SendMessageW(about, WM_COMMAND, IDOK, 0);
        }
        return WaitFor([&] { return FindAbout(sheet) == nullptr; }, 10000) ? 0 : 1;
    }
    if (std::strcmp(command, "cancel") == 0) {
        SendMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
        return WaitFor([&] { return !IsWindow(sheet); }, 10000) ? 0 : 1;
    }
    std::fprintf(stderr, "unknown command %s\n", command);
    return 2;
}
