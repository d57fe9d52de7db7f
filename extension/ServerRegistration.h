// What DllRegisterServer and DllUnregisterServer of Corvina.dll register: its script, its
// embedded type library and its path, through the registrar every server shares.
#pragma once

#include <windows.h>

// Registers the class, its programmatic identifiers, the background context-menu handler and
// the type library of module. Registry errors come back as HRESULT_FROM_WIN32.
HRESULT RegisterCorvinaServer(HMODULE module);
// Removes what RegisterCorvinaServer created, never the shared parent keys ("CLSID",
// "ContextMenuHandlers" and the keys above it).
HRESULT UnregisterCorvinaServer(HMODULE module);

// The type library's description as it must read in the registry, whatever the code page.
extern const wchar_t kCorvinaLibDescription[];
