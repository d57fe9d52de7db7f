// Shared by the registration tests: the stand-in servers' record and running programs.
#pragma once

#include <windows.h>

#include <string>

#include "TestSupport.h"

std::string CurrentDirectory();
bool SameText(const std::string& a, const std::string& b);

// What the stand-in server recorded: the calls in order ("register;unregister;") and the
// current directory during the last one. Empty when nothing was recorded.
struct ServerRecord {
    std::string calls;
    std::string directory;
};
ServerRecord ReadServerRecord();
void ClearServerRecord();

// The build host's path of a Windows path, through Wine's own conversion; empty if none.
std::string UnixPathOf(const std::string& windowsPath);
