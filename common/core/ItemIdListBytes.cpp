#include "common/core/ItemIdListBytes.h"

#include <cstring>

namespace corvina {

size_t ValidItemIdListSize(const void* data, size_t size) {
    if (data == nullptr) {
        return 0;
    }
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    size_t offset = 0;
    for (;;) {
        if (size - offset < 2) {
            return 0;
        }
        const size_t count = ReadLe16(bytes + offset);
        if (count == 0) {
            return offset + 2;
        }
        // A count of 1 would never advance past its own count field.
        if (count < 2 || count > size - offset) {
            return 0;
        }
        offset += count;
    }
}

size_t ItemIdListSize(const void* list) {
    const uint8_t* bytes = static_cast<const uint8_t*>(list);
    size_t offset = 0;
    while (size_t count = ReadLe16(bytes + offset)) {
        offset += count;
    }
    return offset + 2;
}

size_t ItemIdCount(const void* list) {
    const uint8_t* bytes = static_cast<const uint8_t*>(list);
    size_t offset = 0;
    size_t n = 0;
    while (size_t count = ReadLe16(bytes + offset)) {
        offset += count;
        ++n;
    }
    return n;
}

const uint8_t* LastItemId(const void* list) {
    const uint8_t* bytes = static_cast<const uint8_t*>(list);
    const uint8_t* last = bytes;
    size_t offset = 0;
    while (size_t count = ReadLe16(bytes + offset)) {
        last = bytes + offset;
        offset += count;
    }
    return last;
}

size_t JoinedItemIdListSize(const void* parent, const void* child) {
    return ItemIdListSize(parent) - 2 + ItemIdListSize(child);
}

void JoinItemIdListsInto(const void* parent, const void* child, uint8_t* out) {
    const size_t parentBody = ItemIdListSize(parent) - 2;
    std::memcpy(out, parent, parentBody);
    std::memcpy(out + parentBody, child, ItemIdListSize(child));
}

std::vector<uint8_t> CopyItemIdListBytes(const void* list) {
    const uint8_t* bytes = static_cast<const uint8_t*>(list);
    return std::vector<uint8_t>(bytes, bytes + ItemIdListSize(list));
}

std::vector<uint8_t> JoinItemIdListBytes(const void* parent, const void* child) {
    std::vector<uint8_t> out(JoinedItemIdListSize(parent, child));
    JoinItemIdListsInto(parent, child, out.data());
    return out;
}

} // namespace corvina
