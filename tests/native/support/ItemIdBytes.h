// Item ID lists made byte by byte, for the native tests of the rules that read them.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace corvina {

using Bytes = std::vector<uint8_t>;

// An identifier of `count` bytes (count field included) filled with `fill`.
Bytes Id(uint16_t count, uint8_t fill);

// The identifiers back to back, then the two-byte terminator.
Bytes List(std::initializer_list<Bytes> ids);

} // namespace corvina
