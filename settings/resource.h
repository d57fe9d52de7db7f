// Resource identifiers of Corvset.exe.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Program icon.
#define IDR_MAINFRAME 128
// Images of the menu list editor's toolbar: six 16 x 15 cells, magenta transparent.
#define IDB_MENU_EDIT 129
// Images of the sheet's three tabs: 16 x 15 cells, 16 colours, magenta transparent.
#define IDB_TABS 132
// Icons at the top of the resident program page and of the toolbar band page.
#define IDI_PLUS_PAGE 131
#define IDI_BAR_PAGE 134

// Text of the about entry appended to the sheet's system menu.
#define IDS_ABOUTBOX 101

// Dialogs: the three pages, the about box and the rename dialog.
#define IDD_BASIC_PAGE 106
#define IDD_ABOUTBOX 130
#define IDD_PLUS_PAGE 132
#define IDD_BAR_PAGE 133
#define IDD_ITEM_NAME 134

// Commands of the menu list editor's toolbar.
#define IDM_ADD_FILES 32771
#define IDM_ADD_FOLDERS 32772
#define IDM_DELETE 32773
#define IDM_UP 32774
#define IDM_DOWN 32775
#define IDM_RENAME 32776

// The about entry of the sheet's system menu (a system command: the low four bits are the
// system's own).
#define IDM_ABOUTBOX 0x0010

// Controls of the about box.
#define IDC_ABOUT_ICON 1006
#define IDC_MAIL_LINK 1008
#define IDC_WEB_LINK 1009

// Controls of the menu list editor page.
#define IDC_MENU_TREE 1000
#define IDC_TOOLBAR_PLACE 1001
#define IDC_EXTENSION_ENABLED 1003
#define IDC_MENU_TOOLBAR 500

// Controls of the resident program page.
#define IDC_HOTKEY 1001
#define IDC_TIER_FLAG 1002
#define IDC_FOLDER_ONLY 1003
#define IDC_AUTOSTART 1004
#define IDC_START_NOW 1009

// Controls of the toolbar band page.
#define IDC_SHOW_TEXT 1006
#define IDC_REGISTER_BAND 1007
#define IDC_UNREGISTER_BAND 1008

// Controls of the rename dialog.
#define IDC_ITEM_NAME 1011
