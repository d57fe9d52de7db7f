// WM_MENUCHAR for the suite's owner-drawn menus: the system cannot match a typed character
// against labels it never sees, so each menu hands the message here with its entries' labels
// (the rule itself is corvina::ChooseMenuEntryByKey).
#pragma once

#include <windows.h>

#include <functional>
#include <string>

class ShellMenuItemData;

// The typed character of a WM_MENUCHAR's wParam as text of the system code page. An ANSI
// window gets a double-byte character with its lead byte in the high half of the low word;
// a Unicode window (unicode true) gets a UTF-16 unit.
std::string MenuCharText(WPARAM wParam, bool unicode);

// Whether the window that owns the menu this thread tracks is a Unicode window (Explorer on
// the NT family); false when the system cannot tell.
bool IsMenuOwnerUnicode();

// The label of one entry, read from its MIIM_DATA / MIIM_ID / MIIM_FTYPE information; null
// when a key never picks the entry (a separator, someone else's data).
using MenuKeyLabel = std::function<const char*(const MENUITEMINFOA& item)>;

// How the labels of a menu are drawn.
enum class MenuLabelPrefix {
    None,      // as they are: an "&" is an ordinary character
    Ampersand, // with prefix processing: "&x" shows an underlined x, its mnemonic
};

// The WM_MENUCHAR answer for menu: MNC_SELECT or MNC_EXECUTE with the entry's position, or
// MNC_IGNORE when no entry starts with the typed character (or, with Ampersand, has it as its
// mnemonic, which comes first).
LRESULT AnswerMenuChar(HMENU menu, const std::string& typed, const MenuKeyLabel& labelOf,
                       MenuLabelPrefix prefix = MenuLabelPrefix::None);

// The entry data behind one entry of a menu of shell items; null when a key never picks it.
using MenuKeyEntryData = std::function<const ShellMenuItemData*(const MENUITEMINFOA& item)>;

// WM_MENUCHAR for a menu of ShellMenuItemData entries, wParam as the owner window got it
// (unicode: whether that window is a Unicode one). With wide labels (UseWideLabels) the
// typed character and every label are matched in UTF-16, upper-cased by the system; else as
// AnswerMenuChar does with the code page's texts.
LRESULT AnswerShellMenuChar(HMENU menu, WPARAM wParam, bool unicode,
                            const MenuKeyEntryData& entryOf);
