// "Shell IDList Array" data as drag and drop delivers it: a 32-bit count n, then n + 1 32-bit
// byte offsets from the start of the block; offset 0 locates the parent folder's absolute
// item ID list, offsets 1 .. n the items' lists relative to that folder.
//
// The block comes from another process, so nothing in it is trusted: the parser checks the
// count, every offset and every list against the block's size before anything is read through
// them. Offsets need not be aligned; the lists are read byte by byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvina {

enum class IdListArrayError {
    None,
    BlockTooSmall,    // not even the count fits
    NoItems,          // count 0
    NotOneItem,       // a single item was required and the count is larger
    TableTruncated,   // the n + 1 offsets do not fit in the block
    OffsetOutOfRange, // an offset at or past the end of the block
    OffsetInTable,    // a list would start inside the count and offset table
    MalformedParent,  // no well-formed list at offset 0 inside the block
    MalformedItem,    // no well-formed list at one of the item offsets
    ListsOverlap,     // two lists share bytes
};

// Bytes of one well-formed item ID list inside the block, terminator included.
struct IdListSpan {
    const uint8_t* data = nullptr;
    size_t size = 0;
};

struct ShellIdListArray {
    IdListArrayError error = IdListArrayError::None;
    IdListSpan parent;
    std::vector<IdListSpan> items; // in the order of their offsets; empty on error

    bool Valid() const { return error == IdListArrayError::None; }
};

// Checks and splits a whole block of `size` bytes. On success every span lies inside the
// block, outside the table, and apart from every other span.
ShellIdListArray ParseShellIdListArray(const void* block, size_t size);

// The same for data that must hold exactly one item (count 1).
ShellIdListArray ParseSingleItemIdListArray(const void* block, size_t size);

// Size of the absolute list made of a parsed parent and one of its items.
size_t AbsoluteItemIdListSize(const ShellIdListArray& array, size_t index);
// The parent's identifiers followed by the item's, one terminator; out holds
// AbsoluteItemIdListSize(array, index) bytes.
void BuildAbsoluteItemIdList(const ShellIdListArray& array, size_t index, uint8_t* out);

} // namespace corvina
