#include "resident/CAboutDlg.h"

#include "resource.h"

const char CAboutDlg::kMailTarget[] = "mailto:corvina@example.com";
const char CAboutDlg::kWebTarget[] = "http://www.example.com/corvina/";

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

BOOL CAboutDlg::OnInitDialog() {
    m_mailLink.Attach(GetItem(IDC_MAIL_LINK), kMailTarget);
    m_webLink.Attach(GetItem(IDC_WEB_LINK), kWebTarget);
    return CDialog::OnInitDialog();
}
