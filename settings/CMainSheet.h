// The settings sheet: the three pages, the program icon, the about entry of the system menu
// and an Apply button that applies every page.
#pragma once

#include <windows.h>

#include <string>

#include "framework/CPropertySheet.h"
#include "framework/Handles.h"

class CMainSheet : public CPropertySheet {
public:
    // The Apply button's command identifier.
    static constexpr WORD kApplyButtonId = 0x3021;

    explicit CMainSheet(const char* caption);

    // "Corvinaの設定　　" (two ideographic spaces, in the ANSI code page) on a Japanese
    // system, else "Corvina Settings " (one blank). Other programs find the sheet by it.
    static std::string BuildCaption();

    // Applies every page in page order, whatever each reports and whether or not it was
    // changed, and clears their modified flags, which greys the Apply button.
    void ApplyAllPages();

protected:
    void OnInitSheet() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void AppendAboutEntry();
    void CreatePageWindows();
    void SetTabImages();
    void PaintMinimised();
    void ShowAbout();

    HICON m_icon = nullptr; // a resource icon: the system frees it with the module
    CImageListHandle m_tabImages;
};
