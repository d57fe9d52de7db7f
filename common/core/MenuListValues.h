// The registry form of the menu item list, decided without touching the registry: value
// names "NO.%03u" (item ID list) and "DN.%03u" (display name) for records numbered from 1,
// the "Length" count, the assembly of records from the values a key holds, and the order in
// which a save writes them.
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

// One write of a save: "NO.number", "DN.number", or "Length" = number.
enum class MenuListWriteKind { ItemIdList, DisplayName, Length };
struct MenuListWriteStep {
    MenuListWriteKind kind;
    uint32_t number;
};

// The writes that store a list of count records, in order: NO.k and DN.k for k = 1 .. count,
// then "Length". Readers run while a save is half-way and stop at "Length", so "Length" goes
// last: a growing list keeps the old count until every new record is in place, and a
// shrinking one has its new records written before the count drops. A reader thus never
// sees a count that names a record not yet written (or a leftover of some older, longer
// list), and never fewer records than the shorter of the old and the new list.
std::vector<MenuListWriteStep> PlanMenuListWrites(uint32_t count);

// Where a save's values go: the list's registry key, or a stand-in of the tests. Each call
// sets one value and says whether it was stored.
class MenuListValueWriter {
public:
    virtual ~MenuListValueWriter() = default;
    virtual bool WriteDword(const char* name, uint32_t value) = 0;
    virtual bool WriteBinary(const char* name, const uint8_t* data, size_t size) = 0;
    // REG_SZ of the text's bytes, without a terminator.
    virtual bool WriteText(const char* name, std::string_view text) = 0;
};

// One record to save; a null itemIdList stands for a record that has none.
struct MenuRecordToSave {
    const uint8_t* itemIdList;
    size_t itemIdListSize;
    std::string_view displayName;
};

// Writes records in the order of PlanMenuListWrites. Records without an item ID list cannot
// be stored: they are left out and the rest numbered without gaps. A value that cannot be
// written does not stop the other records, but "Length" is then left as it was, so that it
// never names a record that is missing. True only when every record was stored and "Length"
// written. Whatever the writer throws passes through; the values written until then stay.
bool WriteMenuListValues(const std::vector<MenuRecordToSave>& records, MenuListValueWriter& writer);

} // namespace corvina
