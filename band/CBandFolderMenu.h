// The band's folder drop-down: a menu host whose top level is the contents of one folder,
// built the way the hot-key menu builds a folder submenu ("Open", then the subfolders as
// submenus that fill when they open, then the other items).
#pragma once

#include <windows.h>
#include <shlobj.h>

#include "foldermenu/ShellMenuHost.h"

class CBandFolderMenu : public ShellMenuHost {
public:
    // The folder the next ShowAt lists; the list is borrowed for that showing (null clears).
    void SetFolder(LPCITEMIDLIST folder) { m_folder = folder; }
    LPCITEMIDLIST GetFolder() const { return m_folder; }

    void FillRootMenu(HMENU popup) override;

private:
    LPCITEMIDLIST m_folder = nullptr;
};
