#include "setup/InstallSteps.h"

#include <shlobj.h>

#include "common/ProgramStart.h"
#include "common/core/SuiteNames.h"
#include "framework/CRegKey.h"
#include "setup/CProgressBar.h"
#include "setup/FileRules.h"
#include "setup/RestartOperations.h"
#include "setup/SetupCommon.h"
#include "setup/Shortcuts.h"
#include "setup/core/InstallDecisions.h"
#include "setup/core/RemovalRules.h"
#include "serversetup/core/ServerPaths.h"

const BilingualText kExistingInstallationFound = {
    L"古いバージョンのCorvinaが見つかりました。\n上書きインストールを行います。",
    "Corvina of an old version was found. Overwrite installation is performed."};
const BilingualText kChooseInstallFolder = {L"インストール先のパスを設定してください。",
                                            "Please set up the path of an installation place."};
const BilingualText kPackageIncomplete = {L"インストールに必要なファイルが不足しています。",
                                          "Files required for installation are insufficient."};
const BilingualText kNewerVersionInstalled = {
    L"インストール元よりも新しいバージョンのCorvinaがインストールされています。",
    "The new version is installed."};
const BilingualText kSameVersionInstalled = {
    L"同じバージョンのCorvinaが既にインストールされています。\n上書きインストールしますか?",
    "The new version is installed. Override ?"};
const BilingualText kBrowseTitle = {L"インストール先を選択してください。",
                                    "Please choose an installation place."};
const BilingualText kRestartQuestion = {
    L"インストールを完了するには、Windowsを再起動する必要があります。\n今すぐ再起動しますか?",
    "In order to complete installation, it is necessary to reboot Windows.\nreboot computer now ?"};
const BilingualText kRestartManually = {
    L"いくつかのファイルはWindowsが使用しているため、最新のファイルを有効にするには、Windowsの再"
    L"起動が必要です。",
    "In order to complete installation, it is necessary to reboot Windows. Please reboot "
    "manually."};
const BilingualText kInstallationCompleted = {
    L"インストールが完了しました。Corvinaの設定を行って下さい。",
    "Installation was completed. Please Settings."};
const BilingualText kCopyFailed = {
    L"「%s」をコピーできませんでした。インストールを中止しました。",
    "ERROR : \"%s\" could not be copied. The installation was stopped."};
const BilingualText kInstallFolderUnusable = {
    L"インストール先「%s」にインストールできませんでした。",
    "ERROR : Corvina could not be installed in \"%s\"."};

namespace {

const char kExtensionServerKey[] = "CLSID\\{5A1C7E20-3B9D-4F62-8E41-0C7D2B9F6A13}\\InprocServer32";
const BilingualText kSettingsShortcut = {L"Corvinaの設定.lnk", "Setting Corivna.lnk"};

std::string InFolder(const std::string& folder, const std::string& name) {
    return corvina::PathInFolder(folder, name, IsSystemLeadByte);
}

// The folder of the program a registry value names; "" when there is none.
std::string FolderOfRegisteredFile(HKEY root, const char* key, const char* value) {
    CRegKey opened;
    if (opened.Open(root, key, KEY_READ) != ERROR_SUCCESS) {
        return std::string();
    }
    std::string command;
    if (opened.QueryString(value, command) != ERROR_SUCCESS) {
        return std::string();
    }
    // The uninstall entry's program is quoted since it is run as a command line; older
    // installations stored it bare. A server path is never quoted.
    return corvina::ServerFolderFromPath(corvina::ProgramPathFromCommand(command),
                                         IsSystemLeadByte);
}

std::string SpecialFolder(int csidl) {
    char path[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE)) {
        return std::string();
    }
    return path;
}

void CreateSuiteShortcuts(const std::string& installFolder) {
    const std::string programs = SpecialFolder(CSIDL_COMMON_PROGRAMS);
    if (programs.empty()) {
        return;
    }
    const std::string folder = InFolder(programs, "Corvina");
    CreateFolderChain(corvina::SplitFolderComponents(folder, IsSystemLeadByte));
    CreateShortcut(InFolder(folder, "Corvina Plus.lnk"),
                   InFolder(installFolder, corvina::kResidentFileName));
    CreateShortcut(InFolder(folder, BuildText(kSettingsShortcut)),
                   InFolder(installFolder, corvina::kSettingsFileName));
}

// The entry that the system's Add/Remove Programs lists and runs: every value with its
// terminator, the program quoted (its path may hold blanks), and the name with the version
// that the package's files carry.
void WriteUninstallEntry(const std::string& installFolder) {
    CRegKey key;
    if (key.Create(HKEY_LOCAL_MACHINE, kUninstallEntryKey, KEY_ALL_ACCESS) != ERROR_SUCCESS) {
        return;
    }
    corvina::FileVersion version;
    ReadPackageVersion(GetSetupProgram().folder, false, &version);
    const std::string program = InFolder(installFolder, "uninstall.exe");
    key.SetString("DisplayName", corvina::UninstallDisplayName(version), RegStringForm::Terminated);
    key.SetString("DisplayIcon", program, RegStringForm::Terminated);
    key.SetString("UninstallString", corvina::QuoteProgramPath(program), RegStringForm::Terminated);
}

void WriteRunOnceAfterRestart(const std::string& installFolder) {
    CRegKey key;
    if (key.Create(HKEY_LOCAL_MACHINE, corvina::kMachineRunKeyPath, KEY_ALL_ACCESS) !=
        ERROR_SUCCESS) {
        return;
    }
    // The system reads the Run values: they keep their terminator.
    key.SetString("CorvinaPlusOnce", InFolder(installFolder, corvina::kSettingsFileName),
                  RegStringForm::Terminated);
}

} // namespace

