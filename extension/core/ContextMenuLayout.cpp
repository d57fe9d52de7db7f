#include "extension/core/ContextMenuLayout.h"

#include <algorithm>

namespace corvina {

ContextMenuLayout PlanContextMenuLayout(size_t recordCount, uint32_t firstId, uint32_t lastId) {
    ContextMenuLayout layout{};
    const uint64_t granted =
        lastId >= firstId ? static_cast<uint64_t>(lastId) - firstId + 1 : uint64_t{0};
    if (granted == 0) {
        return layout;
    }
    // Records need room for themselves, the separator and "Settings...".
    const uint64_t roomForRecords = granted >= 3 ? granted - 2 : 0;
    layout.recordsShown = static_cast<size_t>(std::min<uint64_t>(recordCount, roomForRecords));
    layout.separator = layout.recordsShown > 0;
    layout.settings = true;
    layout.settingsOffset =
        static_cast<uint32_t>(layout.recordsShown) + (layout.separator ? 1u : 0u);
    layout.identifierCount = layout.settingsOffset + 1;
    return layout;
}

} // namespace corvina
