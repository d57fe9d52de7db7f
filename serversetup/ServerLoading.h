// Registering and unregistering an in-process server by loading it into this process and
// calling its own registration export.
#pragma once

#include <windows.h>

// Load the DLL at its full path with its folder as the current directory, call its
// DllRegisterServer (DllUnregisterServer), unload it and put the current directory back.
// 1 when the export was found and called (its own result is not looked at); 0 when the DLL
// did not load, lacks the export, or the export ended in a C++ exception. The current
// directory is restored on every way out.
BOOL RegisterServerByLoading(const char* dllPath);
BOOL UnregisterServerByLoading(const char* dllPath);

// TRUE when a file (not a folder) exists at the path: callers check this before loading.
BOOL ServerFileExists(const char* dllPath);
