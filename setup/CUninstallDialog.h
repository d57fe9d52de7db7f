// The uninstall dialog of the temporary copy: it asks, and on OK ends the browser windows
// and the suite's programs, unregisters both servers, deletes the files, the shortcuts and
// the registry entries, and schedules for the next start whatever is still in use.
#pragma once

#include <windows.h>

#include <string>

#include "framework/CDialog.h"
#include "setup/CProgressBar.h"

class CUninstallDialog : public CDialog {
public:
    explicit CUninstallDialog(std::string installFolder);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    // Escape and the close box still reach here while the steps run; once started, the
    // removal is not cancelled.
    void OnCancel() override;

private:
    void RunRemovalSteps();
    void SetStatus(const std::string& text);
    // Deletes the installation's files; true when one of them has to wait for a restart.
    bool DeleteInstalledFiles();
    std::string InstalledFile(const char* name) const;

    std::string m_folder;
    CProgressBar m_progress;
    bool m_running = false;
};
