// Questions to the shell about items and paths, and opening an item the way a double click
// in Explorer would. Helpers return TRUE (1) on success and FALSE (0) on failure.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "framework/CItemIdList.h"
#include "framework/ComPtr.h"

// Display name and index in the system image list of the item (one file-information query).
// Outputs are written only on success; either may be null.
BOOL QueryLabelAndIcon(LPCITEMIDLIST list, std::string* label, int* iconIndex);
BOOL QueryIconIndex(LPCITEMIDLIST list, int* iconIndex);
BOOL QueryLabel(LPCITEMIDLIST list, std::string* label);
// The same display name for a child of an already bound folder. Asked of the folder itself,
// it spares the bind through every level of the absolute list that a file-information query
// makes, which is most of that query's cost for a folder of thousands of items.
BOOL QueryChildLabel(IShellFolder* folder, LPCITEMIDLIST child, std::string* label);
// The same names in UTF-16, for the NT family (see UseWideLabels): with the wide
// file-information query, and as the folder gives its child's name.
BOOL QueryWideLabelAndIcon(LPCITEMIDLIST list, std::wstring* label, int* iconIndex);
BOOL QueryChildWideLabel(IShellFolder* folder, LPCITEMIDLIST child, std::wstring* label);
// The file-system path of a child of an already bound folder, as SHGetPathFromIDList gives it
// for the absolute list; empty for an item outside the file system.
std::string QueryChildPath(IShellFolder* folder, LPCITEMIDLIST child);

// The absolute item ID list of an ANSI path, parsed by the desktop folder; empty when the
// path is null, longer than 259 characters, or not understood by the shell.
CItemIdList ParsePathToItemIdList(const char* path);

// Whether list is the desktop: the list the shell gives for it, or the empty list when the
// shell gives none.
BOOL IsDesktopItemIdList(LPCITEMIDLIST list);
// The folder object of list (the desktop folder itself for the desktop); null when the shell
// binds no folder to it.
CComPtr<IShellFolder> BindToFolder(LPCITEMIDLIST list);
// Whether list is a folder that would show at least one child (the desktop always is). Asks
// the shell for a single child.
BOOL IsExpandableFolder(LPCITEMIDLIST list);
// The shell's own description of the item, asked of the folder that holds it (owner is the
// window for anything the folder shows). FALSE, and tip left alone, when the folder offers no
// info-tip object for it; otherwise tip holds the text, empty when the object gives none.
BOOL QueryInfoTip(LPCITEMIDLIST list, HWND owner, std::wstring* tip);
// Display name and system image list index of the drives folder (My Computer). Either may
// be null.
BOOL QueryDrivesFolderInfo(int* iconIndex, std::string* displayName);

// Opens the item with its default verb, falling back to "Open". No error UI is shown.
// Returns TRUE when one of the two attempts succeeded.
BOOL RunItemIdList(LPCITEMIDLIST list);

// Attributes readable and not a directory.
BOOL IsExistingFile(const char* path);
// Attributes readable and a directory.
BOOL IsExistingFolder(const char* path);
// "X:\" for a letter X (either case), exactly three characters.
BOOL IsDriveRoot(const char* path);
// Whether the volume of path (its drive root for a drive-letter path) answers, or fails for a
// reason other than "device not ready". Neither the current directory nor the error mode is
// left changed, and a drive without its medium brings up no system box.
BOOL IsDriveReady(const char* path);
