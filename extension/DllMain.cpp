// Entry points of Corvina.dll, the desktop context-menu extension.
#include <windows.h>
#include <objbase.h>

#include "CCorvinaExtention.h"
#include "CorvinaIds.h"
#include "ServerRegistration.h"
#include "framework/CComModule.h"
#include "framework/ComTry.h"

namespace {

const CClassEntry kClasses[] = {{&CLSID_CorvinaExtention, &CCorvinaExtention::Create}};

CComModule g_module;

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        return g_module.Init(instance, kClasses, sizeof(kClasses) / sizeof(kClasses[0]));
    }
    if (reason == DLL_PROCESS_DETACH) {
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
    return RegisterCorvinaServer(g_module.GetModuleInstance());
    COM_TRY_END
}

STDAPI DllUnregisterServer() {
    COM_TRY_BEGIN
    return UnregisterCorvinaServer(g_module.GetModuleInstance());
    COM_TRY_END
}
