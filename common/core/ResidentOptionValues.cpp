#include "common/core/ResidentOptionValues.h"

namespace corvina {

namespace {

bool HasFirstByte(const StoredOptionValue& value) {
    return value.exists && value.binary && !value.bytes.empty();
}

} // namespace

bool ApplyHotKeyValues(ResidentOptions& options, const StoredOptionValue& keyCode,
                       const StoredOptionValue& modifiers) {
    if (!HasFirstByte(keyCode) || !HasFirstByte(modifiers)) {
        return false;
    }
    options.keyCode = keyCode.bytes[0];
    options.modifiers = modifiers.bytes[0];
    return true;
}

void ApplyFlagValue(bool& flag, const uint32_t* value) {
    if (value) {
        flag = *value != 0;
    }
}

std::array<uint8_t, 2> EncodeHotKeyValue(uint8_t value) {
    return {value, 0};
}

uint32_t EncodeFlagValue(bool flag) {
    return flag ? 1 : 0;
}

} // namespace corvina
