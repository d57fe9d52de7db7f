// Entry point of Uninstall.exe: "-install" installs the suite from the program's own folder;
// an empty command line starts the removal from a temporary copy of the program; any other
// text is the installation folder that such a copy removes.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "setup/InstallFlow.h"
#include "setup/RemovalFlow.h"
#include "setup/SetupCommon.h"
#include "setup/core/InstallRules.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR commandLine, int /*show*/) {
    // The shell's folder browser, shortcuts and the browsers' automation need OLE on this
    // thread; the dialogs use the common controls' classes.
    const HRESULT ole = OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    InitSetupProgram(instance);

    int result = 0;
    const char* arguments = commandLine ? commandLine : "";
    switch (corvina::ChooseSetupMode(arguments)) {
    case corvina::SetupMode::Install:
        result = RunInstall();
        break;
    case corvina::SetupMode::Relaunch:
        result = RunRelaunch();
        break;
    case corvina::SetupMode::Removal:
        result = RunRemoval(arguments);
        break;
    }
    if (SUCCEEDED(ole)) {
        OleUninitialize();
    }
    return result;
}
