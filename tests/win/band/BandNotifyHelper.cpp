// Announces a list change to every band toolbar of the system from a process of its own, as
// the settings program does. Exit code: the number of toolbars posted to.
#include <windows.h>

#include "common/WindowMessages.h"

int main() {
    return static_cast<int>(NotifyBandWindows());
}
