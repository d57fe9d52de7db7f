// The one way the settings program shows a message box: the same owner rule, caption and
// icon rule for every box of every page.
#pragma once

#include <windows.h>

#include <string>

// "コルヴィナ" (in the system's ANSI code page) on a Japanese system, else "Corvina".
std::string BuildMessageCaption();

// The window a box is owned by: the last active popup of the program's main window (the
// sheet, or a dialog the sheet shows), else this thread's active window.
HWND GetSafeMessageOwner();

// Shows text with the program's caption. A box of buttons OK, OK/Cancel, Yes/No/Cancel or
// Yes/No that names no icon gets the exclamation icon. Returns the button pressed (IDOK,
// IDYES...), 0 when no box could be shown.
int SettingsMessageBox(const char* text, UINT type = MB_OK);
