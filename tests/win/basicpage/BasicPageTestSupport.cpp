#include "BasicPageTestSupport.h"

#include <shlobj.h>

namespace basicpage_test {

namespace {

constexpr char kListKey[] = "Software\\Velmora\\Corvina";

} // namespace

SavedListKey::SavedListKey() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kListKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return;
    }
    m_existed = true;
    for (DWORD index = 0;; ++index) {
        char name[256] = {};
        DWORD nameSize = sizeof name;
        DWORD type = 0;
        BYTE data[4096];
        DWORD dataSize = sizeof data;
        if (RegEnumValueA(key, index, name, &nameSize, nullptr, &type, data, &dataSize) !=
            ERROR_SUCCESS) {
            break;
        }
        m_values.push_back({name, type, std::vector<BYTE>(data, data + dataSize)});
    }
    RegCloseKey(key);
}

SavedListKey::~SavedListKey() {
    RegDeleteKeyA(HKEY_CURRENT_USER, kListKey);
    if (!m_existed) {
        return;
    }
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kListKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return;
    }
    for (const Value& value : m_values) {
        RegSetValueExA(key, value.name.c_str(), 0, value.type, value.data.data(),
                       static_cast<DWORD>(value.data.size()));
    }
    RegCloseKey(key);
}

std::vector<BYTE> ItemIdListBytes(const std::string& path) {
    std::vector<BYTE> bytes;
    PIDLIST_ABSOLUTE list = nullptr;
    if (FAILED(SHParseDisplayName(ToWide(path).c_str(), nullptr, &list, 0, nullptr)) || !list) {
        return bytes;
    }
    const UINT size = ILGetSize(list);
    const BYTE* begin = reinterpret_cast<const BYTE*>(list);
    bytes.assign(begin, begin + size);
    CoTaskMemFree(list);
    return bytes;
}

std::string ShellDisplayName(const std::string& path) {
    PIDLIST_ABSOLUTE list = nullptr;
    if (FAILED(SHParseDisplayName(ToWide(path).c_str(), nullptr, &list, 0, nullptr)) || !list) {
        return std::string();
    }
    SHFILEINFOA info = {};
    SHGetFileInfoA(reinterpret_cast<const char*>(list), 0, &info, sizeof info,
                   SHGFI_PIDL | SHGFI_DISPLAYNAME);
    CoTaskMemFree(list);
    return info.szDisplayName;
}

void WriteStoredList(const std::vector<std::string>& paths, const std::vector<std::string>& names) {
    RegDeleteKeyA(HKEY_CURRENT_USER, kListKey);
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kListKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return;
    }
    const DWORD length = static_cast<DWORD>(paths.size());
    RegSetValueExA(key, "Length", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&length),
                   sizeof length);
    for (size_t i = 0; i < paths.size(); ++i) {
        char no[16], dn[16];
        wsprintfA(no, "NO.%03lu", static_cast<unsigned long>(i + 1));
        wsprintfA(dn, "DN.%03lu", static_cast<unsigned long>(i + 1));
        const std::vector<BYTE> bytes = ItemIdListBytes(paths[i]);
        RegSetValueExA(key, no, 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
        const std::string& name = i < names.size() ? names[i] : std::string();
        RegSetValueExA(key, dn, 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                       static_cast<DWORD>(name.size()));
    }
    RegCloseKey(key);
}

std::vector<StoredRecord> ReadStoredList() {
    std::vector<StoredRecord> records;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kListKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return records;
    }
    DWORD length = 0;
    DWORD size = sizeof length;
    RegQueryValueExA(key, "Length", nullptr, nullptr, reinterpret_cast<BYTE*>(&length), &size);
    for (DWORD k = 1; k <= length && k < 10000; ++k) {
        char no[16], dn[16];
        wsprintfA(no, "NO.%03lu", static_cast<unsigned long>(k));
        wsprintfA(dn, "DN.%03lu", static_cast<unsigned long>(k));
        StoredRecord record;
        BYTE data[4096];
        size = sizeof data;
        if (RegQueryValueExA(key, no, nullptr, nullptr, data, &size) == ERROR_SUCCESS) {
            record.itemIdList.assign(data, data + size);
        }
        char text[1024] = {};
        size = sizeof text - 1;
        DWORD type = 0;
        record.hasName = RegQueryValueExA(key, dn, nullptr, &type, reinterpret_cast<BYTE*>(text),
                                          &size) == ERROR_SUCCESS &&
                         type == REG_SZ;
        record.name = text;
        records.push_back(std::move(record));
    }
    RegCloseKey(key);
    return records;
}

} // namespace basicpage_test
