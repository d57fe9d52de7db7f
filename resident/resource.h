// Resource identifiers of CorvinaPlus.exe.
#pragma once

// Program icon (shown large in the about box), the toolbar whose images decorate the icon
// menu, and that toolbar's bitmap.
#define IDR_MAINFRAME 128
// Icon of the notification area.
#define IDI_TRAY 135
// The notification icon's menu; its first popup is shown.
#define IDR_TRAYMENU 130
// About box.
#define IDD_ABOUTBOX 130

// Commands of the icon menu.
#define IDM_SETTINGS 32773
#define IDM_ABOUT 57664
#define IDM_EXIT 57665

// Controls of the about box.
#define IDC_PRODUCT_NAME 1000
#define IDC_VERSION_TEXT 1001
#define IDC_MAIL_LINK 1002
#define IDC_WEB_LINK 1003
#define IDC_PROGRAM_ICON 1004
