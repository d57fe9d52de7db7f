// Shell links of the installer.
#pragma once

#include <string>

// Creates (or replaces) the shortcut linkPath whose only content is target: no arguments,
// no working folder, no icon of its own. False when the shell link could not be saved.
bool CreateShortcut(const std::string& linkPath, const std::string& target);
