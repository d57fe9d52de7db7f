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
