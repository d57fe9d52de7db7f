// The "-install" mode: the installation dialog and the installation steps.
#pragma once

#include <windows.h>

// Shows the administrator message, or runs the installation dialog modally. The process
// exit code.
int RunInstall();
