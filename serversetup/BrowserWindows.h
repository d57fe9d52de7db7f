// Ending the Explorer and Internet Explorer windows that keep our servers loaded, and
// switching a toolbar band off in a hidden browser, through their automation interfaces.
// Everything runs on the calling user-interface thread, which must be in a single-threaded
// apartment, and ends in bounded time: waits pump that thread's messages.
#pragma once

#include <windows.h>
#include <exdisp.h>

#include "serversetup/core/BrowserWindowRules.h"

// Hides and stops every browser window the shell lists, then tells each to quit, in the
// order of the shell's collection. Items that are no browser are left alone. 1 when the
// collection could be created and counted (also when it is empty); 0 when not, and then
// nothing was touched.
BOOL CloseShellBrowserWindows();

// TRUE when the shell lists at least one browser window. A collection that cannot be
// created or counted lists none. Changes nothing.
bool IsShellBrowserWindowOpen();

// Switches the band (class id text in registry form, with braces) off in a hidden Internet
// Explorer that shows location, so that windows opened later keep it off. 1 when the hidden
// browser was created and driven to the end (also when it never became idle: it is quit
// after the last wait); 0 when Internet Explorer is missing or answers no IWebBrowser2.
BOOL HideToolbarBand(const char* bandClassId, const char* location);
BOOL HideToolbarBand(const char* bandClassId, const char* location,
                     const corvina::BrowserWaitTimes& times);

// Pumps messages for 500 ms rounds until the browser is idle (1) or more than limitMs
// passed since the call began (0); each call checks at least once.
BOOL WaitBrowserIdle(IWebBrowser2* browser, DWORD limitMs);
BOOL WaitBrowserIdle(IWebBrowser2* browser, DWORD limitMs, DWORD pumpMs);

// Dispatches this thread's messages for durationMs, sleeping while none are waiting. A quit
// message ends the pump early and stays queued for the program's own loop.
void PumpMessages(DWORD durationMs);
