#include "common/Registrar.h"

#include <oleauto.h>

#include <cstdio>
#include <string>

#include "common/Registry.h"
#include "common/RegistryScriptRunner.h"
#include "framework/CRegKey.h"
#include "framework/ComPtr.h"
#include "framework/Debug.h"

namespace {

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

// "TypeLib\{...}\1.0": the version in hexadecimal, as the system writes it.
std::string TypeLibVersionKey(const TLIBATTR& attributes) {
    const GUID& id = attributes.guid;
    char path[96] = {};
    std::snprintf(path, sizeof path,
                  "TypeLib\\{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}\\%x.%x",
                  static_cast<unsigned long>(id.Data1), id.Data2, id.Data3, id.Data4[0],
                  id.Data4[1], id.Data4[2], id.Data4[3], id.Data4[4], id.Data4[5], id.Data4[6],
                  id.Data4[7], attributes.wMajorVerNum, attributes.wMinorVerNum);
    return path;
}

// The type library's strings are stored in one code page (932 for the suite's libraries),
// and the system decodes them with its own ANSI code page: elsewhere the registered
// description comes out garbled. The registry holds UTF-16 on NT, so the description is put
// right there. (The 9x family has no wide registry functions; its registry is in the ANSI
// code page anyway.)
void CorrectTypeLibDescription(ITypeLib* library, const wchar_t* description) {
    TLIBATTR* attributes = nullptr;
    if (FAILED(library->GetLibAttr(&attributes))) {
        return;
    }
    const std::string path = TypeLibVersionKey(*attributes);
    library->ReleaseTLibAttr(attributes);
    CRegKey key;
    if (key.Open(HKEY_CLASSES_ROOT, path.c_str(), KEY_QUERY_VALUE | KEY_SET_VALUE) !=
        ERROR_SUCCESS) {
        return;
    }
    WCHAR current[128] = {};
    DWORD size = sizeof(current) - sizeof(WCHAR);
    DWORD type = 0;
    const LONG read =
        RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(current), &size);
    if (read != ERROR_SUCCESS || type != REG_SZ || lstrcmpW(current, description) != 0) {
        // The system reads the type library's keys.
        key.SetWideString(nullptr, description, RegStringForm::Terminated);
    }
}

using UnRegisterTypeLibFunc = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);

} // namespace

HRESULT RegisterModuleTypeLibrary(HMODULE module, const wchar_t* description,
                                  bool helpInModuleFolder) {
    const std::wstring path = ModulePathW(module);
    if (path.empty()) {
        return E_UNEXPECTED;
    }
    std::wstring helpFolder;
    if (helpInModuleFolder) {
        helpFolder = path.substr(0, path.rfind(L'\\') + 1);
    }
    CComPtr<ITypeLib> library;
    HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library);
    if (FAILED_UNEXPECTEDLY(hr)) {
        return hr;
    }
    hr = RegisterTypeLib(library.Get(), const_cast<LPOLESTR>(path.c_str()),
                         helpFolder.empty() ? nullptr : const_cast<LPOLESTR>(helpFolder.c_str()));
    if (FAILED_UNEXPECTEDLY(hr)) {
        return hr;
    }
    if (description) {
        CorrectTypeLibDescription(library.Get(), description);
    }
    return S_OK;
}

void UnregisterModuleTypeLibrary(HMODULE module, const GUID& libid, WORD major, WORD minor) {
    // Older automation libraries lack the function; then the keys simply stay.
    HMODULE automation = GetModuleHandleA("oleaut32.dll");
    const auto unregister = automation ? reinterpret_cast<UnRegisterTypeLibFunc>(
                                             GetProcAddress(automation, "UnRegisterTypeLib"))
                                       : nullptr;
    if (!unregister) {
        return;
    }
    // The library's own attributes name exactly what was registered.
    GUID id = libid;
    LCID locale = LANG_NEUTRAL;
    SYSKIND kind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
    CComPtr<ITypeLib> library;
    const std::wstring path = ModulePathW(module);
    if (!path.empty() && SUCCEEDED(LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library))) {
        TLIBATTR* attributes = nullptr;
        if (SUCCEEDED(library->GetLibAttr(&attributes))) {
            id = attributes->guid;
            major = attributes->wMajorVerNum;
            minor = attributes->wMinorVerNum;
            locale = attributes->lcid;
            kind = attributes->syskind;
            library->ReleaseTLibAttr(attributes);
        }
    }
    // Not being registered is no failure of unregistration.
    unregister(id, major, minor, locale, kind);
}

HRESULT RegisterServerModule(HMODULE module, const ServerModuleRegistration& server) {
    const std::string path = ModulePathA(module);
    if (path.empty()) {
        return E_UNEXPECTED;
    }
    HRESULT hr =
        RunRegistryScriptResource(module, server.scriptResourceId, true, {{"MODULE", path}});
    if (SUCCEEDED(hr)) {
        hr = RegisterModuleTypeLibrary(module, server.typeLibDescription,
                                       server.typeLibHelpInModuleFolder);
    }
    const std::string inprocServerKey =
        std::string("CLSID\\") + server.classId + "\\InprocServer32";
    // COM and the shell read this path: it keeps its terminator.
    WriteTerminatedRegistryString(HKEY_CLASSES_ROOT, inprocServerKey.c_str(), "", path);
    return hr;
}

HRESULT UnregisterServerModule(HMODULE module, const ServerModuleRegistration& server) {
    const std::string path = ModulePathA(module);
    const HRESULT hr =
        RunRegistryScriptResource(module, server.scriptResourceId, false, {{"MODULE", path}});
    UnregisterModuleTypeLibrary(module, *server.typeLibId, server.typeLibMajor,
                                server.typeLibMinor);
    return hr;
}
