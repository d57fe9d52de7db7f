// Window messages that travel between the suite's programs, the notice that tells every
// toolbar band to reload, and the window titles, classes and mutexes by which the programs
// find each other.
#pragma once

#include <windows.h>

#include <string>

#include "common/UiText.h"

// Names of the registered messages (RegisterWindowMessage).
inline constexpr char kUpdateOptionMessageName[] = "UpdateOption";
inline constexpr char kMenuMessageName[] = "MenuMessage";
inline constexpr char kHookMessageName[] = "HookMessage";
inline constexpr char kChangedButtonMessageName[] = "Velmora-Changed-Button";
inline constexpr char kTaskbarCreatedMessageName[] = "TaskbarCreated";

// The window class and text by which a band's toolbar is found.
inline constexpr char kBandToolbarClass[] = "ToolbarWindow32";
inline constexpr char kBandToolbarText[] = "Velmora:CorvinaBar";

// The resident program: its hidden frame's title and the mutex its running instance holds.
inline constexpr char kResidentFrameTitle[] = "VLEMORA : CorvinaPlus";
inline constexpr char kResidentMutexName[] = "Velmora : Corvina Plus";

// The settings program: the mutex of its running instance, and its sheet, a dialog window
// whose title depends on the system's language: two ideographic spaces after the Japanese
// title, one blank after the English one. The wide forms are what the sheet's window
// reports through the wide functions.
inline constexpr char kSettingsMutexName[] = "Velmora : Corvina";
inline constexpr char kSettingsSheetClass[] = "#32770";
inline constexpr wchar_t kJapaneseSettingsSheetTitle[] = L"Corvinaの設定\u3000\u3000";
inline constexpr wchar_t kEnglishSettingsSheetTitle[] = L"Corvina Settings ";
inline constexpr BilingualText kSettingsSheetTitle = {kJapaneseSettingsSheetTitle,
                                                      "Corvina Settings "};
// The sheet's title for this system, in the ANSI code page.
std::string BuildSettingsSheetTitle();

// The message numbers, obtained from the system by name.
struct RegisteredMessages {
    UINT updateOption;
    UINT menuMessage;
    UINT hookMessage;
    UINT changedButton;
    UINT taskbarCreated;
};
RegisteredMessages RegisterCorvinaMessages();

// Posts "Velmora-Changed-Button" (0, 0) to every window of the system whose class is
// exactly "ToolbarWindow32" and whose text is exactly "Velmora:CorvinaBar", visiting each
// window's children before the window itself, starting at the desktop. Returns the number
// of windows posted to.
UINT NotifyBandWindows();
