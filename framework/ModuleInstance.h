// The module (program or DLL) that this copy of the framework is linked into. The framework
// is a static library, so every module gets its own copy and this names that module.
#pragma once

#include <windows.h>

extern "C" IMAGE_DOS_HEADER __ImageBase;

inline HINSTANCE GetThisModule() {
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}
