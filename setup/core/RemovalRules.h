// The decisions of the removal that need no Windows call: which files go, where they are,
// what the relaunched copy is told, and when a file that would not go asks for a restart.
#pragma once

#include "common/core/AnsiText.h"
#include "setup/core/InstallRules.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

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

// The uninstall entry's "UninstallString": the program path in double quotes, so that a
// reader that runs it as a command line does not cut it at a blank.
std::string QuoteProgramPath(std::string_view path);
// The program path of such a command, in either form it has been stored in: quoted (up to
// the closing quote), or, as older installations wrote it, the whole text unquoted. Blanks
// around it are dropped.
std::string ProgramPathFromCommand(std::string_view command);

// "DisplayName" of the uninstall entry: "Corvina" and the product version the files carry,
// as their version resources spell it ("2.03" for 2.3.x.x).
std::string UninstallDisplayName(const FileVersion& version);

// The folder a removal command line names: blanks around it and one pair of surrounding
// double quotes dropped.
std::string RemovalFolderArgument(std::string_view commandLine);

// Two folders are the same when they are equal without regard to ASCII case, a trailing
// backslash aside (a drive root keeps its own).
bool SameFolder(std::string_view a, std::string_view b, LeadBytePredicate isLead);

// Whether the running program is a temporary copy made by the first stage: a file of the
// "tmpCorvina%08lX.tmp" scheme (any case) directly in the temporary folder.
bool IsTemporaryCopy(std::string_view programPath, std::string_view tempFolder,
                     LeadBytePredicate isLead);

// What the removal stage may do with the folder it was given.
enum class RemovalTarget {
    Installation,      // the recorded installation, holding the suite's files: remove it
    NotAnInstallation, // anything else: say so, and remove nothing
};
// folderExists: the argument names an existing folder; recordedFolders: the folders of the
// uninstall entry's program and of the registered extension (empty ones are ignored);
// holdsSuiteFiles: the folder holds at least one of the suite's programs.
RemovalTarget DecideRemovalTarget(std::string_view folder, bool folderExists,
                                  const std::vector<std::string>& recordedFolders,
                                  bool holdsSuiteFiles, LeadBytePredicate isLead);

} // namespace corvina
