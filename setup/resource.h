// Resource identifiers of Uninstall.exe.
#pragma once

// Program icon, also shown in both dialogs.
#define IDR_MAINFRAME 128
// Title banner of the installation dialog.
#define IDB_BANNER 129

// Dialogs.
#define IDD_UNINSTALL 102
#define IDD_INSTALL 103

// Controls of both dialogs.
#define IDC_STATUS 1000   // the current removal step (unused while installing)
#define IDC_PROGRESS 1001 // the progress bar, painted in place of a static control
#define IDC_FOLDER 1002   // the installation folder
#define IDC_BROWSE 1003   // "参照(&V)..."
#define IDC_INFO 1004     // the note above the browse button

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
