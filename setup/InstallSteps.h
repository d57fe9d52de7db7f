// The installation's own work, apart from its dialog: finding an existing installation,
// checking the package and the steps that copy, link and record the suite.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "common/UiText.h"
#include "setup/FileRules.h"
#include "setup/core/InstallRules.h"

class CProgressBar;

// The texts of the installation dialog and its message boxes.
extern const BilingualText kExistingInstallationFound;
extern const BilingualText kChooseInstallFolder;
extern const BilingualText kPackageIncomplete;
extern const BilingualText kNewerVersionInstalled;
extern const BilingualText kSameVersionInstalled;
extern const BilingualText kBrowseTitle;
extern const BilingualText kRestartQuestion;
extern const BilingualText kRestartManually;
extern const BilingualText kInstallationCompleted;
// "「%s」をコピーできませんでした。…" / "ERROR : "%s" could not be copied. …", the file that
// could not be written in place of %s.
extern const BilingualText kCopyFailed;
// "インストール先「%s」にインストールできませんでした。" / "ERROR : Corvina could not be
// installed in "%s"."
extern const BilingualText kInstallFolderUnusable;

// The folder of the registered context-menu extension or, failing that, of the uninstall
// entry's program; false when neither names one.
bool FindExistingInstallation(std::string* folder);

// The folders an installation is recorded in: that of the uninstall entry's program and that
// of the registered context-menu extension, each "" when it names none.
std::vector<std::string> RecordedInstallationFolders();

// The program-files folder followed by "\Velmora\Corvina".
std::string DefaultInstallFolder();

// Reads the version of every package file in folder, in order; the version read last (that
// of Uninstall.exe) goes to *version. With requireAll, false as soon as one is missing;
// otherwise a missing file reads as 0.0.0.0.
bool ReadPackageVersion(const std::string& folder, bool requireAll, corvina::FileVersion* version);

// The copy of the package files into installFolder, in order, advance told the bar's
// position before each and 100 at the end. A target in use gets a side file that takes its
// place at the next start. Any other failed copy, or a side file that cannot be written,
// stops the copy there: the files after it are not touched.
struct PackageCopyResult {
    bool completed = true; // every file copied or put in place for the next start
    bool restartNeeded = false;
    std::string failedPath; // the file that could not be written, when not completed
    DWORD error = ERROR_SUCCESS;
};
PackageCopyResult CopyPackageFiles(const std::string& packageFolder,
                                   const std::string& installFolder,
                                   const std::function<void(int)>& advance, FileCopyOperation copy);

// The copy failure's message: kCopyFailed with the path, and the system's description of
// the error on a line of its own when it has one.
std::string BuildCopyFailedText(const std::string& path, DWORD error);

enum class InstallResult {
    Installed,     // the suite is in place (files in use are replaced at the next start)
    FolderRefused, // refused or not creatable; nothing was said, nothing was copied
    CopyFailed,    // said in a message box; no shortcut or uninstall entry was written
};
// The installation steps from the folder field's text on.
InstallResult RunInstallationSteps(HWND owner, CProgressBar& bar, const std::string& folderText,
                                   bool existingInstallation);
