#include "ResidentProcess.h"

#include "common/WindowMessages.h"
#include "Text.h"

#include <vector>

namespace resident_test {

const char* const kResidentTitle = kResidentFrameTitle;
const char kOptionsKeyPath[] = "Software\\Velmora\\Corvina Plus";

std::string ResidentProgramPath() {
    return HostPath(CORVINA_PLUS_EXE);
}

namespace {

BOOL CALLBACK CountTitled(HWND window, LPARAM counter) {
    char title[128] = {};
    GetWindowTextA(window, title, sizeof title);
    if (lstrcmpA(title, kResidentTitle) == 0) {
        ++*reinterpret_cast<int*>(counter);
    }
    return TRUE;
}

} // namespace

int CountResidentWindows() {
    int count = 0;
    EnumWindows(CountTitled, reinterpret_cast<LPARAM>(&count));
    return count;
}

bool IsHotKeyHeld(UINT modifiers, UINT key) {
    const int probeId = 0xB00F;
    if (RegisterHotKey(nullptr, probeId, modifiers, key)) {
        UnregisterHotKey(nullptr, probeId);
        return false;
    }
    return GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED;
}

void DeleteOptions() {
    RegDeleteKeyA(HKEY_CURRENT_USER, kOptionsKeyPath);
}

void WriteBinaryOption(const char* name, const BYTE* data, DWORD size) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kOptionsKeyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(key, name, 0, REG_BINARY, data, size);
        RegCloseKey(key);
    }
}

void WriteDwordOption(const char* name, DWORD value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kOptionsKeyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                       sizeof value);
        RegCloseKey(key);
    }
}

UINT Registered(const char* name) {
    return RegisterWindowMessageA(name);
}

bool ResidentProcess::Start() {
    std::string command = "\"" + ResidentProgramPath() + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    return CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &m_process) != FALSE;
}

HWND ResidentProcess::WaitForWindow() {
    WaitFor([this] {
        HWND window = FindWindowA(nullptr, kResidentTitle);
        DWORD owner = 0;
        if (window) {
            GetWindowThreadProcessId(window, &owner);
        }
        m_window = owner == m_process.dwProcessId ? window : nullptr;
        return m_window != nullptr;
    });
    // The window is found while it is still being created; its hot key is registered only
    // then. A probe of the key before that would hold it itself for a moment and take it
    // from the program, so the caller gets the window once the program waits for input.
    if (m_window) {
        WaitForInputIdle(m_process.hProcess, 30000);
    }
    return m_window;
}

bool ResidentProcess::WaitForExit(DWORD timeoutMs) {
    if (!m_process.hProcess) {
        return true;
    }
    return WaitFor([this] { return WaitForSingleObject(m_process.hProcess, 0) == WAIT_OBJECT_0; },
                   timeoutMs);
}

DWORD ResidentProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(m_process.hProcess, &code);
    return code;
}

void ResidentProcess::Stop() {
    if (!m_process.hProcess) {
        return;
    }
    if (WaitForSingleObject(m_process.hProcess, 0) != WAIT_OBJECT_0) {
        if (m_window && IsWindow(m_window)) {
            DWORD_PTR ignored = 0;
            SendMessageTimeoutA(m_window, WM_COMMAND, 57665, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
        }
        if (!WaitForExit(10000)) {
            TerminateProcess(m_process.hProcess, 1);
            WaitForSingleObject(m_process.hProcess, 10000);
        }
    }
    CloseHandle(m_process.hThread);
    CloseHandle(m_process.hProcess);
    m_process = PROCESS_INFORMATION{};
    m_window = nullptr;
}

} // namespace resident_test
