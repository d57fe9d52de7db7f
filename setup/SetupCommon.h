// What both modes of the install and uninstall program share: the message boxes with the
// caption of the mode and ending the suite's running programs.
#pragma once

#include <windows.h>

#include <string>

#include "common/UiText.h"

// The caption of every message box of the program, set once at start-up by the mode.
void SetSetupMessageCaption(const BilingualText& caption);
const std::string& GetSetupMessageCaption();
extern const BilingualText kInstallCaption;   // "インストール" / "Install"
extern const BilingualText kUninstallCaption; // "アンインストール" / "Uninstall"

// The key both modes write or remove, under HKEY_LOCAL_MACHINE (the "Run" key is
// corvina::kMachineRunKeyPath).
extern const char kUninstallEntryKey[]; // "...\CurrentVersion\Uninstall\Corvina"

// The system code page's lead-byte test, for the portable path rules.
bool IsSystemLeadByte(unsigned char byte);

// MessageBox with the program's caption. A box asked for without an icon gets the
// exclamation icon when its buttons are OK, OK and Cancel, Yes and No, or Yes, No and Cancel.
int SetupMessageBox(HWND owner, const std::string& text, UINT type);
int SetupMessageBox(HWND owner, const BilingualText& text, UINT type);

// "インストールを行うには…" / "ERROR : Administrators authority is required." and its
// uninstall counterpart.
extern const BilingualText kInstallNeedsAdministrator;
extern const BilingualText kUninstallNeedsAdministrator;

// Ends the settings program (its sheet is sent Cancel) and the resident program (sent the
// exit command), each only when its window is found. Both messages are sent, and each
// program is waited for until its process has ended (15 s at most), so that its file is
// free to be replaced or deleted.
void EndSuitePrograms();

// The program file and its folder (with a trailing backslash), and whether the user is an
// administrator: fixed at start-up.
struct SetupProgram {
    HINSTANCE instance = nullptr;
    std::string path;
    std::string folder;
    bool administrator = false;
};
const SetupProgram& GetSetupProgram();
void InitSetupProgram(HINSTANCE instance);
