// The message shown when a server DLL that is to be registered or unregistered is missing.
#pragma once

#include <windows.h>

#include <string>

enum class ServerDll {
    Extension, // Corvina.dll
    Band,      // CorvinaBar.dll
};

// The text for the current system language with the DLL's full path in it. The path is
// inserted as data: a '%' in it is shown as it is.
std::string BuildMissingServerText(ServerDll dll, const char* dllPath);

// Shows that text in a box with the exclamation icon, the single OK button and the
// caller's caption. Returns MessageBox's result.
int ShowMissingServerMessage(HWND owner, ServerDll dll, const char* dllPath, const char* caption);
