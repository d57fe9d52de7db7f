// Resource identifiers of Corvset.exe.
#pragma once

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
