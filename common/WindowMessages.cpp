#include "common/WindowMessages.h"

#include <cstring>
#include <vector>

std::string BuildSettingsSheetTitle() {
    return BuildText(kSettingsSheetTitle);
}

RegisteredMessages RegisterCorvinaMessages() {
    RegisteredMessages messages;
    messages.updateOption = RegisterWindowMessageA(kUpdateOptionMessageName);
    messages.menuMessage = RegisterWindowMessageA(kMenuMessageName);
    messages.hookMessage = RegisterWindowMessageA(kHookMessageName);
    messages.changedButton = RegisterWindowMessageA(kChangedButtonMessageName);
    messages.taskbarCreated = RegisterWindowMessageA(kTaskbarCreatedMessageName);
    return messages;
}

namespace {

constexpr int kTextSize = 1024;
// Bounds the walk of one window's children should the z-order chain change under it.
constexpr size_t kMaxChildren = 65536;
// How long a window of another thread of this process may take to give its text.
constexpr UINT kTextTimeoutMs = 500;

// Reads the text without ever blocking on a hung window. GetWindowText does not send to
// windows of other processes (it returns the text the system keeps for them), which is
// where the bands live; for windows of other threads of this process it would send
// WM_GETTEXT and wait forever, so those are asked with a timeout instead.
bool ReadWindowText(HWND window, char* text) {
    text[0] = '\0';
    DWORD process = 0;
    const DWORD thread = GetWindowThreadProcessId(window, &process);
    if (thread == 0) {
        return false;
    }
    if (process != GetCurrentProcessId() || thread == GetCurrentThreadId()) {
        GetWindowTextA(window, text, kTextSize);
        return true;
    }
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, kTextSize, reinterpret_cast<LPARAM>(text),
                             SMTO_BLOCK | SMTO_ABORTIFHUNG, kTextTimeoutMs, &copied)) {
        text[0] = '\0';
        return false;
    }
    text[kTextSize - 1] = '\0';
    return true;
}

std::vector<HWND> ChildrenOf(HWND window) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child && children.size() < kMaxChildren;
         child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

} // namespace

UINT NotifyBandWindows() {
    const UINT message = RegisterWindowMessageA(kChangedButtonMessageName);
    if (message == 0) {
        return 0;
    }
    UINT posted = 0;
    auto visit = [&](HWND window) {
        char className[kTextSize] = {};
        if (GetClassNameA(window, className, kTextSize) == 0 ||
            std::strcmp(className, kBandToolbarClass) != 0) {
            return;
        }
        // Only toolbars need their text read: the rest could never match.
        char text[kTextSize];
        if (ReadWindowText(window, text) && std::strcmp(text, kBandToolbarText) == 0 &&
            PostMessageA(window, message, 0, 0)) {
            ++posted;
        }
    };

    // Depth first, children before their parent, without recursion: each frame holds one
    // window's children and the index of the next one to descend into.
    struct Frame {
        HWND window;
        std::vector<HWND> children;
        size_t next;
    };
    try {
        std::vector<Frame> stack;
        const HWND desktop = GetDesktopWindow();
        stack.push_back({desktop, ChildrenOf(desktop), 0});
        while (!stack.empty()) {
            Frame& top = stack.back();
            if (top.next < top.children.size()) {
                const HWND child = top.children[top.next++];
                stack.push_back({child, ChildrenOf(child), 0});
            } else {
                const HWND window = top.window;
                stack.pop_back();
                visit(window);
            }
        }
    } catch (...) {
        // Out of memory: the windows visited so far have been told.
    }
    return posted;
}
