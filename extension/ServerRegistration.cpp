#include "ServerRegistration.h"

#include <oleauto.h>

#include <string>

#include "CorvinaIds.h"
#include "RegistryScriptRunner.h"
#include "common/Registry.h"
#include "framework/ComPtr.h"
#include "framework/Debug.h"
#include "resource.h"

const wchar_t kCorvinaLibDescription[] = L"Corvina 1.0 ﾀｲﾌﾟ ﾗｲﾌﾞﾗﾘ";

namespace {

const char kInprocServerKey[] = "CLSID\\{5A1C7E20-3B9D-4F62-8E41-0C7D2B9F6A13}\\InprocServer32";

std::string ModulePathA(HMODULE module) {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::string() : std::string(path, length);
}

std::wstring ModulePathW(HMODULE module) {
    WCHAR path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::wstring() : std::wstring(path, length);
}

// The type library's strings are stored in code page 932, and the system decodes them with
// its own ANSI code page: elsewhere the registered description comes out garbled. The
// registry holds UTF-16 on NT, so the description is put right there. (The 9x family has no
// wide registry functions; its registry is in the ANSI code page anyway.)
void CorrectTypeLibDescription() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L"TypeLib\\{0F6B8A3D-71C2-4E95-A4D8-52B1C9E07F36}\\1.0", 0,
                      KEY_QUERY_VALUE | KEY_SET_VALUE, &key) != ERROR_SUCCESS) {
        return;
    }
    WCHAR current[128] = {};
    DWORD size = sizeof(current) - sizeof(WCHAR);
    DWORD type = 0;
    const LONG read =
        RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(current), &size);
    if (read != ERROR_SUCCESS || type != REG_SZ || lstrcmpW(current, kCorvinaLibDescription) != 0) {
        RegSetValueExW(key, nullptr, 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(kCorvinaLibDescription),
                       sizeof(kCorvinaLibDescription));
    }
    RegCloseKey(key);
}

HRESULT RegisterTypeLibrary(HMODULE module) {
    const std::wstring path = ModulePathW(module);
    if (path.empty()) {
        return E_UNEXPECTED;
    }
    CComPtr<ITypeLib> library;
    HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library);
    if (FAILED_UNEXPECTEDLY(hr)) {
        return hr;
    }
    hr = RegisterTypeLib(library.Get(), const_cast<LPOLESTR>(path.c_str()), nullptr);
    if (FAILED_UNEXPECTEDLY(hr)) {
        return hr;
    }
    CorrectTypeLibDescription();
    return S_OK;
}

using UnRegisterTypeLibFunc = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);

void UnregisterTypeLibrary(HMODULE module) {
    // Older automation libraries lack the function; then the keys simply stay.
    HMODULE automation = GetModuleHandleA("oleaut32.dll");
    const auto unregister = automation ? reinterpret_cast<UnRegisterTypeLibFunc>(
                                             GetProcAddress(automation, "UnRegisterTypeLib"))
                                       : nullptr;
    if (!unregister) {
        return;
    }
    // The library's own attributes name exactly what was registered.
    GUID libid = LIBID_CorvinaLib;
    WORD major = kCorvinaLibMajorVersion;
    WORD minor = kCorvinaLibMinorVersion;
    LCID locale = LANG_NEUTRAL;
    SYSKIND kind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
    CComPtr<ITypeLib> library;
    const std::wstring path = ModulePathW(module);
    if (!path.empty() && SUCCEEDED(LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library))) {
        TLIBATTR* attributes = nullptr;
        if (SUCCEEDED(library->GetLibAttr(&attributes))) {
            libid = attributes->guid;
            major = attributes->wMajorVerNum;
            minor = attributes->wMinorVerNum;
            locale = attributes->lcid;
            kind = attributes->syskind;
            library->ReleaseTLibAttr(attributes);
        }
    }
    // Not being registered is no failure of unregistration.
    unregister(libid, major, minor, locale, kind);
}

} // namespace

HRESULT RegisterCorvinaServer(HMODULE module) {
    const std::string path = ModulePathA(module);
    if (path.empty()) {
        return E_UNEXPECTED;
    }
    HRESULT hr = RunRegistryScriptResource(module, IDR_CORVINAEXTENTION, true, {{"MODULE", path}});
    if (SUCCEEDED(hr)) {
        hr = RegisterTypeLibrary(module);
    }
    // The server's path once more, stored without a terminator like every string the suite
    // writes; a failure here changes nothing about the result.
    WriteRegistryString(HKEY_CLASSES_ROOT, kInprocServerKey, "", path);
    return hr;
}

HRESULT UnregisterCorvinaServer(HMODULE module) {
    const std::string path = ModulePathA(module);
    const HRESULT hr =
        RunRegistryScriptResource(module, IDR_CORVINAEXTENTION, false, {{"MODULE", path}});
    UnregisterTypeLibrary(module);
    return hr;
}
