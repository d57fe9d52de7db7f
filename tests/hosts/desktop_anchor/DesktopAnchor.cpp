// Wine closes a desktop one second after the last program on it has ended, and a program that
// starts in that second is connected to a desktop that is going away: its first top-level
// window is refused. Test programs start and end all through a run, so this one stays on the
// desktop from the start of the session to its end (the server ends it) and the desktop is
// never left empty.
//
//   corvina_desktop_anchor.exe          stays until it is ended
//   corvina_desktop_anchor.exe --owner  prints the process id of the desktop window's owner
#include <windows.h>

#include <cstdio>
#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    // Asking for the desktop window connects this thread to the desktop and makes sure the
    // desktop's owner is running.
    HWND desktop = GetDesktopWindow();
    if (commandLine != nullptr && std::strstr(commandLine, "--owner") != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(desktop, &owner);
        char line[32];
        const int length = std::snprintf(line, sizeof(line), "%lu\n", owner);
        DWORD written = 0;
        WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, static_cast<DWORD>(length), &written,
                  nullptr);
        return owner != 0 ? 0 : 1;
    }
    for (;;) {
        Sleep(INFINITE);
    }
}
