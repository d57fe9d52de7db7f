// The about box: program name, version, the large program icon and the maker's addresses as
// hyperlink texts.
#pragma once

#include "common/CHyperLink.h"
#include "framework/CDialog.h"

class CAboutDlg : public CDialog {
public:
    static const char kMailTarget[]; // "mailto:corvina@example.com"
    static const char kWebTarget[];  // "http://www.example.com/corvina/"

    CAboutDlg();

protected:
    BOOL OnInitDialog() override;

private:
    CHyperLink m_mailLink;
    CHyperLink m_webLink;
};
