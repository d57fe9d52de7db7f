// How many GDI objects this process holds.
#pragma once

#include <windows.h>

// Wine's GetGuiResources always answers 0, so where it does the used slots of the process's
// GDI handle table are counted instead, in 32-bit and 64-bit builds alike.
DWORD CountGdiObjects();
