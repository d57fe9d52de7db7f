// The settings program's application object: the start-up steps, the single-instance rule
// and the caption of its message boxes. The program is one modal sheet; when the sheet
// closes, the program ends.
#pragma once

#include <windows.h>

#include <string>

#include "framework/CApp.h"
#include "framework/Handles.h"

class SettingsApp : public CApp {
public:
    static const char kRunOnceValueName[]; // "CorvinaPlusOnce"

    SettingsApp();
    ~SettingsApp() override;

    // The settings application object of this process, or nullptr.
    static SettingsApp* GetSettingsApp() { return s_settingsApp; }

    // Runs the whole program and returns false: there is never a message loop after the
    // modal sheet.
    bool InitInstance() override;
    int ExitInstance() override;

    const std::string& GetMessageCaption() const { return m_messageCaption; }

    // The installer's one-time autostart of this program is spent by any start.
    static void DeleteRunOnceEntry();
    // Creates the named mutex; true when another instance had created it already. A failed
    // creation counts as the first instance.
    bool CreateInstanceMutex();
    void CloseInstanceMutex();
    bool IsAlreadyRunning() const { return m_alreadyRunning; }
    // Brings the running instance's sheet to the front, when it can be found.
    static void ActivateRunningSheet();

private:
    static SettingsApp* s_settingsApp;
    CHandle m_instanceMutex;
    bool m_alreadyRunning = false;
    bool m_oleInitialized = false;
    std::string m_messageCaption;
};
