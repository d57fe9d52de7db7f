#include "framework/CRegKey.h"

#include <utility>

CRegKey& CRegKey::operator=(CRegKey&& other) noexcept {
    if (this != &other) {
        Attach(other.Detach());
    }
    return *this;
}

LONG CRegKey::Open(HKEY parent, const char* subKey, REGSAM access) {
    HKEY key = nullptr;
    const LONG result = RegOpenKeyExA(parent, subKey, 0, access, &key);
    if (result == ERROR_SUCCESS) {
        Attach(key);
    }
    return result;
}

LONG CRegKey::Create(HKEY parent, const char* subKey, REGSAM access, DWORD* disposition) {
    HKEY key = nullptr;
    DWORD created = 0;
    const LONG result = RegCreateKeyExA(parent, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                        nullptr, &key, &created);
    if (result == ERROR_SUCCESS) {
        Attach(key);
        if (disposition) {
            *disposition = created;
        }
    }
    return result;
}

void CRegKey::Close() {
    if (m_key) {
        RegCloseKey(m_key);
        m_key = nullptr;
    }
}

void CRegKey::Attach(HKEY key) {
    if (key != m_key) {
        Close();
        m_key = key;
    }
}

HKEY CRegKey::Detach() {
    return std::exchange(m_key, nullptr);
}

LONG CRegKey::QueryValue(const char* name, DWORD* type, void* data, DWORD* size) const {
    return RegQueryValueExA(m_key, name, nullptr, type, static_cast<BYTE*>(data), size);
}

LONG CRegKey::QueryDWORD(const char* name, DWORD& value) const {
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof(data);
    const LONG result = QueryValue(name, &type, &data, &size);
    if (result != ERROR_SUCCESS) {
        return result;
    }
    if (type != REG_DWORD || size != sizeof(data)) {
        return ERROR_INVALID_DATA;
    }
    value = data;
    return ERROR_SUCCESS;
}

LONG CRegKey::QueryString(const char* name, std::string& value) const {
    std::vector<BYTE> bytes;
    DWORD type = 0;
    const LONG result = QueryBinary(name, bytes, &type);
    if (result != ERROR_SUCCESS) {
        return result;
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        return ERROR_INVALID_DATA;
    }
    // Writers may or may not have stored the terminator; stop at the first zero either way.
    size_t length = 0;
    while (length < bytes.size() && bytes[length] != 0) {
        ++length;
    }
    value.assign(reinterpret_cast<const char*>(bytes.data()), length);
    return ERROR_SUCCESS;
}

LONG CRegKey::QueryBinary(const char* name, std::vector<BYTE>& value, DWORD* type) const {
    // The value may grow between the size query and the read; retry a few times.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD size = 0;
        DWORD valueType = 0;
        LONG result = QueryValue(name, &valueType, nullptr, &size);
        if (result != ERROR_SUCCESS) {
            return result;
        }
        std::vector<BYTE> data(size ? size : 1);
        size = static_cast<DWORD>(data.size());
        result = QueryValue(name, &valueType, data.data(), &size);
        if (result == ERROR_MORE_DATA) {
            continue;
        }
        if (result != ERROR_SUCCESS) {
            return result;
        }
        data.resize(size);
        value.swap(data);
        if (type) {
            *type = valueType;
        }
        return ERROR_SUCCESS;
    }
    return ERROR_MORE_DATA;
}

LONG CRegKey::SetValue(const char* name, DWORD type, const void* data, DWORD size) {
    return RegSetValueExA(m_key, name, 0, type, static_cast<const BYTE*>(data), size);
}

LONG CRegKey::SetDWORD(const char* name, DWORD value) {
    return SetValue(name, REG_DWORD, &value, sizeof(value));
}

namespace {

// The text followed by the character that ends it in the call: a zero that the data size
// counts, or, for the text alone, a non-zero one that it leaves out. (RegSetValueExA on NT
// counts a zero byte that follows the data as its terminator.)
template <class Char>
std::basic_string<Char> StoredString(std::basic_string_view<Char> value, RegStringForm form,
                                     DWORD* size) {
    std::basic_string<Char> data(value);
    const bool terminated = form == RegStringForm::Terminated;
    data.push_back(terminated ? Char(0) : Char(1));
    *size = static_cast<DWORD>((value.size() + (terminated ? 1 : 0)) * sizeof(Char));
    return data;
}

} // namespace

LONG CRegKey::SetString(const char* name, std::string_view value, RegStringForm form) {
    DWORD size = 0;
    const std::string data = StoredString(value, form, &size);
    return SetValue(name, REG_SZ, data.data(), size);
}

LONG CRegKey::SetWideString(const wchar_t* name, std::wstring_view value, RegStringForm form) {
    DWORD size = 0;
    const std::wstring data = StoredString(value, form, &size);
    return RegSetValueExW(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.data()), size);
}

LONG CRegKey::SetBinary(const char* name, const void* data, DWORD size) {
    return SetValue(name, REG_BINARY, data, size);
}

LONG CRegKey::DeleteValue(const char* name) {
    return RegDeleteValueA(m_key, name);
}

LONG CRegKey::DeleteSubKey(const char* name) {
    return RegDeleteKeyA(m_key, name);
}

LONG CRegKey::DeleteTree(const char* name) {
    CRegKey child;
    LONG result = child.Open(m_key, name, KEY_READ | KEY_WRITE);
    if (result != ERROR_SUCCESS) {
        return result;
    }
    // Always take the first subkey: indexes shift as subkeys go.
    char subName[256];
    for (;;) {
        DWORD length = sizeof(subName);
        result = RegEnumKeyExA(child, 0, subName, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (result != ERROR_SUCCESS) {
            return result;
        }
        result = child.DeleteTree(subName);
        if (result != ERROR_SUCCESS) {
            return result;
        }
    }
    child.Close();
    return RegDeleteKeyA(m_key, name);
}
