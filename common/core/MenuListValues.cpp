#include "common/core/MenuListValues.h"

#include <algorithm>
#include <cstring>

#include "common/core/ItemIdListBytes.h"

namespace corvina {

namespace {

char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool PrefixMatches(std::string_view name, const char* prefix) {
    for (size_t i = 0; i < 3; ++i) {
        if (AsciiUpper(name[i]) != prefix[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

size_t FormatMenuValueName(MenuValueKind kind, uint32_t number, char* out) {
    const char* prefix = kind == MenuValueKind::ItemIdList ? "NO." : "DN.";
    std::memcpy(out, prefix, 3);
    char digits[10];
    size_t n = 0;
    do {
        digits[n++] = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number != 0);
    while (n < 3) {
        digits[n++] = '0';
    }
    size_t length = 3;
    while (n > 0) {
        out[length++] = digits[--n];
    }
    out[length] = '\0';
    return length;
}

std::string FormatMenuValueName(MenuValueKind kind, uint32_t number) {
    char buffer[kMenuValueNameBufferSize];
    const size_t length = FormatMenuValueName(kind, number, buffer);
    return std::string(buffer, length);
}

std::optional<MenuValueName> ParseMenuValueName(std::string_view name) {
    // Between 3 and 10 digits after the prefix.
    if (name.size() < 6 || name.size() > 13) {
        return std::nullopt;
    }
    MenuValueKind kind;
    if (PrefixMatches(name, "NO.")) {
        kind = MenuValueKind::ItemIdList;
    } else if (PrefixMatches(name, "DN.")) {
        kind = MenuValueKind::DisplayName;
    } else {
        return std::nullopt;
    }
    const std::string_view digits = name.substr(3);
    uint64_t number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        number = number * 10 + static_cast<uint64_t>(c - '0');
    }
    if (number == 0 || number > UINT32_MAX) {
        return std::nullopt;
    }
    // Zero-filled to three digits, no leading zero beyond that.
    if (digits.size() > 3 && digits[0] == '0') {
        return std::nullopt;
    }
    return MenuValueName{kind, static_cast<uint32_t>(number)};
}

uint32_t DecodeMenuListLength(const uint8_t* data, size_t size) {
    if (size > 4) {
        return 0;
    }
    uint32_t value = 0;
    for (size_t i = 0; i < size; ++i) {
        value |= static_cast<uint32_t>(data[i]) << (8 * i);
    }
    return value;
}

std::vector<AssembledRecord> AssembleMenuRecords(uint32_t length,
                                                 const std::vector<StoredValue>& values) {
    struct Candidate {
        uint32_t number;
        MenuValueKind kind;
        size_t index;
    };
    std::vector<Candidate> candidates;
    candidates.reserve(values.size());
    for (size_t i = 0; i < values.size(); ++i) {
        const std::optional<MenuValueName> parsed = ParseMenuValueName(values[i].name);
        if (parsed && parsed->number <= length) {
            candidates.push_back({parsed->number, parsed->kind, i});
        }
    }
    // By number, the item ID list before the display name, first occurrence first.
    std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
        if (a.number != b.number) {
            return a.number < b.number;
        }
        if (a.kind != b.kind) {
            return a.kind == MenuValueKind::ItemIdList;
        }
        return a.index < b.index;
    });

    std::vector<AssembledRecord> records;
    size_t i = 0;
    while (i < candidates.size()) {
        const uint32_t number = candidates[i].number;
        const StoredValue* list = nullptr;
        const StoredValue* name = nullptr;
        for (; i < candidates.size() && candidates[i].number == number; ++i) {
            const StoredValue& value = values[candidates[i].index];
            if (candidates[i].kind == MenuValueKind::ItemIdList) {
                if (list == nullptr) {
                    list = &value;
                }
            } else if (name == nullptr) {
                name = &value;
            }
        }
        if (list == nullptr || list->type != kRegTypeBinary ||
            !IsValidItemIdList(list->data, list->size)) {
            continue;
        }
        AssembledRecord record{number, list->data, list->size, std::string()};
        if (name != nullptr && name->size != 0) {
            const char* text = reinterpret_cast<const char*>(name->data);
            const void* zero = std::memchr(text, 0, name->size);
            record.displayName.assign(text,
                                      zero ? static_cast<const char*>(zero) - text : name->size);
        }
        records.push_back(std::move(record));
    }
    return records;
}

std::vector<MenuListWriteStep> PlanMenuListWrites(uint32_t count) {
    std::vector<MenuListWriteStep> steps;
    steps.reserve(static_cast<size_t>(count) * 2 + 1);
    for (uint32_t k = 1; k <= count && k != 0; ++k) {
        steps.push_back({MenuListWriteKind::ItemIdList, k});
        steps.push_back({MenuListWriteKind::DisplayName, k});
    }
    steps.push_back({MenuListWriteKind::Length, count});
    return steps;
}

bool WriteMenuListValues(const std::vector<MenuRecordToSave>& records,
                         MenuListValueWriter& writer) {
    std::vector<const MenuRecordToSave*> stored;
    stored.reserve(records.size());
    for (const MenuRecordToSave& record : records) {
        if (record.itemIdList != nullptr) {
            stored.push_back(&record);
        }
    }
    if (stored.size() > UINT32_MAX) {
        return false;
    }
    bool complete = stored.size() == records.size();
    bool recordsWritten = true;
    char name[kMenuValueNameBufferSize];
    for (const MenuListWriteStep& step : PlanMenuListWrites(static_cast<uint32_t>(stored.size()))) {
        if (step.kind == MenuListWriteKind::Length) {
            if (!recordsWritten || !writer.WriteDword(kMenuListLengthValue, step.number)) {
                complete = false;
            }
            continue;
        }
        const MenuRecordToSave& record = *stored[step.number - 1];
        bool written;
        if (step.kind == MenuListWriteKind::ItemIdList) {
            FormatMenuValueName(MenuValueKind::ItemIdList, step.number, name);
            written = writer.WriteBinary(name, record.itemIdList, record.itemIdListSize);
        } else {
            FormatMenuValueName(MenuValueKind::DisplayName, step.number, name);
            written = writer.WriteText(name, record.displayName);
        }
        recordsWritten = recordsWritten && written;
    }
    return complete && recordsWritten;
}

} // namespace corvina
