// The installation's own work, apart from its dialog: finding an existing installation,
// checking the package and the steps that copy, link and record the suite.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/UiText.h"
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

// The installation steps from the folder field's text on: false, without a message, for a
// folder that is refused or cannot be created; true once the suite is in place (files in use
// are replaced at the next start and a restart is offered).
bool RunInstallationSteps(HWND owner, CProgressBar& bar, const std::string& folderText,
                          bool existingInstallation);
