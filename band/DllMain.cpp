// Entry points of CorvinaBar.dll, the Explorer toolbar band.
#include <windows.h>
#include <objbase.h>

#include "band/BandIds.h"
#include "band/BandRegistration.h"
#include "band/CorvBar.h"
#include "framework/CComModule.h"
#include "framework/ComTry.h"

namespace {

const CClassEntry kClasses[] = {{&CLSID_CorvBar, &CorvBar::Create}};

CComModule g_module;

} // namespace

// OLE itself is the host's: the band runs in the OLE-initialised thread of a browser window,
// and nothing of that kind may be started under the loader lock.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        return g_module.Init(instance, kClasses, sizeof(kClasses) / sizeof(kClasses[0]));
    }
    if (reason == DLL_PROCESS_DETACH) {
        // At process exit (reserved set) the automation library may be gone already; only a
        // FreeLibrary lets go of the cached type information.
        if (!reserved) {
            TerminateBandServer();
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
    return RegisterBandServer(g_module.GetModuleInstance());
    COM_TRY_END
}

STDAPI DllUnregisterServer() {
    COM_TRY_BEGIN
    return UnregisterBandServer(g_module.GetModuleInstance());
    COM_TRY_END
}
