// The about box of the settings program (dialog 130): the program icon in a shadowed frame,
// the version, and the maker's mail and web addresses as hyperlinks with their targets as
// tooltips.
#pragma once

#include <windows.h>

#include "common/CHyperLink.h"
#include "framework/CDialog.h"

class CAboutDlg : public CDialog {
public:
    static const char kMailTarget[]; // "mailto:corvina@example.com"
    static const char kWebTarget[];  // "http://www.example.com/corvina/"

    CAboutDlg();

    // Paints the icon frame over rect of dc through an off-screen bitmap: grey ground, a
    // black-edged white panel with a dark shadow, and icon stretched into the panel.
    static void PaintIconFrame(HDC dc, const RECT& rect, HICON icon);

protected:
    BOOL OnInitDialog() override;
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void AddLinkTip(HWND link, const char* target);

    CHyperLink m_mailLink;
    CHyperLink m_webLink;
    HWND m_tips = nullptr; // owned by the dialog window, which destroys it
    HICON m_icon = nullptr;
};
