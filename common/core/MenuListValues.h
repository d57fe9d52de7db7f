// The registry form of the menu item list, decided without touching the registry: value
// names "NO.%03u" (item ID list) and "DN.%03u" (display name) for records numbered from 1,
// the "Length" count, and the assembly of records from the values a key holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvina {

// Registry value types as stored (same numbers as the system's REG_* constants).
constexpr uint32_t kRegTypeSz = 1;
constexpr uint32_t kRegTypeBinary = 3;
constexpr uint32_t kRegTypeDword = 4;

constexpr char kMenuListLengthValue[] = "Length";

enum class MenuValueKind { ItemIdList, DisplayName };

struct MenuValueName {
    MenuValueKind kind;
    uint32_t number;
};

// Longest value name: "NO." plus the ten digits of 4294967295, plus a terminator.
constexpr size_t kMenuValueNameBufferSize = 14;

// Writes "NO.%03u" or "DN.%03u" for number into out (kMenuValueNameBufferSize bytes) and
// returns its length. Numbers are unsigned: record 2147483648 is "NO.2147483648".
size_t FormatMenuValueName(MenuValueKind kind, uint32_t number, char* out);
std::string FormatMenuValueName(MenuValueKind kind, uint32_t number);

// Recognises a value name as the registry would match it against FormatMenuValueName's
// output for some record number k >= 1: prefix compared without regard to ASCII case, then
// exactly the digits that formatting k gives ("NO.001", "dn.1000"; not "NO.01", "NO.0001",
// "NO.000", "NO.+01", "NO.1 ").
std::optional<MenuValueName> ParseMenuValueName(std::string_view name);

// Record count from a query of "Length" into a 4-byte buffer that succeeded with `size`
// bytes: shorter data leaves the high bytes zero, and more than 4 bytes cannot have been
// read (the query fails, and the count is 0). The stored type does not matter.
uint32_t DecodeMenuListLength(const uint8_t* data, size_t size);

// One value of the key as an enumeration returns it. String data is in the system's ANSI
// code page, as the ANSI registry functions return it.
struct StoredValue {
    std::string_view name;
    uint32_t type;
    const uint8_t* data;
    size_t size;
};

// One accepted record. itemIdList points into the StoredValue data it came from: the whole
// value, which begins with a well-formed list.
struct AssembledRecord {
    uint32_t number;
    const uint8_t* itemIdList;
    size_t itemIdListSize;
    std::string displayName;
};

// The records that reading "NO.k"/"DN.k" for k = 1 .. length in turn accepts, in ascending
// k: "NO.k" must exist, be binary and begin with a well-formed item ID list; "DN.k" of any
// type gives the display name, read as text up to its first zero byte (missing: empty).
// Values of other names, and numbers above length, are ignored. Cost depends on the values
// given, never on length. Should the same name appear twice, the first one counts.
std::vector<AssembledRecord> AssembleMenuRecords(uint32_t length,
                                                 const std::vector<StoredValue>& values);

} // namespace corvina
