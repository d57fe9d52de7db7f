#include "setup/InstallFlow.h"

// Placeholder until the installation dialog lands.
int RunInstall() {
    return 0;
}
