// Where a module lives and the files beside it: every deliverable finds its siblings in the
// folder of its own module.
#pragma once

#include <windows.h>

#include <string>

// The folder of the module's file, with a trailing backslash ("C:\Program Files\Corvina\",
// "C:\"). Empty when the module's name cannot be read or does not fit the path limit.
std::string GetModuleFolder(HMODULE module);

// The module folder followed by fileName; empty when the folder is.
std::string GetSiblingPath(HMODULE module, const char* fileName);
