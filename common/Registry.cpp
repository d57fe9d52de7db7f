#include "common/Registry.h"

#include <cstring>

#include "framework/CRegKey.h"
#include <vector>

const char kVelmoraKeyPath[] = "Software\\Velmora";
const char kCorvinaKeyPath[] = "Software\\Velmora\\Corvina";
const char kCorvinaPlusKeyPath[] = "Software\\Velmora\\Corvina Plus";
const char kCorvinaBarKeyPath[] = "Software\\Velmora\\Corvina Bar";

namespace {

LONG SetValue(HKEY root, const char* path, const char* name, DWORD type, const void* data,
              DWORD size) {
    CRegKey key;
    LONG result = key.Open(root, path, KEY_SET_VALUE);
    if (result == ERROR_SUCCESS) {
        result = key.SetValue(name, type, data, size);
    }
    return result;
}

LONG QueryValue(HKEY root, const char* path, const char* name, void* data, DWORD* size) {
    CRegKey key;
    LONG result = key.Open(root, path, KEY_QUERY_VALUE);
    if (result == ERROR_SUCCESS) {
        result = key.QueryValue(name, nullptr, data, size);
    }
    return result;
}

} // namespace

BOOL EnsureRegistryKey(HKEY root, const char* path) {
    std::string opened;
    for (const char* level = path; *level;) {
        const char* end = std::strchr(level, '\\');
        const std::string name(level, end ? static_cast<size_t>(end - level) : std::strlen(level));
        const std::string parent = opened;
        opened += (opened.empty() ? "" : "\\") + name;
        level = end ? end + 1 : level + name.size();
        CRegKey key;
        if (name.empty() || key.Open(root, opened.c_str(), KEY_READ) == ERROR_SUCCESS) {
            continue;
        }
        // Create only this level, under the one before it.
        CRegKey parentKey;
        if (!parent.empty() &&
            parentKey.Open(root, parent.c_str(), KEY_CREATE_SUB_KEY) != ERROR_SUCCESS) {
            return FALSE;
        }
        if (key.Create(parent.empty() ? root : parentKey.Get(), name.c_str(), KEY_READ) !=
            ERROR_SUCCESS) {
            return FALSE;
        }
    }
    return TRUE;
}

BOOL ReadRegistryString(HKEY root, const char* path, const char* name, std::string* text) {
    CRegKey key;
    if (key.Open(root, path, KEY_QUERY_VALUE) != ERROR_SUCCESS) {
        return FALSE;
    }
    // The value may grow between the two queries; ask again then.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD size = 0;
        if (key.QueryValue(name, nullptr, nullptr, &size) != ERROR_SUCCESS) {
            return FALSE;
        }
        std::vector<char> data(static_cast<size_t>(size) + 1, '\0');
        const LONG result = key.QueryValue(name, nullptr, data.data(), &size);
        if (result == ERROR_MORE_DATA) {
            continue;
        }
        if (result != ERROR_SUCCESS) {
            return FALSE;
        }
        data[size] = '\0';
        text->assign(data.data());
        return TRUE;
    }
    return FALSE;
}

namespace {

BOOL WriteString(HKEY root, const char* path, const char* name, std::string_view text,
                 RegStringForm form) {
    CRegKey key;
    if (key.Open(root, path, KEY_SET_VALUE) != ERROR_SUCCESS) {
        return FALSE;
    }
    return key.SetString(name, text, form) == ERROR_SUCCESS;
}

} // namespace

BOOL WriteRegistryString(HKEY root, const char* path, const char* name, std::string_view text) {
    return WriteString(root, path, name, text, RegStringForm::TextOnly);
}

BOOL WriteTerminatedRegistryString(HKEY root, const char* path, const char* name,
                                   std::string_view text) {
    return WriteString(root, path, name, text, RegStringForm::Terminated);
}

BOOL ReadRegistryDword(HKEY root, const char* path, const char* name, DWORD* value) {
    DWORD data = 0;
    DWORD size = sizeof(data);
    if (QueryValue(root, path, name, &data, &size) != ERROR_SUCCESS) {
        return FALSE;
    }
    *value = data;
    return TRUE;
}

BOOL WriteRegistryDword(HKEY root, const char* path, const char* name, DWORD value) {
    return SetValue(root, path, name, REG_DWORD, &value, sizeof(value)) == ERROR_SUCCESS;
}

BOOL ReadRegistryBinary(HKEY root, const char* path, const char* name, void* data, DWORD* size) {
    return QueryValue(root, path, name, data, size) == ERROR_SUCCESS;
}

BOOL WriteRegistryBinary(HKEY root, const char* path, const char* name, const void* data,
                         DWORD size) {
    return SetValue(root, path, name, REG_BINARY, data, size) == ERROR_SUCCESS;
}
