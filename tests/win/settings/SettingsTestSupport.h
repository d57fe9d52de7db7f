// Shared by the settings program's Windows tests: the expected titles, waiting, and finding
// the windows the program shows.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "TestSupport.h"

namespace settings_test {

// The sheet's title as the other programs look for it, and the message-box caption.
const wchar_t* ExpectedSheetTitle();
const wchar_t* ExpectedMessageCaption();

// Every top-level window of class "#32770" titled exactly title, of any process.
std::vector<HWND> FindDialogs(const wchar_t* title);

// A top-level "#32770" window titled title (any title for nullptr) and owned by owner, or
// nullptr.
HWND FindOwnedDialog(HWND owner, const wchar_t* title);

std::wstring WindowTextW(HWND window);
std::wstring ClassNameW(HWND window);

// The direct children of parent whose class is className, in z-order.
std::vector<HWND> ChildrenOfClass(HWND parent, const wchar_t* className);

// The icon of the first visible icon static of a message box, or nullptr.
HICON MessageBoxIcon(HWND box);

// One run of a copy of Corvset.exe as a separate process; ended with Cancel, then terminated
// if it will not go.
class SettingsProcess {
public:
    explicit SettingsProcess(std::string program) : m_program(std::move(program)) {}
    SettingsProcess(const SettingsProcess&) = delete;
    SettingsProcess& operator=(const SettingsProcess&) = delete;
    ~SettingsProcess() { Stop(); }

    // Starts the program and waits for its sheet.
    bool Start();
    void Stop();

    DWORD Id() const { return m_process.dwProcessId; }
    HWND Sheet() const { return m_sheet; }
    // The window of the page at index (0 is the menu list editor), or nullptr.
    HWND Page(int index = 0) const;
    bool ApplyEnabled() const;
    void PressApply();

private:
    std::string m_program;
    PROCESS_INFORMATION m_process{};
    HWND m_sheet = nullptr;
};

} // namespace settings_test
