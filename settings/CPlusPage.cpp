#include "settings/CPlusPage.h"

#include <commctrl.h>

#include <string_view>

#include "common/ModulePaths.h"
#include "common/ProgramStart.h"
#include "common/Registry.h"
#include "common/ResidentOptionsStore.h"
#include "common/WindowMessages.h"
#include "common/core/SuiteNames.h"
#include "framework/CDataExchange.h"
#include "framework/CRegKey.h"
#include "settings/core/AutostartValue.h"
#include "settings/resource.h"
#include "serversetup/Privileges.h"

namespace {

UINT UpdateOptionMessage() {
    static const UINT message = RegisterWindowMessageA(kUpdateOptionMessageName);
    return message;
}

// The system's own comparison (lstrcmpiA's), so that an entry written by hand in another case
// still counts: it folds two-byte letters and those beyond ASCII, and leaves the second byte
// of a two-byte character alone.
bool EqualsAsTheSystem(std::string_view left, std::string_view right) {
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, left.data(),
                          static_cast<int>(left.size()), right.data(),
                          static_cast<int>(right.size())) == CSTR_EQUAL;
}

} // namespace

CPlusPage::CPlusPage() : CPlusPage(GetModuleFolder(nullptr), IsPowerUser() || IsAdministrator()) {}

CPlusPage::CPlusPage(const std::string& residentFolder, bool maySetAutostart)
    : CPropertyPage(IDD_PLUS_PAGE), m_maySetAutostart(maySetAutostart) {
    // An unreadable module folder leaves the path empty: nothing is started and no entry
    // pointing at the drive's root is written.
    if (!residentFolder.empty()) {
        m_residentPath = residentFolder + corvina::kResidentFileName;
    }
    ReadOptions();
}

void CPlusPage::ReadOptions() {
    const corvina::ResidentOptions options = LoadResidentOptions();
    m_virtualKey = options.keyCode;
    m_modifiers = options.modifiers;
    m_tierFlag = options.tierFlag;
    m_folderOnly = options.folderOnly;

    std::string stored;
    m_autostart = !m_residentPath.empty() &&
                  ReadRegistryString(HKEY_LOCAL_MACHINE, corvina::kMachineRunKeyPath,
                                     corvina::kAutostartValueName, &stored) &&
                  corvina::IsOwnAutostartValue(stored, m_residentPath, EqualsAsTheSystem);
}

void CPlusPage::DoDataExchange(CDataExchange& dx) {
    DDX_Check(dx, IDC_TIER_FLAG, m_tierFlag);
    DDX_Check(dx, IDC_FOLDER_ONLY, m_folderOnly);
    DDX_Check(dx, IDC_AUTOSTART, m_autostart);
    DDX_HotKey(dx, IDC_HOTKEY, m_virtualKey, m_modifiers);
}

BOOL CPlusPage::OnInitDialog() {
    const BOOL result = CPropertyPage::OnInitDialog();
    // A key without Shift, Ctrl or Alt would take the key from every program: it gets Alt.
    SendMessageA(GetItem(IDC_HOTKEY), HKM_SETRULES, HKCOMB_NONE, MAKELPARAM(HOTKEYF_ALT, 0));
    if (!m_maySetAutostart) {
        EnableWindow(GetItem(IDC_AUTOSTART), FALSE);
    }
    UpdateData(true);
    UpdateFolderOnlyEnabled();
    // The page always counts as changed, so the sheet opens with Apply enabled.
    SetModified(true);
    SetTimer(GetHwnd(), kReleaseTimerId, kReleasePeriodMs, nullptr);
    return result;
}

void CPlusPage::UpdateFolderOnlyEnabled() {
    EnableWindow(GetItem(IDC_FOLDER_ONLY), m_tierFlag ? TRUE : FALSE);
}

bool CPlusPage::OnCommand(WORD id, WORD code, HWND control) {
    switch (id) {
    case IDC_HOTKEY:
        SetModified(true);
        return CPropertyPage::OnCommand(id, code, control);
    case IDC_TIER_FLAG:
        if (code == BN_CLICKED) {
            UpdateData(true);
            UpdateFolderOnlyEnabled();
            SetModified(true);
            return true;
        }
        break;
    case IDC_FOLDER_ONLY:
    case IDC_AUTOSTART:
        if (code == BN_CLICKED) {
            SetModified(true);
            return true;
        }
        break;
    case IDC_START_NOW:
        if (code == BN_CLICKED) {
            StartResidentProgram();
            return true;
        }
        break;
    default:
        break;
    }
    return CPropertyPage::OnCommand(id, code, control);
}

INT_PTR CPlusPage::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER: {
        const INT_PTR result = CPropertyPage::DialogProc(message, wParam, lParam);
        if (wParam == kReleaseTimerId) {
            PostUpdateOption(1);
        }
        return result;
    }
    case WM_DESTROY:
        // The resident program reads the options again and takes its hot key back.
        PostUpdateOption(0);
        return CPropertyPage::DialogProc(message, wParam, lParam);
    default:
        return CPropertyPage::DialogProc(message, wParam, lParam);
    }
}

bool CPlusPage::PostUpdateOption(WPARAM wParam) {
    // Posted, never sent: a hung resident program must not block the sheet.
    HWND resident = FindWindowA(nullptr, kResidentFrameTitle);
    if (!resident) {
        return false;
    }
    PostMessageA(resident, UpdateOptionMessage(), wParam, 0);
    return true;
}

bool CPlusPage::OnApply() {
    UpdateData(true);

    corvina::ResidentOptions options;
    options.keyCode = LOBYTE(m_virtualKey);
    options.modifiers = LOBYTE(m_modifiers);
    options.tierFlag = m_tierFlag;
    options.folderOnly = m_folderOnly;
    SaveResidentOptions(options);

    if (!m_maySetAutostart || m_residentPath.empty()) {
        return true;
    }
    if (m_autostart) {
        // Windows reads the Run values at log-on: they keep their terminator.
        WriteTerminatedRegistryString(HKEY_LOCAL_MACHINE, corvina::kMachineRunKeyPath,
                                      corvina::kAutostartValueName,
                                      corvina::BuildAutostartValue(m_residentPath));
    } else {
        CRegKey run;
        if (run.Open(HKEY_LOCAL_MACHINE, corvina::kMachineRunKeyPath, KEY_SET_VALUE) ==
            ERROR_SUCCESS) {
            run.DeleteValue(corvina::kAutostartValueName);
        }
    }
    return true;
}

bool CPlusPage::StartResidentProgram() const {
    if (m_residentPath.empty()) {
        return false;
    }
    return StartProgram(m_residentPath, {});
}
