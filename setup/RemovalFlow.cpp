#include "setup/RemovalFlow.h"

#include <string>

#include "setup/CUninstallDialog.h"
#include "setup/FileRules.h"
#include "setup/RestartOperations.h"
#include "setup/SetupCommon.h"
#include "setup/core/RemovalRules.h"

namespace {

// The folder of a full file name, with its trailing backslash.
std::string FolderOfFile(const std::string& path) {
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace

int RunRelaunch() {
    SetSetupMessageCaption(kUninstallCaption);
    const SetupProgram& program = GetSetupProgram();
    if (!program.administrator) {
        SetupMessageBox(nullptr, kUninstallNeedsAdministrator, MB_OK | MB_ICONEXCLAMATION);
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
    StartSetupProgram(copy.c_str(), folder.c_str(), tempFolder.c_str());
    return 0;
}

int RunRemoval(const char* commandLine) {
    // The copy cannot delete itself while it runs; Windows does it at the next start, also
    // when the command line turns out to name nothing.
    const SetupProgram& program = GetSetupProgram();
    if (!program.path.empty()) {
        DeleteOnRestart(program.path.c_str());
    }
    const std::string folder = commandLine ? commandLine : "";
    if (!FolderExistsAt(folder.c_str())) {
        return 0;
    }
    SetSetupMessageCaption(kUninstallCaption);
    if (!program.administrator) {
        SetupMessageBox(nullptr, kUninstallNeedsAdministrator, MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    CUninstallDialog dialog(folder);
    dialog.DoModal();
    return 0;
}
