// Byte-level operations on shell item ID lists: a sequence of identifiers, each beginning
// with its own 16-bit little-endian byte count (the count includes the two count bytes),
// ended by a 16-bit zero. Nothing here assumes alignment: lists come from the registry and
// from data objects at any address.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvina {

// Reads a 16-bit little-endian count at any address.
inline uint16_t ReadLe16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

// Size of the well-formed list at the start of data[0, size): the identifiers' counts plus
// 2 for the terminator. 0 when the bytes are not a list: a count below 2, an identifier
// running past the end, or no terminator inside the block. Bytes after the terminator are
// allowed and not part of the list.
size_t ValidItemIdListSize(const void* data, size_t size);

inline bool IsValidItemIdList(const void* data, size_t size) {
    return ValidItemIdListSize(data, size) != 0;
}

// The functions below trust their input to be a well-formed list (one held in memory by
// this program, or one that passed the validation above).

// Full size: sum of the identifiers' counts plus 2.
size_t ItemIdListSize(const void* list);
// Number of identifiers (0 for the empty list, which stands for the desktop).
size_t ItemIdCount(const void* list);
// The last identifier, or the terminator itself when the list is empty.
const uint8_t* LastItemId(const void* list);
// Size of the joined list of parent followed by child.
size_t JoinedItemIdListSize(const void* parent, const void* child);
// Writes parent's identifiers followed by child's, with one terminator, into out, which
// holds JoinedItemIdListSize(parent, child) bytes.
void JoinItemIdListsInto(const void* parent, const void* child, uint8_t* out);

// Byte-vector forms, for code and tests that do not need the task allocator.
std::vector<uint8_t> CopyItemIdListBytes(const void* list);
std::vector<uint8_t> JoinItemIdListBytes(const void* parent, const void* child);

} // namespace corvina
