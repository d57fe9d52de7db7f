// A stand-in server for the registration tests: its exports record each call and the
// current directory at that moment under HKCU\Software\CorvinaRegistrationTest\<locale>, so
// that both language runs can work side by side. Built three ways: with both exports, with
// a DllRegisterServer that throws, and with neither.
#include <windows.h>

#include <stdexcept>
#include <string>

#ifndef TEST_SERVER_WITHOUT_EXPORTS
namespace {

std::string RecordKeyPath() {
    char locale[16] = {};
    GetEnvironmentVariableA("CORVINA_LOCALE", locale, sizeof(locale));
    return std::string("Software\\CorvinaRegistrationTest\\") + locale;
}

void SetText(HKEY key, const char* name, const std::string& text) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
}

void Record(const char* call) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, RecordKeyPath().c_str(), 0, nullptr, 0,
                        KEY_READ | KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    char calls[1024] = {};
    DWORD size = sizeof(calls) - 1;
    RegQueryValueExA(key, "Calls", nullptr, nullptr, reinterpret_cast<BYTE*>(calls), &size);
    SetText(key, "Calls", std::string(calls) + call + ";");
    char directory[MAX_PATH * 2] = {};
    GetCurrentDirectoryA(sizeof(directory), directory);
    SetText(key, "Directory", directory);
    RegCloseKey(key);
}

} // namespace

extern "C" __declspec(dllexport) HRESULT __stdcall DllRegisterServer() {
    Record("register");
#ifdef TEST_SERVER_THROWS
    throw std::runtime_error("registration refused");
#endif
    return S_OK;
}

extern "C" __declspec(dllexport) HRESULT __stdcall DllUnregisterServer() {
    Record("unregister");
    // A failure code: the caller does not look at it.
    return E_FAIL;
}
#else
extern "C" __declspec(dllexport) int CorvinaTestServerMarker() {
    return 1;
}
#endif
