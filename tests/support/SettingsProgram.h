// The settings program (Corvset.exe) as the tests of its sheet, its pages and the installer
// see it: the titles they look for, a run of it as a separate process and its message boxes.
#pragma once

#include <windows.h>

#include <string>

#include "Dialogs.h"

namespace settings_test {

// The sheet's title as the other programs look for it, and the message-box caption.
const wchar_t* ExpectedSheetTitle();
const wchar_t* ExpectedMessageCaption();

// A message box of the program (caption "Corvina" or its Japanese form) belonging to
// process (0: any), waited for up to timeoutMs; nullptr when none appears.
HWND WaitForMessageBox(DWORD process = 0, DWORD timeoutMs = 30000);

// The finders, under the names these tests use.
using ::ChildrenOfClass;
using ::ClassNameW;
using ::FindDialogs;
using ::FindOwnedDialog;
using ::MessageBoxIcon;
using ::WindowTextW;

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

// The program's message boxes, under the names the page tests use.
namespace basicpage_test {
using ::AnswerMessageBox;
using ::MessageBoxText;
using settings_test::WaitForMessageBox;
} // namespace basicpage_test
