#include "settings/SettingsApp.h"

#include <commctrl.h>
#include <ole2.h>

#include "common/WindowMessages.h"
#include "common/core/SuiteNames.h"
#include "framework/CRegKey.h"
#include "settings/CBarPage.h"
#include "settings/CBasicPage.h"
#include "settings/CMainSheet.h"
#include "settings/CPlusPage.h"
#include "settings/SettingsMessage.h"

const char SettingsApp::kRunOnceValueName[] = "CorvinaPlusOnce";

SettingsApp* SettingsApp::s_settingsApp = nullptr;

SettingsApp::SettingsApp() : m_messageCaption(BuildMessageCaption()) {
    if (!s_settingsApp) {
        s_settingsApp = this;
    }
}

SettingsApp::~SettingsApp() {
    CloseInstanceMutex();
    if (s_settingsApp == this) {
        s_settingsApp = nullptr;
    }
}

void SettingsApp::DeleteRunOnceEntry() {
    CRegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, corvina::kMachineRunKeyPath, KEY_SET_VALUE) == ERROR_SUCCESS) {
        key.DeleteValue(kRunOnceValueName);
    }
}

bool SettingsApp::CreateInstanceMutex() {
    CloseInstanceMutex();
    HANDLE mutex = CreateMutexA(nullptr, FALSE, kSettingsMutexName);
    const DWORD error = GetLastError();
    m_instanceMutex.Attach(mutex);
    m_alreadyRunning = mutex && error == ERROR_ALREADY_EXISTS;
    return m_alreadyRunning;
}

void SettingsApp::CloseInstanceMutex() {
    m_instanceMutex.Close();
    m_alreadyRunning = false;
}

void SettingsApp::ActivateRunningSheet() {
    const std::string caption = CMainSheet::BuildCaption();
    if (HWND sheet = FindWindowA(kSettingsSheetClass, caption.c_str())) {
        SetForegroundWindow(sheet);
    }
}

bool SettingsApp::InitInstance() {
    DeleteRunOnceEntry();
    if (CreateInstanceMutex()) {
        ActivateRunningSheet();
        return false;
    }

    // Drag and drop on the editor page and the browser automation need an STA.
    m_oleInitialized = SUCCEEDED(OleInitialize(nullptr));
    // The pages use the tree, toolbar, tooltip, hot-key and tab controls.
    InitCommonControls(ICC_WIN95_CLASSES);

    const std::string caption = CMainSheet::BuildCaption();
    CMainSheet sheet(caption.c_str());
    // The pages read the registry as they are constructed, after the sheet.
    CBasicPage basicPage;
    CPlusPage plusPage;
    CBarPage barPage;
    sheet.AddPage(&basicPage);
    sheet.AddPage(&plusPage);
    sheet.AddPage(&barPage);
    sheet.DoModal(nullptr);
    SetMainWindow(nullptr);
    return false;
}

int SettingsApp::ExitInstance() {
    if (m_oleInitialized) {
        OleUninitialize();
        m_oleInitialized = false;
    }
    CloseInstanceMutex();
    return CApp::ExitInstance();
}
