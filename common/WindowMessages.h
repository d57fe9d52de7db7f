// Window messages that travel between the suite's programs, and the notice that tells
// every toolbar band to reload.
#pragma once

#include <windows.h>

// Names of the registered messages (RegisterWindowMessage).
extern const char kUpdateOptionMessageName[];   // "UpdateOption"
extern const char kMenuMessageName[];           // "MenuMessage"
extern const char kHookMessageName[];           // "HookMessage"
extern const char kChangedButtonMessageName[];  // "Velmora-Changed-Button"
extern const char kTaskbarCreatedMessageName[]; // "TaskbarCreated"

// The window class and text by which a band's toolbar is found.
extern const char kBandToolbarClass[]; // "ToolbarWindow32"
extern const char kBandToolbarText[];  // "Velmora:CorvinaBar"

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
