// Entry point of Corvset.exe, the settings program.
#include <windows.h>

#include "settings/SettingsApp.h"

SettingsApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR commandLine, int show) {
    return CApp::RunApplication(instance, commandLine, show);
}
