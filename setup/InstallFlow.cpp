#include "setup/InstallFlow.h"

#include "setup/CInstallDialog.h"
#include "setup/SetupCommon.h"

int RunInstall() {
    SetSetupMessageCaption(kInstallCaption);
    if (!GetSetupProgram().administrator) {
        SetupMessageBox(nullptr, kInstallNeedsAdministrator, MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    CInstallDialog dialog;
    dialog.DoModal(nullptr);
    return 0;
}
