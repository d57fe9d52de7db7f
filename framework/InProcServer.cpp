#include "framework/InProcServer.h"

#include <objbase.h>

#include "framework/ComTry.h"

namespace {

CComModule g_module;

} // namespace

// OLE itself is the host's: a server runs in the OLE-initialised threads of its host, and
// nothing of that kind may be started under the loader lock.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        return g_module.Init(instance, kInProcServer.classes, kInProcServer.classCount);
    }
    if (reason == DLL_PROCESS_DETACH) {
        // reserved is set at process exit and null for FreeLibrary.
        if (!reserved && kInProcServer.onUnload) {
            kInProcServer.onUnload();
        }
        g_module.Term();
    }
    return TRUE;
}

STDAPI DllCanUnloadNow() {
    return g_module.DllCanUnloadNow();
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
    COM_TRY_BEGIN
    return g_module.DllGetClassObject(clsid, riid, object);
    COM_TRY_END
}

STDAPI DllRegisterServer() {
    COM_TRY_BEGIN
    return kInProcServer.registerServer(g_module.GetModuleInstance());
    COM_TRY_END
}

STDAPI DllUnregisterServer() {
    COM_TRY_BEGIN
    return kInProcServer.unregisterServer(g_module.GetModuleInstance());
    COM_TRY_END
}
