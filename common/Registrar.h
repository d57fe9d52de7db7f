// Self-registration of the suite's in-process servers: the module's registration script
// (resource type "REGISTRY"), its embedded type library, and the extra write of the server's
// path that every server makes.
#pragma once

#include <windows.h>

struct ServerModuleRegistration {
    // The script, run with %MODULE% set to the module's full path.
    UINT scriptResourceId;
    // The class identifier in braces: its "InprocServer32" default is written once more.
    const char* classId;
    // What unregistration removes should the module's own type library not load.
    const GUID* typeLibId;
    WORD typeLibMajor;
    WORD typeLibMinor;
    // The type library's description as it must read in the registry, whatever the code
    // page; null leaves what the system registered from the library.
    const wchar_t* typeLibDescription;
    // Registers the type library with the module's folder as its help folder; otherwise it
    // has none.
    bool typeLibHelpInModuleFolder;
};

// Runs the script, registers the type library (only once the script succeeded), then writes
// the server's path as the class's "InprocServer32" default, stored with its terminator as
// COM reads it; that last write never changes the result. Registry errors come back as
// HRESULT_FROM_WIN32.
HRESULT RegisterServerModule(HMODULE module, const ServerModuleRegistration& server);
// Removes what the script created, never the keys it marks NoRemove, and the type library.
// Returns the script's result: a type library that was not registered is no failure.
HRESULT UnregisterServerModule(HMODULE module, const ServerModuleRegistration& server);

// The module's embedded type library, registered at the module's path (and with the module's
// folder, trailing backslash included, as its help folder when asked); with a description,
// its version key's default is put right afterwards.
HRESULT RegisterModuleTypeLibrary(HMODULE module, const wchar_t* description,
                                  bool helpInModuleFolder = false);
// Unregisters the library by the attributes of the module's own type library, or by the
// given ones when it does not load. Does nothing where the automation library lacks
// UnRegisterTypeLib.
void UnregisterModuleTypeLibrary(HMODULE module, const GUID& libid, WORD major, WORD minor);
