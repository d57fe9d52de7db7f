// The pieces every menu of the suite builds and shows the same way: the entry of a record of
// the user's list, the "Settings..." entry, the one-entry menu bar that holds a popup, and
// showing a popup so that it closes on a click elsewhere.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "common/MenuItemList.h"
#include "common/ShellMenuItemData.h"
#include "framework/Handles.h"

// The text of the one entry of a menu bar built by CreatePopupMenuBar.
extern const char kMenuBarPopupText[]; // "POPUP MENU"

// A menu bar whose one entry opens a new empty popup; the bar owns the popup and destroys it
// with itself. *popup receives the popup; on failure nothing is left and it is null.
CMenuHandle CreatePopupMenuBar(HMENU* popup);

// An entry of kind Command for record: the user's own name when the record has one, else the
// shell's display name (in UTF-16 where labels travel so), and the shell's icon. The entry
// holds no item yet: the caller gives it a copy of the record's list or the list itself. Null
// when memory is short.
std::unique_ptr<ShellMenuItemData> CreateRecordEntry(const MenuItemRecord& record);

// "Settings..." or its Japanese form, for the current system.
std::string GetSettingsLabel();
// The settings program (Corvset.exe) beside this module; empty when this module's path cannot
// be had.
std::string GetSettingsProgramPath();
// The "Settings..." entry, of kind Command. When the settings program lies beside this module
// the entry holds its item and icon and *present (if given) is true. Null when memory is short.
std::unique_ptr<ShellMenuItemData> CreateSettingsEntry(bool* present);

// Shows popup at the screen point (x, y) for owner and returns what TrackPopupMenu returned.
// A popup only closes on a click elsewhere when its window is the foreground one, and only a
// thread attached to the foreground's input may make it so: the input is shared while the
// menu is shown, foreground is brought forward first, and WM_NULL is posted to owner (while it
// is still a window) once the menu has closed, so that the next showing opens in turn.
BOOL TrackPopupMenuInForeground(HMENU popup, UINT flags, int x, int y, HWND owner, HWND foreground);
