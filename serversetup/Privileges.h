// Which system family the program runs on, and whether its user may act as an administrator
// or power user.
#pragma once

#include <windows.h>

// TRUE when GetVersionEx reports the Windows NT platform; FALSE on the 95/98/Me family and
// when the version cannot be read.
BOOL IsNtPlatform();

// TRUE when the token holds the built-in alias S-1-5-32-<aliasRid> enabled (a deny-only
// group does not count). FALSE when it does not, and when the token cannot be read.
BOOL TokenHasEnabledBuiltinAlias(HANDLE token, DWORD aliasRid);

// Membership of the built-in Administrators (Power Users) group in the process token. Every
// user counts as both on the 95/98/Me family, which has no such groups.
BOOL IsAdministrator();
BOOL IsPowerUser();
