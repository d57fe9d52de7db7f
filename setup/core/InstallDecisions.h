// What the installation dialog decides without a Windows call: the package's files, what
// the comparison with an installed version leads to, and the paths inside the installation
// folder.
#pragma once

#include "common/core/AnsiText.h"
#include "setup/core/InstallRules.h"

#include <string>
#include <string_view>
#include <vector>

namespace corvina {

// The files of a package, in the order they are checked and copied: the last one's version
// is the package's.
const std::vector<std::string>& PackageFileNames();

enum class InstallVerdict {
    Refuse,         // the package is older than what is installed
    AskReinstall,   // the same version: ask before installing over it
    WaitForTheUser, // the package is newer (or nothing is installed)
};
InstallVerdict DecideInstall(const FileVersion& package, const FileVersion& installed);

// name inside folder: one backslash between them, none added after a folder that ends with
// one already ("C:\"); a 0x5C trail byte at the end is not one.
std::string PathInFolder(std::string_view folder, std::string_view name, LeadBytePredicate isLead);

} // namespace corvina
