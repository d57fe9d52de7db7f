#include "band/BandRegistration.h"

#include <string>
#include <vector>

#include "band/BandIds.h"
#include "band/resource.h"
#include "common/Registrar.h"
#include "common/Registry.h"
#include "common/UiText.h"
#include "framework/CRegKey.h"

const wchar_t kCorvinaBarLibDescription[] = L"CorvinaBar 1.0 ﾀｲﾌﾟ ﾗｲﾌﾞﾗﾘ";

namespace {

// The shell keeps the classes of the desk-band category here and rebuilds the list when the
// value is gone: without that a newly registered band would not show in the Toolbars menu.
const char kDeskBandCategoryEnumKey[] =
    "Component Categories\\{00021492-0000-0000-C000-000000000046}\\Enum";
const char kImplementingValue[] = "Implementing";

// The Toolbars menu entry: the class key's default, in the system's language.
const BilingualText kToolbarMenuText = {L"コルヴィナバー(&M)", "Corvina&Bar"};

ServerModuleRegistration BandServer() {
    ServerModuleRegistration server{};
    server.scriptResourceId = IDR_CORVBAR;
    server.classId = kCorvBarClassIdText;
    server.typeLibId = &LIBID_CORVINABARLib;
    server.typeLibMajor = kCorvinaBarLibMajorVersion;
    server.typeLibMinor = kCorvinaBarLibMinorVersion;
    server.typeLibDescription = kCorvinaBarLibDescription;
    server.typeLibHelpInModuleFolder = true;
    return server;
}

void DeleteCachedBandList() {
    CRegKey key;
    if (key.Open(HKEY_CLASSES_ROOT, kDeskBandCategoryEnumKey, KEY_SET_VALUE) == ERROR_SUCCESS) {
        key.DeleteValue(kImplementingValue);
    }
}

// Appends the paths (relative to root\path) of every key below root\path, each key's
// subkeys before the key itself.
void CollectSubkeysDepthFirst(HKEY root, const std::string& path, const std::string& relative,
                              std::vector<std::string>* paths) {
    CRegKey key;
    if (key.Open(root, path.c_str(), KEY_ENUMERATE_SUB_KEYS) != ERROR_SUCCESS) {
        return;
    }
    std::vector<std::string> names;
    for (DWORD index = 0;; ++index) {
        char name[MAX_PATH] = {};
        DWORD length = MAX_PATH;
        if (RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(name, length);
    }
    key.Close();
    for (const std::string& name : names) {
        const std::string child = relative.empty() ? name : relative + "\\" + name;
        CollectSubkeysDepthFirst(root, path + "\\" + name, child, paths);
        paths->push_back(child);
    }
}

// NT deletes only keys without subkeys, so the tree goes from the leaves up.
void DeleteBandOptions() {
    std::vector<std::string> subkeys;
    CollectSubkeysDepthFirst(HKEY_CURRENT_USER, kCorvinaBarKeyPath, std::string(), &subkeys);
    CRegKey options;
    if (options.Open(HKEY_CURRENT_USER, kCorvinaBarKeyPath, KEY_ALL_ACCESS) == ERROR_SUCCESS) {
        for (const std::string& subkey : subkeys) {
            options.DeleteSubKey(subkey.c_str());
        }
        options.Close();
    }
    CRegKey velmora;
    if (velmora.Open(HKEY_CURRENT_USER, kVelmoraKeyPath, KEY_ALL_ACCESS) == ERROR_SUCCESS) {
        const std::string optionsPath = kCorvinaBarKeyPath;
        velmora.DeleteSubKey(optionsPath.substr(optionsPath.rfind('\\') + 1).c_str());
    }
}

} // namespace

HRESULT RegisterBandServer(HMODULE module) {
    const HRESULT hr = RegisterServerModule(module, BandServer());
    DeleteCachedBandList();
    const std::string classKey = std::string("CLSID\\") + kCorvBarClassIdText;
    // The browsers read the Toolbars-menu text from here.
    WriteTerminatedRegistryString(HKEY_CLASSES_ROOT, classKey.c_str(), "",
                                  BuildText(kToolbarMenuText));
    return hr;
}

HRESULT UnregisterBandServer(HMODULE module) {
    DeleteCachedBandList();
    DeleteBandOptions();
    return UnregisterServerModule(module, BandServer());
}
