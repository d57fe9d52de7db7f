// Entry point of CorvinaPlus.exe. The resident program is not built yet: it starts, shows
// nothing and ends at once with success.
#include <windows.h>

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*command_line*/,
                   int /*show*/) {
    return 0;
}
