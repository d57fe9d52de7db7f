// Which entries of the "&Corvina" submenu get a command identifier, given the identifiers the
// shell grants (first to last, both included).
#pragma once

#include <cstddef>
#include <cstdint>

namespace corvina {

struct ContextMenuLayout {
    size_t recordsShown;      // records at offsets 0 .. recordsShown - 1
    bool separator;           // owner-drawn separator at offset recordsShown
    bool settings;            // the "Settings..." entry at settingsOffset
    uint32_t settingsOffset;  //
    uint32_t identifierCount; // identifiers used, the count the menu request returns
};

// Everything fits: the records, a separator when there is at least one record, then
// "Settings...". When the shell grants fewer identifiers, "Settings..." is kept (it is where
// the user mends the list), the separator is kept while at least one record is shown, and the
// records are cut from the end. With no identifier at all nothing is added.
ContextMenuLayout PlanContextMenuLayout(size_t recordCount, uint32_t firstId, uint32_t lastId);

} // namespace corvina
