#include "settings/CBarPage.h"

#include <string>

#include "common/ModulePaths.h"
#include "common/Registry.h"
#include "common/UiText.h"
#include "common/WindowMessages.h"
#include "common/core/SuiteNames.h"
#include "framework/CDataExchange.h"
#include "framework/Scopes.h"
#include "settings/SettingsMessage.h"
#include "settings/resource.h"
#include "serversetup/BrowserWindows.h"
#include "serversetup/ServerLoading.h"
#include "serversetup/ServerMessages.h"

namespace {

constexpr char kBandClassId[] = "{9E3B4C71-2D58-4A0F-B6C3-71E8D2A45F90}";
constexpr char kShowTextValue[] = "Text";

// Internet Explorer and Explorer folder windows each remember their own toolbar layout: the
// band is switched off once in a web page and once in a folder.
constexpr const char* kSwitchOffLocations[] = {"about:blank", "C:\\"};

const BilingualText kRegisterQuestion = {
    L"『Corvina Bar』の設定を有効にするには、起動中のExplorer、およびInternet "
    L"Explorerを終了する必要があります。\n"
    L"今すぐ終了しますか?\n\n"
    L"[はい]を選択した場合は、起動しているExplorer、およびInternet Explorerをすべて終了します。\n"
    L"[いいえ]を選択した場合は、終了処理を行いません。",
    "In order to register Corvina Bar, it is necessary to end Explorer and Internet Explorer "
    "running. Does it end?"};
const BilingualText kUnregisterQuestion = {
    L"『Corvina Bar』の設定を解除にするには、起動中のExplorer、およびInternet "
    L"Explorerを終了する必要があります。\n"
    L"今すぐ終了しますか?\n\n"
    L"[はい]を選択した場合は、起動しているExplorer、およびInternet Explorerをすべて終了します。\n"
    L"[いいえ]を選択した場合は、解除処理を中止します。",
    "In order to unregister Corvina Bar, it is necessary to end Explorer and Internet Explorer "
    "running. Does it end?"};
const BilingualText kRegistered = {L"『Corvina Bar』の登録が完了しました。\n\n",
                                   "Registration of Corvina was completed.\n\n"};
const BilingualText kHowToShow = {
    L"Explorer、またはInternet "
    L"Explorerを起動して、メニューから[表示]→[ツールバー]→[コルヴィナバー]を選択してください\n",
    "Please perform from the menu of Explorer or Internet Explorer.\n[View]->[Toolbar]->"
    "[CorvinaBar]"};
// For windows left running: they may not list the band until they are started again.
const BilingualText kRestartNote = {
    L"ご注意：\nメニューに[コルヴィナバー]が表示されない場合は、ExplorerとIntetnet "
    L"Explorerをすべて終了してください。",
    "When there is no menu, please end all Explorer and Internet Explorer."};
const BilingualText kRegisterFailed = {L"『Corvina Bar』の登録に失敗しました。",
                                       "ERROR : Registration goes wrong."};
const BilingualText kUnregistered = {L"『Corvina Bar』の登録を解除しました。",
                                     "Registration was canceled."};
const BilingualText kUnregisterFailed = {L"『Corvina Bar』の登録解除に失敗しました。",
                                         "ERROR : Registration release goes wrong."};

bool AskYesNo(const BilingualText& question) {
    return SettingsMessageBox(BuildText(question).c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void ShowError(const BilingualText& text) {
    SettingsMessageBox(BuildText(text).c_str(), MB_ICONEXCLAMATION);
}

void ShowInformation(const std::string& text) {
    SettingsMessageBox(text.c_str(), MB_OK);
}

// The page's wait-cursor flag raised (WM_SETCURSOR answers with the wait cursor while it is)
// and the wait cursor shown, until the scope ends.
class CWaitCursorScope {
public:
    explicit CWaitCursorScope(bool& pageFlag) : m_flag(pageFlag) {}

private:
    CFlagScope m_flag;
    CWaitCursor m_cursor;
};

} // namespace

CBarPage::CBarPage() : CPropertyPage(IDD_BAR_PAGE) {
    DWORD value = 0;
    m_showText = ReadRegistryDword(HKEY_CURRENT_USER, kCorvinaBarKeyPath, kShowTextValue, &value) &&
                 value != 0;
}

std::string CBarPage::GetBandServerPath() const {
    return GetSiblingPath(GetModuleHandleA(nullptr), corvina::kBandFileName);
}

void CBarPage::DoDataExchange(CDataExchange& dx) {
    DDX_Check(dx, IDC_SHOW_TEXT, m_showText);
}

void CBarPage::SaveOption() {
    UpdateData(true);
    if (EnsureRegistryKey(HKEY_CURRENT_USER, kCorvinaBarKeyPath)) {
        WriteRegistryDword(HKEY_CURRENT_USER, kCorvinaBarKeyPath, kShowTextValue,
                           m_showText ? 1 : 0);
    }
    // The bands read the option when they reload their buttons.
    NotifyBandWindows();
}

void CBarPage::OnOK() {
    SaveOption();
}

bool CBarPage::OnApply() {
    // Saved and told once: every notice makes every band of every process bind and
    // enumerate its items again.
    OnOK();
    return true;
}

bool CBarPage::OnCommand(WORD id, WORD code, HWND control) {
    if (code == BN_CLICKED) {
        switch (id) {
        case IDC_SHOW_TEXT:
            SetModified(true);
            return true;
        case IDC_REGISTER_BAND:
            if (!m_busy) {
                const CFlagScope busy(m_busy);
                RegisterBand();
            }
            return true;
        case IDC_UNREGISTER_BAND:
            if (!m_busy) {
                const CFlagScope busy(m_busy);
                UnregisterBand();
            }
            return true;
        default:
            break;
        }
    }
    return CPropertyPage::OnCommand(id, code, control);
}

INT_PTR CBarPage::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // The waits pump messages, and every mouse move over the page would put the arrow back.
    if (message == WM_SETCURSOR && m_waitCursor) {
        SetCursor(LoadCursorA(nullptr, IDC_WAIT));
        SetWindowLongPtrA(GetHwnd(), DWLP_MSGRESULT, TRUE);
        return TRUE;
    }
    return CPropertyPage::DialogProc(message, wParam, lParam);
}

std::string CBarPage::FindBandServer() const {
    const std::string path = GetBandServerPath();
    if (path.empty() || !ServerFileExists(path.c_str())) {
        SettingsMessageBox(BuildMissingServerText(ServerDll::Band, path.c_str()).c_str(),
                           MB_ICONEXCLAMATION);
        return std::string();
    }
    return path;
}

void CBarPage::RegisterBand() {
    const std::string path = FindBandServer();
    if (path.empty()) {
        return;
    }
    if (!RegisterServerByLoading(path.c_str())) {
        ShowError(kRegisterFailed);
        return;
    }
    bool windowsLeftOpen = false;
    if (IsShellBrowserWindowOpen()) {
        if (AskYesNo(kRegisterQuestion)) {
            CloseShellBrowserWindows();
        } else {
            windowsLeftOpen = true;
        }
    }
    std::string text = BuildText(kRegistered) + BuildText(kHowToShow);
    if (windowsLeftOpen) {
        text += BuildText(kRestartNote);
    }
    ShowInformation(text);
}

void CBarPage::UnregisterBand() {
    const std::string path = FindBandServer();
    if (path.empty()) {
        return;
    }
    const bool windowsOpen = IsShellBrowserWindowOpen();
    if (windowsOpen && !AskYesNo(kUnregisterQuestion)) {
        return;
    }
    {
        const CWaitCursorScope wait(m_waitCursor);
        if (windowsOpen) {
            CloseShellBrowserWindows();
        }
        for (const char* location : kSwitchOffLocations) {
            HideToolbarBand(kBandClassId, location);
        }
    }
    if (UnregisterServerByLoading(path.c_str())) {
        ShowInformation(BuildText(kUnregistered));
    } else {
        ShowError(kUnregisterFailed);
    }
}
