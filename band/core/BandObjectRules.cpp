#include "band/core/BandObjectRules.h"

namespace corvina {

std::string HostNameFromModulePath(const std::string& modulePath) {
    const size_t slash = modulePath.rfind('\\');
    return slash == std::string::npos ? modulePath : modulePath.substr(slash + 1);
}

bool NewRowFlagFromStoredValue(bool readable, uint32_t value) {
    return !readable || value != 0;
}

ShowStep PlanShow(bool newRowFlag, bool hasWindow, int32_t show) {
    ShowStep step{};
    step.breakRow = newRowFlag;
    step.showWindow = hasWindow && show == 1;
    step.clearNewRow = hasWindow && show != 1;
    return step;
}

bool ClosingStoresNewRow(bool hasWindow, bool visible) {
    return hasWindow && !visible;
}

} // namespace corvina
