// Arbitrary bytes as item ID lists, value names, ANSI texts and whole keys of the menu
// item list, checked against the rules the callers rely on.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/core/AnsiText.h"
#include "common/core/ItemIdListBytes.h"
#include "common/core/MenuListValues.h"

using namespace corvina;

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckItemIdList(const uint8_t* data, size_t size) {
    // An exact-size copy lets the sanitizer see any read past the block.
    std::vector<uint8_t> block(data, data + size);
    const size_t valid = ValidItemIdListSize(block.data(), block.size());
    if (valid == 0) {
        return;
    }
    Check(valid <= size);
    Check(ItemIdListSize(block.data()) == valid);
    const std::vector<uint8_t> joined = JoinItemIdListBytes(block.data(), block.data());
    Check(ValidItemIdListSize(joined.data(), joined.size()) == joined.size());
    Check(ItemIdCount(joined.data()) == 2 * ItemIdCount(block.data()));
}

void CheckText(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    char buffer[16];
    const size_t bufferSize = size % 17;
    const size_t length = CopyAnsiText(text, buffer, bufferSize, IsCp932LeadByte);
    Check(bufferSize == 0 ? length == 0 : length < bufferSize && buffer[length] == '\0');
    Check(std::memcmp(buffer, text.data(), length) == 0);
    // Never ends inside a double-byte character.
    for (size_t i = 0; i < length; ++i) {
        if (IsCp932LeadByte(static_cast<unsigned char>(text[i]))) {
            Check(i + 1 < length);
            ++i;
        }
    }
    const std::string folder = ModuleFolderFromPath(text, IsCp932LeadByte);
    Check(folder.empty() || folder.back() == '\\');

    const std::optional<MenuValueName> name = ParseMenuValueName(text);
    if (name) {
        const std::string formatted = FormatMenuValueName(name->kind, name->number);
        Check(formatted.size() == text.size());
        Check(formatted.substr(3) == text.substr(3));
    }
}

// Input: one byte of "Length" size (0-8) and its bytes, then values of
// [name length][name][type][data length][data].
void CheckAssembly(const uint8_t* data, size_t size) {
    size_t at = 0;
    auto take = [&](size_t n) -> const uint8_t* {
        if (size - at < n) {
            return nullptr;
        }
        const uint8_t* p = data + at;
        at += n;
        return p;
    };
    const uint8_t* lengthSize = take(1);
    if (!lengthSize) {
        return;
    }
    const uint8_t* lengthBytes = take(*lengthSize % 9);
    if (!lengthBytes) {
        return;
    }
    const uint32_t length = DecodeMenuListLength(lengthBytes, *lengthSize % 9);
    std::vector<std::vector<uint8_t>> blocks;
    std::vector<StoredValue> values;
    while (at < size && values.size() < 64) {
        const uint8_t* nameSize = take(1);
        const uint8_t* name = nameSize ? take(*nameSize % 16) : nullptr;
        const uint8_t* type = name ? take(1) : nullptr;
        const uint8_t* dataSize = type ? take(1) : nullptr;
        const uint8_t* bytes = dataSize ? take(*dataSize) : nullptr;
        if (!bytes) {
            break;
        }
        blocks.emplace_back(bytes, bytes + *dataSize);
        values.push_back({std::string_view(reinterpret_cast<const char*>(name), *nameSize % 16),
                          static_cast<uint32_t>(*type % 5), nullptr, *dataSize});
    }
    for (size_t i = 0; i < values.size(); ++i) {
        values[i].data = blocks[i].data();
    }
    const std::vector<AssembledRecord> records = AssembleMenuRecords(length, values);
    uint32_t previous = 0;
    for (const AssembledRecord& record : records) {
        Check(record.number > previous && record.number <= length);
        previous = record.number;
        Check(IsValidItemIdList(record.itemIdList, record.itemIdListSize));
        Check(record.displayName.find('\0') == std::string::npos);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CheckItemIdList(data, size);
    CheckText(data, size);
    CheckAssembly(data, size);
    return 0;
}
