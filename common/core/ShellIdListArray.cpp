#include "common/core/ShellIdListArray.h"

#include <algorithm>
#include <cstring>

#include "common/core/ItemIdListBytes.h"

namespace corvina {

namespace {

uint32_t ReadLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

struct Range {
    size_t begin;
    size_t end;
};

ShellIdListArray Failure(IdListArrayError error) {
    ShellIdListArray result;
    result.error = error;
    return result;
}

ShellIdListArray Parse(const void* block, size_t size, bool singleItem) {
    const uint8_t* bytes = static_cast<const uint8_t*>(block);
    if (!bytes || size < 4) {
        return Failure(IdListArrayError::BlockTooSmall);
    }
    const uint32_t count = ReadLe32(bytes);
    if (count == 0) {
        return Failure(IdListArrayError::NoItems);
    }
    if (singleItem && count != 1) {
        return Failure(IdListArrayError::NotOneItem);
    }
    // 64-bit arithmetic: a count near 2^32 must not wrap the table size on 32-bit systems.
    const uint64_t tableSize = 4 + 4 * (static_cast<uint64_t>(count) + 1);
    if (tableSize > size) {
        return Failure(IdListArrayError::TableTruncated);
    }
    const size_t table = static_cast<size_t>(tableSize);

    std::vector<Range> ranges;
    ranges.reserve(static_cast<size_t>(count) + 1);
    IdListSpan parent;
    std::vector<IdListSpan> items;
    items.reserve(count);
    for (uint32_t k = 0; k <= count; ++k) {
        const uint32_t offset = ReadLe32(bytes + 4 + 4 * static_cast<size_t>(k));
        if (offset >= size) {
            return Failure(IdListArrayError::OffsetOutOfRange);
        }
        if (offset < table) {
            return Failure(IdListArrayError::OffsetInTable);
        }
        const size_t listSize = ValidItemIdListSize(bytes + offset, size - offset);
        if (listSize == 0) {
            return Failure(k == 0 ? IdListArrayError::MalformedParent
                                  : IdListArrayError::MalformedItem);
        }
        const IdListSpan span{bytes + offset, listSize};
        if (k == 0) {
            parent = span;
        } else {
            items.push_back(span);
        }
        ranges.push_back({offset, offset + listSize});
    }

    // No two lists may share bytes: sorted by start, each must end before the next begins.
    std::sort(ranges.begin(), ranges.end(),
              [](const Range& a, const Range& b) { return a.begin < b.begin; });
    for (size_t i = 1; i < ranges.size(); ++i) {
        if (ranges[i].begin < ranges[i - 1].end) {
            return Failure(IdListArrayError::ListsOverlap);
        }
    }

    ShellIdListArray result;
    result.parent = parent;
    result.items = std::move(items);
    return result;
}

} // namespace

ShellIdListArray ParseShellIdListArray(const void* block, size_t size) {
    return Parse(block, size, false);
}

ShellIdListArray ParseSingleItemIdListArray(const void* block, size_t size) {
    return Parse(block, size, true);
}

size_t AbsoluteItemIdListSize(const ShellIdListArray& array, size_t index) {
    if (!array.Valid() || index >= array.items.size()) {
        return 0;
    }
    return (array.parent.size - 2) + array.items[index].size;
}

void BuildAbsoluteItemIdList(const ShellIdListArray& array, size_t index, uint8_t* out) {
    if (!array.Valid() || index >= array.items.size() || !out) {
        return;
    }
    const IdListSpan& item = array.items[index];
    std::memcpy(out, array.parent.data, array.parent.size - 2);
    std::memcpy(out + array.parent.size - 2, item.data, item.size);
}

} // namespace corvina
