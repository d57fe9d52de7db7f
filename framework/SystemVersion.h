// The suite's one question about the system's version, and the NT-family test made of it.
#pragma once

#include <windows.h>

struct CSystemVersion {
    // VER_PLATFORM_WIN32_NT, VER_PLATFORM_WIN32_WINDOWS (95/98/Me) or VER_PLATFORM_WIN32s.
    DWORD platformId = 0;
    DWORD major = 0;
    DWORD minor = 0;

    bool IsNtFamily() const { return platformId == VER_PLATFORM_WIN32_NT; }
};

// What GetVersionExA reports. False, leaving version alone, when the system does not answer.
bool QuerySystemVersion(CSystemVersion* version);
// Windows NT, 2000, XP and later rather than 95/98/Me or Win32s; false when the system does
// not answer.
bool IsNtFamilySystem();
