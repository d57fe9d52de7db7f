#include "Wait.h"

#include "Text.h"

#include <cstdio>

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool WaitFor(const std::function<bool()>& predicate, DWORD timeoutMs, Pumping pumping,
             DWORD intervalMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        // What was posted before the wait is handled before the first look.
        if (pumping == Pumping::Messages) {
            PumpMessages();
        }
        if (predicate()) {
            return true;
        }
        if (GetTickCount() - start > timeoutMs) {
            return false;
        }
        Sleep(intervalMs);
    }
}

void PumpFor(DWORD ms) {
    WaitFor([] { return false; }, ms);
}

bool WaitForFile(const std::string& path, DWORD timeoutMs) {
    return WaitFor([&] { return FileExists(path); }, timeoutMs, Pumping::None);
}

int RunAndWait(const std::string& commandLine, DWORD timeoutMs, DWORD creationFlags) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    std::string mutableLine = commandLine;
    if (!CreateProcessA(nullptr, &mutableLine[0], nullptr, nullptr, FALSE, creationFlags, nullptr,
                        nullptr, &startup, &process)) {
        std::printf("cannot start %s: error %lu\n", commandLine.c_str(), GetLastError());
        return -1;
    }
    CloseHandle(process.hThread);
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &code);
    }
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}