PackageCopyResult CopyPackageFiles(const std::string& packageFolder,
                                   const std::string& installFolder,
                                   const std::function<void(int)>& advance,
                                   FileCopyOperation copy) {
    PackageCopyResult result;
    const std::vector<std::string>& files = corvina::PackageFileNames();
    const int count = static_cast<int>(files.size());
    for (int i = 0; i < count; ++i) {
        advance(corvina::CopyProgressPosition(i, count));
        const std::string source = InFolder(packageFolder, files[i]);
        const std::string target = InFolder(installFolder, files[i]);
        if (CopyFileByRule(source.c_str(), target.c_str(), copy)) {
            continue;
        }
        DWORD error = GetLastError();
        std::string side;
        if (corvina::CopyRefusedForFileInUse(error)) {
            if (!FindSideFileName(target.c_str(), &side)) {
                error = ERROR_FILE_EXISTS;
            } else if (copy(source.c_str(), side.c_str())) {
                ReplaceOnRestart(side.c_str(), target.c_str());
                result.restartNeeded = true;
                continue;
            } else {
                error = GetLastError();
            }
        }
        result.completed = false;
        result.failedPath = side.empty() ? target : side;
        result.error = error;
        return result;
    }
    advance(100);
    return result;
}

std::string BuildCopyFailedText(const std::string& path, DWORD error) {
    std::string text = corvina::FillPathPlaceholder(BuildText(kCopyFailed), path);
    char* reason = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&reason), 0, nullptr);
    if (length > 0 && reason) {
        std::string line(reason, length);
        while (!line.empty() &&
               (line.back() == '\r' || line.back() == '\n' || line.back() == ' ')) {
            line.pop_back();
        }
        if (!line.empty()) {
            text += "\n" + line;
        }
    }
    if (reason) {
        LocalFree(reason);
    }
    return text;
}

bool FindExistingInstallation(std::string* folder) {
    std::string found = FolderOfRegisteredFile(HKEY_CLASSES_ROOT, kExtensionServerKey, nullptr);
    if (found.empty()) {
        found = FolderOfRegisteredFile(HKEY_LOCAL_MACHINE, kUninstallEntryKey, "UninstallString");
    }
    if (found.empty()) {
        return false;
    }
    *folder = found;
    return true;
}

std::vector<std::string> RecordedInstallationFolders() {
    return {FolderOfRegisteredFile(HKEY_LOCAL_MACHINE, kUninstallEntryKey, "UninstallString"),
            FolderOfRegisteredFile(HKEY_CLASSES_ROOT, kExtensionServerKey, nullptr)};
}

std::string DefaultInstallFolder() {
    return InFolder(SpecialFolder(CSIDL_PROGRAM_FILES), "Velmora\\Corvina");
}

bool ReadPackageVersion(const std::string& folder, bool requireAll, corvina::FileVersion* version) {
    corvina::FileVersion last;
    for (const std::string& name : corvina::PackageFileNames()) {
        const std::string path = InFolder(folder, name);
        if (!FileExistsAt(path.c_str())) {
            if (requireAll) {
                return false;
            }
            last = corvina::FileVersion();
            continue;
        }
        last = ReadFileVersion(path.c_str());
    }
    *version = last;
    return true;
}

InstallResult RunInstallationSteps(HWND owner, CProgressBar& bar, const std::string& folderText,
                                   bool existingInstallation) {
    if (!corvina::IsAcceptableInstallFolder(folderText, GetLogicalDrives())) {
        return InstallResult::FolderRefused;
    }
    const std::vector<std::string> given =
        corvina::SplitFolderComponents(folderText, IsSystemLeadByte);
    if (given.empty()) {
        return InstallResult::FolderRefused;
    }
    const std::string folder =
        corvina::InstallFolderWithProductName(folderText, given, existingInstallation);
    const std::vector<std::string> components =
        corvina::SplitFolderComponents(folder, IsSystemLeadByte);

    EndSuitePrograms();
    if (!CreateFolderChain(components)) {
        return InstallResult::FolderRefused;
    }

    bar.Show(true);
    const PackageCopyResult copied = CopyPackageFiles(
        GetSetupProgram().folder, folder, [&bar](int position) { bar.AdvanceTo(position); },
        CopyOverwriting);
    if (!copied.completed) {
        // Stopped here: no shortcut and no uninstall entry for a suite that is not in place.
        SetupMessageBox(owner, BuildCopyFailedText(copied.failedPath, copied.error),
                        MB_OK | MB_ICONEXCLAMATION);
        return InstallResult::CopyFailed;
    }

    CreateSuiteShortcuts(folder);
    WriteUninstallEntry(folder);

    if (copied.restartNeeded) {
        WriteRunOnceAfterRestart(folder);
        if (SetupMessageBox(owner, kRestartQuestion, MB_YESNO | MB_ICONQUESTION) == IDYES) {
            RestartWindows();
        } else {
            SetupMessageBox(owner, kRestartManually, MB_OK);
        }
    } else {
        SetupMessageBox(owner, kInstallationCompleted, MB_OK);
        ProgramStartOptions options;
        options.currentFolder = folder.c_str();
        StartProgram(InFolder(folder, corvina::kSettingsFileName), {}, options);
    }
    return InstallResult::Installed;
}
