// The decisions of the removal that need no Windows call: which files go, where they are,
// what the relaunched copy is told, and when a file that would not go asks for a restart.
#pragma once

#include "common/core/AnsiText.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace corvina {

// The files of an installation, in the order they are deleted.
constexpr size_t kRemovalFileCount = 6;
extern const char* const kRemovalFiles[kRemovalFileCount];

// True when the last character of text is a backslash (a 0x5C trail byte is not one).
bool EndsWithBackslash(std::string_view text, LeadBytePredicate isLead);

// The folder the first stage hands to its copy: the program's folder without its trailing
// backslash, except that a drive root keeps it ("C:\").
std::string RelaunchFolderArgument(std::string_view programFolder, LeadBytePredicate isLead);

// After both delete attempts: a file that is gone, or was never there, is removed; one that
// is still there is left for the next start of Windows, which then has to come.
enum class FileRemoval {
    Removed,
    ScheduleForRestart,
};
FileRemoval DecideFileRemoval(bool deleted, bool stillPresent);

} // namespace corvina
