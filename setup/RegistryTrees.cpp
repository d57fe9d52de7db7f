#include "setup/RegistryTrees.h"

#include "framework/CRegKey.h"
#include "setup/core/InstallRules.h"

#include <string>
#include <vector>

namespace {

std::vector<std::string> SubkeyNames(HKEY root, const std::string& key) {
    std::vector<std::string> names;
    CRegKey opened;
    if (opened.Open(root, key.c_str(), KEY_ENUMERATE_SUB_KEYS) != ERROR_SUCCESS) {
        return names;
    }
    for (DWORD index = 0;; ++index) {
        char name[256] = {};
        DWORD length = sizeof name;
        const LONG result =
            RegEnumKeyExA(opened, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_MORE_DATA) {
            // A name too long for the buffer could not be deleted by name either.
            continue;
        }
        if (result != ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(name, length);
    }
    return names;
}

} // namespace

void DeleteRegistryKeyTree(HKEY root, const char* key) {
    if (!key || !*key) {
        return;
    }
    {
        CRegKey opened;
        if (opened.Open(root, key, KEY_ENUMERATE_SUB_KEYS) != ERROR_SUCCESS) {
            return;
        }
    }
    std::vector<std::string> order;
    try {
        order = corvina::KeyTreeDeletionOrder(
            key, [root](const std::string& parent) { return SubkeyNames(root, parent); });
    } catch (...) {
        // Out of memory: nothing is deleted rather than a parent before its children.
        return;
    }
    for (const std::string& path : order) {
        RegDeleteKeyA(root, path.c_str());
    }
}

void DeleteRegistryValue(HKEY root, const char* key, const char* name) {
    CRegKey opened;
    if (opened.Open(root, key, KEY_SET_VALUE) == ERROR_SUCCESS) {
        opened.DeleteValue(name);
    }
}
