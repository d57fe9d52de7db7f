// Registry access as the whole suite does it: open a key, read or write one value, close the
// key again. The suite's own strings are stored as REG_SZ whose data size is the text length,
// without a terminating zero; readers append their own. All functions return 1 on success, 0
// on failure, and never create keys except EnsureRegistryKey.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// Keys under HKEY_CURRENT_USER.
extern const char kVelmoraKeyPath[];     // "Software\Velmora"
extern const char kCorvinaKeyPath[];     // "Software\Velmora\Corvina": the menu item list
extern const char kCorvinaPlusKeyPath[]; // "Software\Velmora\Corvina Plus": resident options
extern const char kCorvinaBarKeyPath[];  // "Software\Velmora\Corvina Bar": band options

// Makes sure root\path exists, one level at a time: each level that cannot be opened is
// created under the one before ("Software\Velmora", then the product key).
BOOL EnsureRegistryKey(HKEY root, const char* path);

// Reads a string value of any type, as the ANSI functions return it, cut at its first zero
// byte; a stored terminator or none reads the same.
BOOL ReadRegistryString(HKEY root, const char* path, const char* name, std::string* text);
// Writes REG_SZ with the data size equal to the text length, no terminator
// (RegStringForm::TextOnly): the suite's own values, whose readers all accept both forms.
BOOL WriteRegistryString(HKEY root, const char* path, const char* name, std::string_view text);
// Writes REG_SZ with its terminating zero counted in the data size (RegStringForm::Terminated):
// values that the system and other programs read (server paths, the Run values, the
// uninstall entry). Such readers may take the stored bytes for the whole string and run past
// them.
BOOL WriteTerminatedRegistryString(HKEY root, const char* path, const char* name,
                                   std::string_view text);

// Reads into a 4-byte buffer whatever the stored type: shorter data leaves the high bytes
// zero; longer data fails. *value is changed only on success.
BOOL ReadRegistryDword(HKEY root, const char* path, const char* name, DWORD* value);
BOOL WriteRegistryDword(HKEY root, const char* path, const char* name, DWORD value);

// Reads at most *size bytes of any type into data; *size receives the stored size.
BOOL ReadRegistryBinary(HKEY root, const char* path, const char* name, void* data, DWORD* size);
BOOL WriteRegistryBinary(HKEY root, const char* path, const char* name, const void* data,
                         DWORD size);
