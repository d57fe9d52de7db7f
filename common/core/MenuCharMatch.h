// Which entry of an owner-drawn menu a typed character picks. The system knows nothing of
// the labels these menus draw themselves, so each menu answers WM_MENUCHAR through this rule:
// the next entry after the highlighted one whose label starts with the character, wrapping
// around; an entry that is the only one to start with it is chosen at once.
//
// Labels and the typed character are texts of the system's ANSI code page, where a lead
// byte starts a two-byte character (Shift-JIS on Japanese systems).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/core/AnsiText.h"
#include "common/core/WideText.h"

namespace corvina {

// Which letters have an upper-case form beyond ASCII.
enum class MenuKeyCodePage {
    Other,    // ASCII only
    Western,  // code page 1252: the accented Latin letters
    ShiftJis, // code page 932: the full-width Latin, Greek and Cyrillic letters
};

struct MenuKeyText {
    LeadBytePredicate isLead;
    MenuKeyCodePage codePage;
};

// The first character of text (up to its first zero byte): two bytes after a lead byte that
// has its trail byte, else one; empty for an empty text.
std::string_view FirstMenuCharacter(std::string_view text, LeadBytePredicate isLead);

// The upper-case form of one character, as the system's upper-casing gives it for the code
// page; anything without one comes back unchanged.
std::string FoldMenuCharacter(std::string_view character, MenuKeyCodePage codePage);

// The character after the first "&" that is not doubled ("&&" shows one ampersand); empty
// when the label has none.
std::string_view AmpersandMnemonic(std::string_view label, LeadBytePredicate isLead);

struct MenuKeyEntry {
    std::string_view label;
    // False for entries a key never picks (separators).
    bool choosable = true;
    // Whether "&" in the label marks its mnemonic (a label drawn without prefix processing
    // shows its ampersands as they are, so there they are ordinary characters).
    bool ampersandPrefix = false;
};

enum class MenuKeyAction {
    Ignore,  // no entry starts with the character
    Select,  // highlight the entry, the menu stays open
    Execute, // choose the entry as Return would
};

struct MenuKeyChoice {
    MenuKeyAction action;
    int index; // position in the menu; -1 with Ignore
};

// entries in menu order; current is the highlighted position (-1: none). An entry whose
// "&" mnemonic is the character takes precedence over entries that merely start with it.
MenuKeyChoice ChooseMenuEntryByKey(const std::vector<MenuKeyEntry>& entries, std::string_view typed,
                                   int current, const MenuKeyText& text);

// The same rule over UTF-16 labels (the NT family's shell names). A character is one unit or
// a surrogate pair; fold gives its upper-case form (the system's own upper-casing on
// Windows).
struct WideMenuKeyEntry {
    std::u16string_view label;
    bool choosable = true;
    bool ampersandPrefix = false;
};
using WideCharacterFold = std::u16string (*)(std::u16string_view character);

std::u16string_view WideAmpersandMnemonic(std::u16string_view label);

MenuKeyChoice ChooseWideMenuEntryByKey(const std::vector<WideMenuKeyEntry>& entries,
                                       std::u16string_view typed, int current,
                                       WideCharacterFold fold);

} // namespace corvina
