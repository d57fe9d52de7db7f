#include "setup/CUninstallDialog.h"

#include <shlobj.h>

#include <utility>
#include <vector>

#include "common/UiText.h"
#include "common/core/SuiteNames.h"
#include "framework/Scopes.h"
#include "serversetup/BrowserWindows.h"
#include "setup/FileRules.h"
#include "setup/RegistryTrees.h"
#include "setup/RestartOperations.h"
#include "serversetup/ServerLoading.h"
#include "serversetup/ServerMessages.h"
#include "setup/SetupCommon.h"
#include "setup/ShortcutCleanup.h"
#include "setup/core/InstallDecisions.h"
#include "setup/core/RemovalRules.h"
#include "setup/resource.h"

namespace {

constexpr char kResidentOptionsKey[] = "Software\\Velmora\\Corvina Plus";
// CorvinaBar.dll's band class, switched off in the browsers before the file goes.
constexpr char kBandClassId[] = "{9E3B4C71-2D58-4A0F-B6C3-71E8D2A45F90}";

const BilingualText kClosingBrowsers = {L"エクスプロ\uFF0Dラ、Internet Explorerを終了中...",
                                        "Explorer and Internet Explorer are under end."};
const BilingualText kRemovingExtension = {L"Corvinaの設定を削除中...", "Uninstallation Corvina..."};
const BilingualText kRemovingResident = {L"Corvina Plusの設定を削除中...",
                                         "Uninstallation Corvina Plus..."};
const BilingualText kRemovingBand = {L"Corvina Barの設定を削除中...",
                                     "Uninstallation Corvina Bar..."};
const BilingualText kRestartQuestion = {
    L"アンインストールを完了するには、Windowsを再起動する必要があります。\n今すぐ再起動しますか?",
    "In order to complete uninstallation, it is necessary to reboot Windows.\nreboot computer "
    "now ?"};
const BilingualText kRestartLater = {
    L"いくつかのファイルはWindowsが使用しているため、再起動後に削除されます。\nご利用ありがとうござ"
    L"いました。",
    "In order to complete uninstallation, it is necessary to reboot Windows. Please reboot "
    "manually. Thank you for use."};
const BilingualText kCompleted = {
    L"アンインストールが完了しました。\nご利用ありがとうございました。",
    "Uninstallation was completed. Thank you for use."};

} // namespace

CUninstallDialog::CUninstallDialog(std::string installFolder)
    : CDialog(IDD_UNINSTALL), m_folder(std::move(installFolder)) {}

BOOL CUninstallDialog::OnInitDialog() {
    HICON icon = LoadIconA(GetSetupProgram().instance, MAKEINTRESOURCEA(IDR_MAINFRAME));
    SendMessageA(GetHwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(GetHwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    if (m_progress.Attach(GetItem(IDC_PROGRESS))) {
        m_progress.SetRange(0, 100);
        m_progress.SetPosition(0);
        m_progress.Show(false);
    }
    return TRUE;
}

void CUninstallDialog::OnOK() {
    // The final box is modal on this dialog: a second OK meanwhile must not start again.
    if (m_running) {
        return;
    }
    m_running = true;
    try {
        RunRemovalSteps();
    } catch (...) {
        // Out of memory somewhere in the steps: what is done stays done, and the dialog
        // still closes so that the program ends.
    }
    EndDialogWith(IDOK);
}

void CUninstallDialog::OnCancel() {
    if (!m_running) {
        CDialog::OnCancel();
    }
}

void CUninstallDialog::SetStatus(const std::string& text) {
    SetDlgItemTextA(GetHwnd(), IDC_STATUS, text.c_str());
    UpdateWindow(GetItem(IDC_STATUS));
}

std::string CUninstallDialog::InstalledFile(const char* name) const {
    return corvina::PathInFolder(m_folder, name, IsSystemLeadByte);
}

bool CUninstallDialog::DeleteInstalledFiles() {
    bool restartNeeded = false;
    for (const char* name : corvina::kRemovalFiles) {
        const std::string path = InstalledFile(name);
        const bool deleted = DeleteFileByRule(path.c_str()) || DeleteFileByRule(path.c_str());
        // A file the user removed already is as good as deleted: scheduling it would only
        // ask for a restart that changes nothing.
        const bool stillPresent = GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
        if (corvina::DecideFileRemoval(deleted, stillPresent) ==
            corvina::FileRemoval::ScheduleForRestart) {
            DeleteOnRestart(path.c_str());
            restartNeeded = true;
        }
    }
    return restartNeeded;
}

void CUninstallDialog::RunRemovalSteps() {
    EnableWindow(GetItem(IDOK), FALSE);
    EnableWindow(GetItem(IDCANCEL), FALSE);
    m_progress.Show(true);
    const std::string& caption = GetSetupMessageCaption();

    SetStatus(BuildText(kClosingBrowsers));
    CloseShellBrowserWindows();
    m_progress.AdvanceTo(20);

    SetStatus(BuildText(kRemovingExtension));
    const std::string extension = InstalledFile(corvina::kExtensionFileName);
    if (ServerFileExists(extension.c_str())) {
        UnregisterServerByLoading(extension.c_str());
    } else {
        ShowMissingServerMessage(GetHwnd(), ServerDll::Extension, extension.c_str(),
                                 caption.c_str());
    }
    m_progress.AdvanceTo(40);

    SetStatus(BuildText(kRemovingResident));
    EndSuitePrograms();
    DeleteRegistryValue(HKEY_LOCAL_MACHINE, corvina::kMachineRunKeyPath, "CorvinaPlus");
    DeleteRegistryValue(HKEY_LOCAL_MACHINE, corvina::kMachineRunKeyPath, "CorvinaPlusOnce");
    DeleteRegistryKeyTree(HKEY_CURRENT_USER, kResidentOptionsKey);
    m_progress.AdvanceTo(60);

    SetStatus(BuildText(kRemovingBand));
    const std::string band = InstalledFile(corvina::kBandFileName);
    if (ServerFileExists(band.c_str())) {
        {
            CWaitCursor wait;
            HideToolbarBand(kBandClassId, "about:blank");
            HideToolbarBand(kBandClassId, "C:\\");
        }
        UnregisterServerByLoading(band.c_str());
    } else {
        ShowMissingServerMessage(GetHwnd(), ServerDll::Band, band.c_str(), caption.c_str());
    }

    const bool restartNeeded = DeleteInstalledFiles();
    RemoveDirectoryA(m_folder.c_str());
    if (restartNeeded) {
        DeleteOnRestart(m_folder.c_str());
    }
    m_progress.AdvanceTo(90);

    const std::string programs = SpecialFolderPath(CSIDL_COMMON_PROGRAMS);
    if (!programs.empty()) {
        const std::vector<std::string> kept = {SpecialFolderPath(CSIDL_COMMON_STARTUP),
                                               SpecialFolderPath(CSIDL_STARTUP)};
        RemoveSuiteShortcuts(programs, kept);
    }

    DeleteRegistryKeyTree(HKEY_LOCAL_MACHINE, kUninstallEntryKey);
    m_progress.AdvanceTo(100);

    if (restartNeeded) {
        if (SetupMessageBox(GetHwnd(), kRestartQuestion, MB_YESNO | MB_ICONQUESTION) == IDYES) {
            RestartWindows();
        } else {
            SetupMessageBox(GetHwnd(), kRestartLater, MB_OK);
        }
    } else {
        SetupMessageBox(GetHwnd(), kCompleted, MB_OK);
    }
}
