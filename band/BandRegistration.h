// What DllRegisterServer and DllUnregisterServer of CorvinaBar.dll do: the script and the
// type library through the registrar every server shares, and the band's own extra steps
// (the shell's cached band list, the Toolbars menu text, the band's options).
#pragma once

#include <windows.h>

// Registers the class, its programmatic identifiers, the Internet Explorer toolbar value and
// the type library of module; then clears the shell's cached list of bands and writes the
// class's menu text in the system's language. Returns the script's and type library's
// result; the extra steps never change it.
HRESULT RegisterBandServer(HMODULE module);
// Clears the shell's cached band list, deletes the band's options key with all its subkeys,
// and removes what RegisterBandServer created, never the keys the script keeps.
HRESULT UnregisterBandServer(HMODULE module);

// The type library's description as it must read in the registry, whatever the code page.
extern const wchar_t kCorvinaBarLibDescription[];
