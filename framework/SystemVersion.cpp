#include "framework/SystemVersion.h"

bool QuerySystemVersion(CSystemVersion* version) {
    // The structure of the old systems, without the service-pack fields: every Windows since
    // 95 accepts it.
    static_assert(sizeof(OSVERSIONINFOA) == 148, "OSVERSIONINFOA must be 148 bytes");
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!version || !GetVersionExA(&info)) {
        return false;
    }
#pragma GCC diagnostic pop
    version->platformId = info.dwPlatformId;
    version->major = info.dwMajorVersion;
    version->minor = info.dwMinorVersion;
    return true;
}

bool IsNtFamilySystem() {
    CSystemVersion version;
    return QuerySystemVersion(&version) && version.IsNtFamily();
}
