#include "settings/SettingsMessage.h"

#include "common/UiText.h"
#include "framework/CApp.h"
#include "settings/SettingsApp.h"
#include "settings/core/MessageBoxStyle.h"

std::string BuildMessageCaption() {
    return BuildText({L"コルヴィナ", "Corvina"});
}

HWND GetSafeMessageOwner() {
    CApp* app = CApp::GetApp();
    HWND main = app ? app->GetMainWindow() : nullptr;
    if (main && IsWindow(main)) {
        HWND popup = GetLastActivePopup(main);
        return popup ? popup : main;
    }
    return GetActiveWindow();
}

int SettingsMessageBox(const char* text, UINT type) {
    HWND owner = GetSafeMessageOwner();
    const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    const SettingsApp* app = SettingsApp::GetSettingsApp();
    const std::string caption = app ? app->GetMessageCaption() : BuildMessageCaption();
    const int result =
        MessageBoxA(owner, text ? text : "", caption.c_str(), corvina::AddDefaultMessageIcon(type));
    // The box disables its owner while it runs; make sure the owner comes back usable even
    // when it was torn down and re-made around the box.
    if (ownerWasEnabled && IsWindow(owner)) {
        EnableWindow(owner, TRUE);
    }
    return result;
}
