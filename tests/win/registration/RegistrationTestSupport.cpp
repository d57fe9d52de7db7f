#include "RegistrationTestSupport.h"

#include <vector>

namespace {

std::string RecordKeyPath() {
    return "Software\\CorvinaRegistrationTest\\" + RunLocale();
}

std::string QueryText(HKEY key, const char* name) {
    char text[2048] = {};
    DWORD size = sizeof(text) - 1;
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size) !=
        ERROR_SUCCESS) {
        return std::string();
    }
    return text;
}

} // namespace

std::string CurrentDirectory() {
    char directory[MAX_PATH * 2] = {};
    GetCurrentDirectoryA(sizeof(directory), directory);
    return directory;
}

bool SameText(const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

ServerRecord ReadServerRecord() {
    ServerRecord record;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, RecordKeyPath().c_str(), 0, KEY_READ, &key) ==
        ERROR_SUCCESS) {
        record.calls = QueryText(key, "Calls");
        record.directory = QueryText(key, "Directory");
        RegCloseKey(key);
    }
    return record;
}

void ClearServerRecord() {
    RegDeleteKeyA(HKEY_CURRENT_USER, RecordKeyPath().c_str());
}

std::string UnixPathOf(const std::string& windowsPath) {
    using ToUnix = char*(CDECL*)(const WCHAR*);
    const auto toUnix = reinterpret_cast<ToUnix>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
    if (!toUnix) {
        return std::string();
    }
    char* unixPath = toUnix(ToWide(windowsPath).c_str());
    if (!unixPath) {
        return std::string();
    }
    std::string out = unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    return out;
}
