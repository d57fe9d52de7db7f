// Resource identifiers of Uninstall.exe.
#pragma once

// Program icon, also shown in both dialogs.
#define IDR_MAINFRAME 128
// Title banner of the installation dialog.
#define IDB_BANNER 129

// Dialogs.
#define IDD_UNINSTALL 102
#define IDD_INSTALL 103
