#include "Wait.h"

#include "Text.h"

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool WaitFor(const std::function<bool()>& predicate, DWORD timeoutMs, Pumping pumping) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (predicate()) {
            return true;
        }
        if (GetTickCount() - start > timeoutMs) {
            return predicate();
        }
        if (pumping == Pumping::Messages) {
            PumpMessages();
        }
        Sleep(20);
    }
}

void PumpFor(DWORD ms) {
    WaitFor([] { return false; }, ms);
}

bool WaitForFile(const std::string& path, DWORD timeoutMs) {
    return WaitFor([&] { return FileExists(path); }, timeoutMs, Pumping::None);
}
