// The resident program's options as both of their users see them: the resident program reads
// them, the settings page writes them. They live in HKEY_CURRENT_USER under
// "Software\Velmora\Corvina Plus" (kCorvinaPlusKeyPath of common/Registry.h).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvina {

// REG_BINARY, two bytes each: the hot-key control's key or modifier byte, then a zero.
inline constexpr char kKeyCodeValueName[] = "KeyCode";
inline constexpr char kModifiersValueName[] = "Modifiers";
// REG_DWORD, 1 or 0: folders open as submenus; with it, only folders are listed in them.
inline constexpr char kTierFlagValueName[] = "TierFlag";
inline constexpr char kFolderOnlyValueName[] = "FolderOnly";

constexpr uint8_t kDefaultHotKeyCode = 81;     // 'Q'
constexpr uint8_t kDefaultHotKeyModifiers = 6; // Ctrl + Alt, hot-key-control form

// Modifier bits as the settings program's hot-key control stores them.
constexpr uint8_t kHotKeyControlShift = 1;
constexpr uint8_t kHotKeyControlCtrl = 2;
constexpr uint8_t kHotKeyControlAlt = 4;
constexpr uint8_t kHotKeyControlExtended = 8; // not a modifier: never registered or compared

struct ResidentOptions {
    uint8_t keyCode = kDefaultHotKeyCode;
    uint8_t modifiers = kDefaultHotKeyModifiers;
    bool tierFlag = false;
    bool folderOnly = false;
};

// One option value as read: whether it exists, whether it is of binary type, its bytes.
struct StoredOptionValue {
    bool exists = false;
    bool binary = false;
    std::vector<uint8_t> bytes;
};

// "KeyCode" and "Modifiers" replace the current combination only together: both must exist,
// be binary and hold at least one byte; then their first bytes are taken. Returns whether
// they were applied.
bool ApplyHotKeyValues(ResidentOptions& options, const StoredOptionValue& keyCode,
                       const StoredOptionValue& modifiers);

// A flag read as a 4-byte number: a readable value sets it to (value != 0); null (missing or
// unreadable) leaves it as it was.
void ApplyFlagValue(bool& flag, const uint32_t* value);

// The bytes "KeyCode" or "Modifiers" is written as.
std::array<uint8_t, 2> EncodeHotKeyValue(uint8_t value);
// The number "TierFlag" or "FolderOnly" is written as.
uint32_t EncodeFlagValue(bool flag);

} // namespace corvina
