#include "setup/CInstallDialog.h"

#include <shlobj.h>

#include <vector>

#include "framework/CItemIdList.h"
#include "setup/InstallSteps.h"
#include "setup/SetupCommon.h"
#include "setup/core/InstallDecisions.h"
#include "serversetup/core/ServerPaths.h"
#include "setup/resource.h"

namespace {

constexpr int kFolderFieldLimit = 255;
// BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_BROWSEINCLUDEFILES
constexpr UINT kBrowseFlags = 0x4003;

} // namespace

CInstallDialog::CInstallDialog() : CDialog(IDD_INSTALL, GetSetupProgram().instance) {}

BOOL CInstallDialog::OnInitDialog() {
    HWND dialog = GetHwnd();
    SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    HINSTANCE instance = GetSetupProgram().instance;
    // Both icons are shared resource icons: nothing to free when the dialog goes.
    if (HICON largeIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME))) {
        SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon));
    }
    if (HICON smallIcon = static_cast<HICON>(
            LoadImageA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON,
                       GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED))) {
        SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    }
    m_progress.Attach(GetItem(IDC_PROGRESS));
    m_progress.SetRange(0, 100);
    m_progress.SetPosition(0);
    m_progress.Show(false);

    std::string folder;
    m_existingInstallation = FindExistingInstallation(&folder);
    HWND field = GetItem(IDC_FOLDER);
    SendMessageA(field, EM_LIMITTEXT, kFolderFieldLimit, 0);
    if (m_existingInstallation) {
        SetDlgItemTextA(dialog, IDC_INFO, BuildText(kExistingInstallationFound).c_str());
        EnableWindow(GetItem(IDC_BROWSE), FALSE);
        SendMessageA(field, EM_SETREADONLY, TRUE, 0);
    } else {
        folder = DefaultInstallFolder();
        SetDlgItemTextA(dialog, IDC_INFO, BuildText(kChooseInstallFolder).c_str());
    }
    SetWindowTextA(field, folder.c_str());

    CheckPackage();
    return TRUE;
}

bool CInstallDialog::CheckPackage() {
    corvina::FileVersion package;
    if (!ReadPackageVersion(GetSetupProgram().folder, true, &package)) {
        SetupMessageBox(GetHwnd(), kPackageIncomplete, MB_OK);
        EndDialogWith(IDCANCEL);
        return false;
    }
    corvina::FileVersion installed;
    if (m_existingInstallation) {
        ReadPackageVersion(FolderText(), false, &installed);
    }
    switch (corvina::DecideInstall(package, installed)) {
    case corvina::InstallVerdict::Refuse:
        SetupMessageBox(GetHwnd(), kNewerVersionInstalled, MB_OK);
        EndDialogWith(IDCANCEL);
        return false;
    case corvina::InstallVerdict::AskReinstall: {
        INT_PTR result = IDCANCEL;
        if (SetupMessageBox(GetHwnd(), kSameVersionInstalled, MB_YESNO | MB_ICONQUESTION) ==
            IDYES) {
            const std::string folder = FolderText();
            switch (RunInstallationSteps(GetHwnd(), m_progress, folder, m_existingInstallation)) {
            case InstallResult::Installed:
                result = IDOK;
                break;
            case InstallResult::FolderRefused:
                // The dialog closes without waiting, so a refusal that OK would leave unsaid
                // is said here.
                SetupMessageBox(
                    GetHwnd(),
                    corvina::FillPathPlaceholder(BuildText(kInstallFolderUnusable), folder),
                    MB_OK | MB_ICONEXCLAMATION);
                break;
            case InstallResult::CopyFailed:
                break;
            }
        }
        EndDialogWith(result);
        return false;
    }
    case corvina::InstallVerdict::WaitForTheUser:
        break;
    }
    return true;
}

void CInstallDialog::OnOK() {
    EnableButtons(false);
    if (RunInstallationSteps(GetHwnd(), m_progress, FolderText(), m_existingInstallation) ==
        InstallResult::Installed) {
        EndDialogWith(IDOK);
        return;
    }
    EnableButtons(true);
}

bool CInstallDialog::OnCommand(WORD id, WORD code, HWND control) {
    if (id == IDC_BROWSE && code == BN_CLICKED) {
        Browse();
        return true;
    }
    return CDialog::OnCommand(id, code, control);
}

void CInstallDialog::Browse() {
    const std::string title = BuildText(kBrowseTitle);
    char displayName[MAX_PATH] = {};
    BROWSEINFOA browse = {};
    browse.hwndOwner = GetHwnd();
    browse.pszDisplayName = displayName;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = kBrowseFlags;
    CItemIdList chosen(SHBrowseForFolderA(&browse));
    if (!chosen.Get()) {
        return;
    }
    char path[MAX_PATH] = {};
    if (SHGetPathFromIDListA(chosen.Get(), path) && path[0] != '\0') {
        SetDlgItemTextA(GetHwnd(), IDC_FOLDER, path);
    }
}

void CInstallDialog::EnableButtons(bool enable) {
    EnableWindow(GetItem(IDOK), enable ? TRUE : FALSE);
    EnableWindow(GetItem(IDCANCEL), enable ? TRUE : FALSE);
}

std::string CInstallDialog::FolderText() const {
    HWND field = GetItem(IDC_FOLDER);
    const int length = GetWindowTextLengthA(field);
    if (length <= 0) {
        return std::string();
    }
    std::vector<char> text(static_cast<size_t>(length) + 1);
    const int copied = GetWindowTextA(field, text.data(), length + 1);
    return std::string(text.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}
