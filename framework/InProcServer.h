// The entry points of an in-process COM server, written once: InProcServer.cpp defines
// DllMain, DllCanUnloadNow, DllGetClassObject, DllRegisterServer and DllUnregisterServer
// over the server's one CComModule, and the server says only what is its own:
//
//   const CClassEntry kClasses[] = {{&CLSID_MyThing, &CMyThing::Create}};
//   extern const CInProcServer kInProcServer = {kClasses, 1, &RegisterMine, &UnregisterMine,
//                                               nullptr};
//
// The server's target links corvina_inproc_server and lists the four exports in its .def
// file, which keeps their names undecorated.
#pragma once

#include <windows.h>

#include <cstddef>

#include "framework/CComModule.h"

struct CInProcServer {
    // The classes DllGetClassObject offers.
    const CClassEntry* classes;
    size_t classCount;
    // DllRegisterServer and DllUnregisterServer, given the server's module.
    HRESULT (*registerServer)(HMODULE module);
    HRESULT (*unregisterServer)(HMODULE module);
    // When FreeLibrary unloads the server, before its class factories go; or null. Not at
    // process exit, when the libraries the server uses may be gone already.
    void (*onUnload)();
};

// Defined by each server.
extern const CInProcServer kInProcServer;
