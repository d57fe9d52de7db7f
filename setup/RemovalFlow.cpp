#include "setup/RemovalFlow.h"

// Placeholders until the uninstall dialog lands.
int RunRelaunch() {
    return 0;
}

int RunRemoval(const char* /*commandLine*/) {
    return 0;
}
