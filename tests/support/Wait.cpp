#include "Wait.h"

#include "Text.h"

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
