// The third page of the settings sheet: the toolbar band's registration and its one option,
// whether the band's buttons show their text (dialog 133). Registering and unregistering act
// at once; the running browser windows keep the band loaded, so the user is offered to end
// them first.
#pragma once

#include <windows.h>

#include <string>

#include "framework/CPropertyPage.h"

class CBarPage : public CPropertyPage {
public:
    // The "Text" option is read here.
    CBarPage();

    // Saves the option and tells the bands, through OnOK, once. Always true.
    bool OnApply() override;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Full path of the band's server: "CorvinaBar.dll" beside the program.
    virtual std::string GetBandServerPath() const;

private:
    // Registers the band, then offers to end the browser windows that would not see it.
    void RegisterBand();
    // Offers to end the browser windows (refusing stops here), switches the band off in both
    // kinds of browser, then unregisters it.
    void UnregisterBand();
    void SaveOption();
    // The server's path when the file is there; otherwise names it to the user and returns
    // an empty text.
    std::string FindBandServer() const;

    bool m_showText = false;
    // A register or unregister is under way: the waits pump messages, so another click
    // could start a second one inside the first.
    bool m_busy = false;
    // The page answers the cursor query with the wait cursor while this is set.
    bool m_waitCursor = false;
};
