// Replacing and deleting files at the next start of Windows: the system's delayed moves on
// the NT family, the [rename] section of WININIT.INI on the 95/98/Me family. Also the side
// file names and the restart itself.
#pragma once

#include <windows.h>

#include <string>

enum class RestartPlatform {
    Nt,        // MoveFileEx with MOVEFILE_DELAY_UNTIL_REBOOT
    Windows9x, // WININIT.INI
};
// IsNtPlatform's answer as a platform.
RestartPlatform CurrentRestartPlatform();

// The Windows folder, a backslash when missing, and "WININIT.INI".
std::string DefaultWininitPath();

// Schedules the deletion of a file or folder. Always 1: a failed schedule leaves the file
// where it is and the caller still asks for a restart.
BOOL DeleteOnRestart(const char* path);
// Schedules source (the new copy) to take the place of target (the file in use). Always 1.
BOOL ReplaceOnRestart(const char* source, const char* target);

// The same with the platform chosen by the caller and, for the 95/98/Me way, the file to
// edit (the tests edit a file of their own on any system). WININIT.INI is never left cut
// short: the new contents are written whole beside it and only then take its place.
BOOL DeleteOnRestart(const char* path, RestartPlatform platform, const char* wininitPath);
BOOL ReplaceOnRestart(const char* source, const char* target, RestartPlatform platform,
                      const char* wininitPath);

// How WININIT.INI gets its new contents: written whole to "<path>.new" beside it, and only
// once that file is complete and closed moved into its place (MoveFileEx replacing it; on
// the 95/98/Me family, which lacks that, through ReplaceByRenames). A write that fails
// deletes the new file and leaves the old one as it was. 1 when WININIT.INI then holds
// the new contents.
BOOL WriteWininitContents(const char* wininitPath, const std::string& contents);
std::string WininitNewFilePath(const char* wininitPath);    // "<path>.new"
std::string WininitBackupFilePath(const char* wininitPath); // "<path>.old"
// Puts newPath in the place of path with plain renames: path becomes the backup name,
// newPath becomes path, and the backup is deleted. When the second step fails, the backup
// is renamed back. 1 on success.
BOOL ReplaceByRenames(const char* newPath, const char* path);

// The first "<path>.<n>" (n from 1) that is not an existing file; a folder of that name does
// not count. 1 and the name, or 0 and an empty name.
BOOL FindSideFileName(const char* path, std::string* name);
// The first "<temp>tmpCorvina%08lX.tmp" (counter from 0) that is not an existing file, in the
// temporary folder (GetTempPath) or in tempFolder. 1 and the name, or 0 and an empty name.
BOOL FindTemporaryCopyName(std::string* name);
BOOL FindTemporaryCopyName(const char* tempFolder, std::string* name);

// Asks the system to restart, with the shutdown privilege enabled first on the NT family.
// 1 when the request was accepted.
BOOL RestartWindows();
