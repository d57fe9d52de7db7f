// Removing the start-menu shortcuts to the settings program and the resident program: the
// ones the installation made and any the user added elsewhere below the programs folder.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Walks programsFolder (no trailing backslash) with every folder below it, deepest first,
// and deletes each shortcut whose target is Corvset.exe or CorvinaPlus.exe. Afterwards each
// folder that held one is removed when it became empty, deeper folders before their
// parents, except the folders of keptFolders (the startup folders).
void RemoveSuiteShortcuts(const std::string& programsFolder,
                          const std::vector<std::string>& keptFolders);

// The target path of a shortcut file; empty when it is no shortcut or names nothing.
std::string ReadShortcutTarget(const std::string& linkPath);

// The folder of a special folder id (CSIDL_*), without a trailing backslash; empty when the
// system has none.
std::string SpecialFolderPath(int csidl);
