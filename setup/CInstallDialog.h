// The installation dialog: the folder to install into, the browse button and the progress
// of the copies. What it decides comes from the installation steps and the core.
#pragma once

#include <windows.h>

#include <string>

#include "framework/CDialog.h"
#include "setup/CProgressBar.h"

class CInstallDialog : public CDialog {
public:
    CInstallDialog();

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;

private:
    // The package check and the comparison with an installed version; false when the dialog
    // was closed by them.
    bool CheckPackage();
    void Browse();
    void EnableButtons(bool enable);
    std::string FolderText() const;

    CProgressBar m_progress;
    bool m_existingInstallation = false;
};
