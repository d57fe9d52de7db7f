// What the automation doubles play and what they saw: both live under HKEY_CURRENT_USER
// "Software\CorvinaTestDoubles", so a test (or any process of the test prefix) can script them.
//
// "Script" (REG_SZ), one "key=value" a line:
//   windows=browser,other,fail,qifail   the shell's collection: a browser; an automation
//                                       object that is no browser; an item whose fetch fails;
//                                       a browser whose IWebBrowser2 query fails (E_UNEXPECTED).
//                                       "windows=nocount": the count cannot be read.
//   ie=ok|missing|nobrowser2            Internet Explorer: works; cannot be created; answers
//                                       IWebBrowserApp but no IWebBrowser2.
//   ready=1,1,4                         its ready states, one per query; the last one stays
//   busy=0|1                            its busy flag
//   document=none|fail|<state>          its document: none shown; get_Document fails; an HTML
//                                       document with that ready state ("unreadable": the
//                                       state query fails)
//   frames=<document>,<document>        the frames embedded in that document, each a browser
//                                       whose document is given as above
//
// "Calls" (REG_SZ): one line per call, "<object>.<method>[ <arguments>]", and
// "<object>.released" when an object goes. Objects: "windows", "window<index>", "ie",
// "ie.doc", "frame<index>", "frame<index>.doc".
#pragma once

#define CORVINA_DOUBLES_KEY "Software\\CorvinaTestDoubles"
