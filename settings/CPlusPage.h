// The second page of the settings sheet: the resident program's hot key and menu options, its
// autostart entry, and a button that starts it (dialog 132). While the page window exists the
// resident program keeps its hot key released, so the combination can be typed here.
#pragma once

#include <windows.h>

#include <string>

#include "framework/CPropertyPage.h"

class CPlusPage : public CPropertyPage {
public:
    // The resident program is expected beside this program; the options are read here.
    CPlusPage();
    // For hosts whose resident program lives elsewhere: residentFolder (with its trailing
    // backslash) holds "CorvinaPlus.exe"; maySetAutostart replaces the group check.
    CPlusPage(const std::string& residentFolder, bool maySetAutostart);

    // Timer that keeps the resident program's hot key released, and its period.
    static constexpr UINT_PTR kReleaseTimerId = 1;
    static constexpr UINT kReleasePeriodMs = 1000;

    // Full path of "CorvinaPlus.exe" as this page uses it.
    const std::string& GetResidentPath() const { return m_residentPath; }
    bool MaySetAutostart() const { return m_maySetAutostart; }

    // Posts "UpdateOption" (wParam, 0) to the resident program's window if it runs. Returns
    // whether a window was found.
    static bool PostUpdateOption(WPARAM wParam);

    // Starts the resident program now. Returns whether the process was created.
    bool StartResidentProgram() const;

    bool OnApply() override;

protected:
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    void DoDataExchange(CDataExchange& dx) override;
    BOOL OnInitDialog() override;

private:
    void ReadOptions();
    void UpdateFolderOnlyEnabled();

    std::string m_residentPath;
    WORD m_virtualKey = 0;
    WORD m_modifiers = 0;
    bool m_tierFlag = false;
    bool m_folderOnly = false;
    bool m_autostart = false;
    bool m_maySetAutostart = false;
};
