#include "setup/RemovalFlow.h"

#include <string>

#include "common/ProgramStart.h"
#include "setup/CUninstallDialog.h"
#include "setup/FileRules.h"
#include "setup/InstallSteps.h"
#include "setup/RestartOperations.h"
#include "setup/SetupCommon.h"
#include "setup/core/InstallDecisions.h"
#include "setup/core/RemovalRules.h"
#include "serversetup/core/ServerPaths.h"

#include <vector>

const BilingualText kNotAnInstallationHere = {
    L"このフォルダはCorvinaのインストール先ではありません。何も削除しませんでした。\n"
    L"Corvinaをインストールするには、「Uninstall.exe -install」を実行してください。",
    "ERROR : This folder is not an installation of Corvina. Nothing was removed.\n"
    "To install Corvina, run \"Uninstall.exe -install\"."};
const BilingualText kNotAnInstallationGiven = {
    L"「%s」はCorvinaのインストール先ではありません。何も削除しませんでした。",
    "ERROR : \"%s\" is not an installation of Corvina. Nothing was removed."};

namespace {

// The folder of a full file name, with its trailing backslash.
std::string FolderOfFile(const std::string& path) {
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The long form of an existing path, so that a short (8.3) spelling compares equal.
std::string LongPathOf(const std::string& path) {
    char full[MAX_PATH] = {};
    const DWORD fullLength = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    if (fullLength == 0 || fullLength >= MAX_PATH) {
        return path;
    }
    char longer[MAX_PATH] = {};
    const DWORD longLength = GetLongPathNameA(full, longer, MAX_PATH);
    if (longLength == 0 || longLength >= MAX_PATH) {
        return std::string(full, fullLength);
    }
    return std::string(longer, longLength);
}

std::string TemporaryFolder() {
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(MAX_PATH + 1, buffer);
    return length == 0 || length > MAX_PATH ? std::string() : LongPathOf(buffer);
}

// The suite's programs, not its Readme: a folder with none of them installs nothing.
bool HoldsSuiteFiles(const std::string& folder) {
    for (const char* name : corvina::kRemovalFiles) {
        if (std::string(name) != "Readme.txt" &&
            FileExistsAt(corvina::PathInFolder(folder, name, IsSystemLeadByte).c_str())) {
            return true;
        }
    }
    return false;
}

// Whether folder is the recorded installation and still holds the suite: only such a folder
// is ever removed.
bool IsInstallation(const std::string& folder) {
    const bool exists = !folder.empty() && FolderExistsAt(folder.c_str());
    const std::string given = exists ? LongPathOf(folder) : folder;
    std::vector<std::string> recorded;
    for (const std::string& path : RecordedInstallationFolders()) {
        recorded.push_back(path.empty() || !FolderExistsAt(path.c_str()) ? path : LongPathOf(path));
    }
    return corvina::DecideRemovalTarget(given, exists, recorded, exists && HoldsSuiteFiles(given),
                                        IsSystemLeadByte) == corvina::RemovalTarget::Installation;
}

} // namespace

int RunRelaunch() {
    SetSetupMessageCaption(kUninstallCaption);
    const SetupProgram& program = GetSetupProgram();
    if (!program.administrator) {
        SetupMessageBox(nullptr, kUninstallNeedsAdministrator, MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    // Started from the unpacked package or a copy elsewhere, there is nothing here to remove.
    if (!IsInstallation(corvina::RelaunchFolderArgument(program.folder, IsSystemLeadByte))) {
        SetupMessageBox(nullptr, kNotAnInstallationHere, MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    // The copy runs from the temporary folder, so that the installed uninstall.exe is not in
    // use and can be deleted with the rest.
    std::string copy;
    if (!FindTemporaryCopyName(&copy)) {
        return 0;
    }
    CopyFileByRule(program.path.c_str(), copy.c_str());
    const std::string folder = corvina::RelaunchFolderArgument(program.folder, IsSystemLeadByte);
    const std::string tempFolder = FolderOfFile(copy);
    ProgramStartOptions options;
    options.currentFolder = tempFolder.c_str();
    StartProgram(copy, folder, options);
    return 0;
}

int RunRemoval(const char* commandLine) {
    // The temporary copy cannot delete itself while it runs; Windows does it at the next
    // start, also when the command line turns out to name nothing. Any other program file
    // (the installed one, the package's) is never scheduled.
    const SetupProgram& program = GetSetupProgram();
    if (!program.path.empty() &&
        corvina::IsTemporaryCopy(LongPathOf(program.path), TemporaryFolder(), IsSystemLeadByte)) {
        DeleteOnRestart(program.path.c_str());
    }
    SetSetupMessageCaption(kUninstallCaption);
    const std::string folder = corvina::RemovalFolderArgument(commandLine ? commandLine : "");
    if (!IsInstallation(folder)) {
        SetupMessageBox(nullptr,
                        corvina::FillPathPlaceholder(BuildText(kNotAnInstallationGiven), folder),
                        MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    if (!program.administrator) {
        SetupMessageBox(nullptr, kUninstallNeedsAdministrator, MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    CUninstallDialog dialog(folder);
    dialog.DoModal();
    return 0;
}
