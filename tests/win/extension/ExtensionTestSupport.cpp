#include "ExtensionTestSupport.h"

#include <shellapi.h>
#include <shlwapi.h>

#include "common/ShellQueries.h"
#include "common/UiText.h"

// Written out here rather than taken from the extension, so that a wrong text there shows.
std::string ExpectedCaption() {
    return IsJapaneseRun() ? ToAnsi(L"コルヴィナ(&Q)") : "&Corvina";
}

std::string ExpectedSettingsLabel() {
    return IsJapaneseRun() ? ToAnsi(L"設定...") : "Settings...";
}

std::string ExpectedHelpText(const std::string& label) {
    return IsJapaneseRun() ? label + ToAnsi(L" を開く") : "Open " + label + ".";
}

const CLSID CServerCopy::kClsid = {
    0x5A1C7E20, 0x3B9D, 0x4F62, {0x8E, 0x41, 0x0C, 0x7D, 0x2B, 0x9F, 0x6A, 0x13}};

CServerCopy::CServerCopy(bool withSettingsProgram) : m_folder("server") {
    m_dllPath = m_folder.File("Corvina.dll");
    if (!CopyFileA(HostPath(CORVINA_DLL).c_str(), m_dllPath.c_str(), FALSE)) {
        return;
    }
    if (withSettingsProgram && !CopyMarkerProgram(SettingsPath())) {
        return;
    }
    m_module = LoadLibraryA(m_dllPath.c_str());
}

CServerCopy::~CServerCopy() {
    if (m_module) {
        FreeLibrary(m_module);
    }
}

HRESULT CServerCopy::CanUnloadNow() const {
    auto function =
        reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(GetProcAddress(m_module, "DllCanUnloadNow"));
    return function ? function() : E_NOTIMPL;
}

HRESULT CServerCopy::GetClassObject(REFCLSID clsid, REFIID riid, void** ppv) const {
    auto function = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
        GetProcAddress(m_module, "DllGetClassObject"));
    return function ? function(clsid, riid, ppv) : E_NOTIMPL;
}

HRESULT CServerCopy::Register() const {
    auto function =
        reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(GetProcAddress(m_module, "DllRegisterServer"));
    return function ? function() : E_NOTIMPL;
}

HRESULT CServerCopy::Unregister() const {
    auto function = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
        GetProcAddress(m_module, "DllUnregisterServer"));
    return function ? function() : E_NOTIMPL;
}

CUserList::CUserList(const std::vector<ListEntry>& entries) {
    Clear();
    std::vector<std::pair<std::string, std::string>> items;
    for (const ListEntry& entry : entries) {
        items.emplace_back(entry.path, entry.override);
    }
    EXPECT_TRUE(SaveListOfPaths(items));
}

CUserList::~CUserList() {
    Clear();
}

void CUserList::Clear() {
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Velmora\\Corvina");
}

std::string ShellDisplayName(const std::string& path) {
    SHFILEINFOA info = {};
    SHGetFileInfoA(path.c_str(), 0, &info, sizeof(info), SHGFI_DISPLAYNAME);
    return info.szDisplayName;
}

int ShellIconIndex(const std::string& path) {
    SHFILEINFOA info = {};
    if (!SHGetFileInfoA(path.c_str(), 0, &info, sizeof(info), SHGFI_SYSICONINDEX)) {
        return -1;
    }
    return info.iIcon;
}

bool ReadRegistryW(HKEY root, const wchar_t* path, const wchar_t* name, DWORD* type,
                   std::wstring* text) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return false;
    }
    WCHAR buffer[1024] = {};
    DWORD size = sizeof(buffer) - sizeof(WCHAR);
    const LONG result =
        RegQueryValueExW(key, name, nullptr, type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) {
        return false;
    }
    *text = buffer;
    return true;
}
