#include "common/ResidentOptionsStore.h"

#include "common/Registry.h"
#include "framework/CRegKey.h"

using corvina::ResidentOptions;
using corvina::StoredOptionValue;

namespace {

StoredOptionValue ReadStoredValue(const CRegKey& key, const char* name) {
    StoredOptionValue value;
    DWORD type = 0;
    DWORD size = 0;
    if (!key || key.QueryValue(name, &type, nullptr, &size) != ERROR_SUCCESS) {
        return value;
    }
    value.bytes.resize(size);
    if (key.QueryValue(name, &type, size ? value.bytes.data() : nullptr, &size) != ERROR_SUCCESS) {
        value.bytes.clear();
        return value;
    }
    value.bytes.resize(size);
    value.exists = true;
    value.binary = type == REG_BINARY;
    return value;
}

void ApplyStoredFlag(bool& flag, const char* name) {
    DWORD stored = 0;
    if (ReadRegistryDword(HKEY_CURRENT_USER, kCorvinaPlusKeyPath, name, &stored)) {
        const uint32_t number = stored;
        corvina::ApplyFlagValue(flag, &number);
    }
}

BOOL WriteHotKeyValue(const char* name, uint8_t value) {
    const auto bytes = corvina::EncodeHotKeyValue(value);
    return WriteRegistryBinary(HKEY_CURRENT_USER, kCorvinaPlusKeyPath, name, bytes.data(),
                               static_cast<DWORD>(bytes.size()));
}

BOOL WriteFlagValue(const char* name, bool flag) {
    return WriteRegistryDword(HKEY_CURRENT_USER, kCorvinaPlusKeyPath, name,
                              corvina::EncodeFlagValue(flag));
}

} // namespace

ResidentOptions LoadResidentOptions(ResidentOptions current) {
    {
        CRegKey key;
        key.Open(HKEY_CURRENT_USER, kCorvinaPlusKeyPath, KEY_QUERY_VALUE);
        corvina::ApplyHotKeyValues(current, ReadStoredValue(key, corvina::kKeyCodeValueName),
                                   ReadStoredValue(key, corvina::kModifiersValueName));
    }
    ApplyStoredFlag(current.tierFlag, corvina::kTierFlagValueName);
    ApplyStoredFlag(current.folderOnly, corvina::kFolderOnlyValueName);
    return current;
}

BOOL SaveResidentOptions(const ResidentOptions& options) {
    // Every value is tried even after a failure, as the page always did.
    const BOOL keyCode = WriteHotKeyValue(corvina::kKeyCodeValueName, options.keyCode);
    const BOOL modifiers = WriteHotKeyValue(corvina::kModifiersValueName, options.modifiers);
    const BOOL tierFlag = WriteFlagValue(corvina::kTierFlagValueName, options.tierFlag);
    const BOOL folderOnly = WriteFlagValue(corvina::kFolderOnlyValueName, options.folderOnly);
    return keyCode && modifiers && tierFlag && folderOnly;
}
