#include "common/MenuItemList.h"

#include <cstdint>
#include <algorithm>
#include <optional>
#include <string_view>

#include "common/Registry.h"
#include "framework/CRegKey.h"
#include "common/core/ItemIdListBytes.h"
#include "common/core/MenuListValues.h"

namespace {

// The values of the key that can belong to records 1 .. length, with their data.
struct CandidateValues {
    std::vector<std::string> names;
    std::vector<DWORD> types;
    std::vector<size_t> offsets;
    std::vector<uint8_t> bytes;
};

// One pass over the key's values instead of four queries per record number: a "Length"
// far above the values really stored then costs nothing. The ANSI enumeration converts
// string data exactly as the ANSI query does, so labels read the same either way.
void CollectCandidates(HKEY key, uint32_t length, CandidateValues* out) {
    DWORD valueCount = 0;
    DWORD maxNameChars = 0;
    DWORD maxDataBytes = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &valueCount,
                         &maxNameChars, &maxDataBytes, nullptr, nullptr) != ERROR_SUCCESS) {
        return;
    }
    // Names are counted in characters; in a double-byte code page each may take two bytes.
    std::vector<char> name(static_cast<size_t>(maxNameChars) * 2 + 2);
    std::vector<uint8_t> data(static_cast<size_t>(maxDataBytes) + 1);
    out->names.reserve(valueCount);
    out->types.reserve(valueCount);
    out->offsets.reserve(valueCount);

    int growths = 0;
    for (DWORD index = 0;;) {
        DWORD nameSize = static_cast<DWORD>(name.size());
        DWORD dataSize = static_cast<DWORD>(data.size());
        DWORD type = 0;
        const LONG result = RegEnumValueA(key, index, name.data(), &nameSize, nullptr, &type,
                                          data.data(), &dataSize);
        if (result == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (result == ERROR_MORE_DATA && growths < 16) {
            // The key changed since it was measured: grow and read the same value again.
            ++growths;
            name.resize(name.size() * 2);
            data.resize(std::max<size_t>(data.size() * 2, static_cast<size_t>(dataSize) + 1));
            continue;
        }
        ++index;
        if (result != ERROR_SUCCESS) {
            continue;
        }
        const std::string_view valueName(name.data(), nameSize);
        const std::optional<corvina::MenuValueName> parsed = corvina::ParseMenuValueName(valueName);
        if (!parsed || parsed->number > length) {
            continue;
        }
        // A list value that cannot be accepted is as good as none: keep no bytes for it.
        if (parsed->kind == corvina::MenuValueKind::ItemIdList &&
            (type != REG_BINARY || !corvina::IsValidItemIdList(data.data(), dataSize))) {
            continue;
        }
        out->names.emplace_back(valueName);
        out->types.push_back(type);
        out->offsets.push_back(out->bytes.size());
        out->bytes.insert(out->bytes.end(), data.data(), data.data() + dataSize);
    }
    out->offsets.push_back(out->bytes.size());
}

// The values of one key, each set on its own: open the key, set the value, close it again.
class CRegistryListWriter : public corvina::MenuListValueWriter {
public:
    CRegistryListWriter(HKEY root, const char* path) : m_root(root), m_path(path) {}
    bool WriteDword(const char* name, uint32_t value) override {
        return WriteRegistryDword(m_root, m_path, name, value) != FALSE;
    }
    bool WriteBinary(const char* name, const uint8_t* data, size_t size) override {
        return size <= MAXDWORD &&
               WriteRegistryBinary(m_root, m_path, name, data, static_cast<DWORD>(size)) != FALSE;
    }
    bool WriteText(const char* name, std::string_view text) override {
        return WriteRegistryString(m_root, m_path, name, text) != FALSE;
    }

private:
    HKEY m_root;
    const char* m_path;
};

} // namespace

MenuItemList LoadMenuItemListFrom(HKEY root, const char* path) {
    MenuItemList list;
    CRegKey key;
    if (key.Open(root, path, KEY_QUERY_VALUE) != ERROR_SUCCESS) {
        return list;
    }

    uint8_t lengthBytes[4] = {};
    DWORD lengthSize = sizeof(lengthBytes);
    if (RegQueryValueExA(key.Get(), corvina::kMenuListLengthValue, nullptr, nullptr, lengthBytes,
                         &lengthSize) != ERROR_SUCCESS) {
        return list;
    }
    const uint32_t length = corvina::DecodeMenuListLength(lengthBytes, lengthSize);
    if (length == 0) {
        return list;
    }

    try {
        CandidateValues candidates;
        CollectCandidates(key.Get(), length, &candidates);
        std::vector<corvina::StoredValue> values;
        values.reserve(candidates.names.size());
        for (size_t i = 0; i < candidates.names.size(); ++i) {
            values.push_back({candidates.names[i], candidates.types[i],
                              candidates.bytes.data() + candidates.offsets[i],
                              candidates.offsets[i + 1] - candidates.offsets[i]});
        }
        std::vector<corvina::AssembledRecord> records =
            corvina::AssembleMenuRecords(length, values);
        list.reserve(records.size());
        for (corvina::AssembledRecord& record : records) {
            CItemIdList itemIdList =
                CItemIdList::FromBytes(record.itemIdList, record.itemIdListSize);
            if (!itemIdList) {
                continue;
            }
            list.push_back({std::move(itemIdList), std::move(record.displayName)});
        }
    } catch (...) {
        // Keep the records made so far.
    }
    return list;
}

MenuItemList LoadMenuItemList() {
    return LoadMenuItemListFrom(HKEY_CURRENT_USER, kCorvinaKeyPath);
}

BOOL SaveMenuItemListWith(corvina::MenuListValueWriter& writer, const MenuItemList& list) {
    try {
        std::vector<corvina::MenuRecordToSave> records;
        records.reserve(list.size());
        for (const MenuItemRecord& record : list) {
            const auto* bytes = reinterpret_cast<const uint8_t*>(record.itemIdList.Get());
            records.push_back(
                {bytes, bytes ? corvina::ItemIdListSize(bytes) : 0, record.displayName});
        }
        return corvina::WriteMenuListValues(records, writer) ? TRUE : FALSE;
    } catch (...) {
        // "Length" is written last: whatever stopped the save, the count still names only
        // records that are there.
        return FALSE;
    }
}

BOOL SaveMenuItemListTo(HKEY root, const char* path, const MenuItemList& list) {
    try {
        if (!EnsureRegistryKey(root, path)) {
            return FALSE;
        }
    } catch (...) {
        return FALSE;
    }
    CRegistryListWriter writer(root, path);
    return SaveMenuItemListWith(writer, list);
}

BOOL SaveMenuItemList(const MenuItemList& list) {
    return SaveMenuItemListTo(HKEY_CURRENT_USER, kCorvinaKeyPath, list);
}
