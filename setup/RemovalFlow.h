// The two stages of removal: with an empty command line the program copies itself to a
// temporary file and starts the copy with its folder; the copy, given that folder, shows
// the uninstall dialog and removes the suite.
#pragma once

#include <windows.h>

// First stage. The process exit code.
int RunRelaunch();
// Second stage with the command line as the installation folder. The process exit code.
int RunRemoval(const char* commandLine);
