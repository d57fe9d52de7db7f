// Shared by the installer's Windows tests: a package folder built from the deliverables,
// Uninstall.exe run as a separate process, and the dialogs and message boxes it shows.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>

#include "TestSupport.h"

namespace setup_test {

// The keys the installation writes under HKEY_LOCAL_MACHINE.
inline constexpr char kUninstallKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Corvina";
inline constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// "インストール" / "Install" and "アンインストール" / "Uninstall" for this run.
std::wstring InstallCaption();
std::wstring UninstallCaption();

// The six files of a package in a scratch folder of its own: the five built deliverables and
// a Readme.txt.
class CPackage {
public:
    CPackage();
    // Path with a trailing backslash.
    const std::string& Path() const { return m_folder.Path(); }
    std::string File(const char* name) const { return m_folder.File(name); }
    bool Complete() const { return m_complete; }

private:
    CScratchFolder m_folder;
    bool m_complete = false;
};

// Rewrites the file version of a program's version resource (the program must not be running).
bool SetFileVersion(const std::string& program, WORD a, WORD b, WORD c, WORD d);

// One run of Uninstall.exe. Ended (terminated if need be) when the object goes.
class CSetupProcess {
public:
    CSetupProcess() = default;
    // Its message boxes carry caption (the install mode's by default).
    explicit CSetupProcess(std::wstring caption) : m_caption(std::move(caption)) {}
    CSetupProcess(const CSetupProcess&) = delete;
    CSetupProcess& operator=(const CSetupProcess&) = delete;
    ~CSetupProcess();

    // In currentFolder, or in the test's own when it is empty.
    bool Start(const std::string& program, const std::string& arguments,
               const std::string& currentFolder = std::string());
    // Whether the process ended within timeoutMs.
    bool WaitForExit(DWORD timeoutMs = 60000);
    DWORD Id() const { return m_process.dwProcessId; }

    // The installation dialog (it holds the folder field), once it shows; nullptr on timeout.
    HWND WaitForInstallDialog(DWORD timeoutMs = 60000);
    // A message box of the process with the mode's caption, other than the installation
    // dialog; nullptr on timeout.
    HWND WaitForMessageBox(DWORD timeoutMs = 60000);
    // Waits for a message box, reads its text and presses button; the text, or "" when none
    // came.
    std::wstring Answer(int button, DWORD timeoutMs = 60000);
    // The same with the button chosen by the text.
    std::wstring Answer(const std::function<int(const std::wstring&)>& choose,
                        DWORD timeoutMs = 60000);

private:
    PROCESS_INFORMATION m_process{};
    std::wstring m_caption = InstallCaption();
};

std::wstring TextOf(HWND window);
// Presses a button without waiting for what its click starts.
void PostClick(HWND dialog, int id);
// The folder field's text in a dialog of another process.
void SetFolderField(HWND dialog, const std::wstring& folder);

} // namespace setup_test
