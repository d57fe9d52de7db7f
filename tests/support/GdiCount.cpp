#include "GdiCount.h"

#include <winternl.h>

#include <cstdint>

namespace {

// A slot of the GDI handle table that the process environment block points at: 24 bytes in
// 32-bit and 64-bit processes alike (the object's address is kept in 64 bits either way),
// object type at offset 14, zero when free; stock objects are flagged in `unique`.
struct GdiHandleSlot {
    uint64_t object;
    uint32_t owner;
    uint16_t unique;
    uint8_t type;
    uint8_t flags;
    uint64_t user;
};
static_assert(sizeof(GdiHandleSlot) == 24, "GDI handle table slot");

// Where the process environment block keeps the table's address.
constexpr size_t kGdiSharedHandleTableOffset = sizeof(void*) == 8 ? 0xF8 : 0x94;

DWORD CountGdiHandleTableSlots() {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds" // the TEB is read through a segment register
    const auto* peb = reinterpret_cast<const uint8_t*>(NtCurrentTeb()->ProcessEnvironmentBlock);
#pragma GCC diagnostic pop
    const auto* slots =
        *reinterpret_cast<const GdiHandleSlot* const*>(peb + kGdiSharedHandleTableOffset);
    if (!slots) {
        return 0;
    }
    DWORD used = 0;
    for (size_t i = 0; i < 0x10000; ++i) {
        if (slots[i].type != 0 && !(slots[i].unique & 0x80)) {
            ++used;
        }
    }
    return used;
}

} // namespace

DWORD CountGdiObjects() {
    GdiFlush();
    const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    return counted ? counted : CountGdiHandleTableSlots();
}
