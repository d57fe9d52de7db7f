// Runs CorvinaPlus.exe as a separate process for a test and finds its window; the process is
// always ended when the object goes (exit command first, then termination).
#pragma once

#include <windows.h>

#include <string>

#include "Wait.h"

namespace resident_test {

extern const char* const kResidentTitle; // kResidentFrameTitle
extern const char kOptionsKeyPath[];     // "Software\Velmora\Corvina Plus"

// The program under test (the build's bin folder) as a Windows path.
std::string ResidentProgramPath();

// Every top-level window titled like the program's, of any process.
int CountResidentWindows();

// Whether some program holds the hot key: this process's own registration fails with 1409.
bool IsHotKeyHeld(UINT modifiers, UINT key);

// The options key: removed before and after each test.
void DeleteOptions();
void WriteBinaryOption(const char* name, const BYTE* data, DWORD size);
void WriteDwordOption(const char* name, DWORD value);

// The text of a registered message, sent or posted to the program.
UINT Registered(const char* name);

class ResidentProcess {
public:
    ResidentProcess() = default;
    ~ResidentProcess() { Stop(); }
    ResidentProcess(const ResidentProcess&) = delete;
    ResidentProcess& operator=(const ResidentProcess&) = delete;

    // Starts the program; false if it could not be started.
    bool Start();
    // Waits until the program's window exists and belongs to this process.
    HWND WaitForWindow();
    HWND Window() const { return m_window; }
    DWORD ProcessId() const { return m_process.dwProcessId; }
    HANDLE Process() const { return m_process.hProcess; }
    // Waits for the process to end; true when it did within the time.
    bool WaitForExit(DWORD timeoutMs = 30000);
    DWORD ExitCode() const;
    // Ends the program: command 57665, then termination if it does not go.
    void Stop();

private:
    PROCESS_INFORMATION m_process{};
    HWND m_window = nullptr;
};

} // namespace resident_test
