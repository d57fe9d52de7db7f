// A toolbar common control ("ToolbarWindow32") whose buttons show shell icons from the
// system image list. The band's toolbar derives from it and decides what the buttons are.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "framework/CSubclassWnd.h"

class CShellToolBar : public CSubclassWnd {
public:
    CShellToolBar() = default;
    ~CShellToolBar() override = default;

    // The virtual operations below keep this declaration order.

    // Gives the control the shell's large or small system image list.
    virtual void SetLargeIcons(bool large);
    virtual bool IsLargeIcons() const;
    // Rebuilds every button.
    virtual void LoadButtons() = 0;
    // Whether the screen point lies in the client area, and the index of the button under
    // it (-1 for none) in *index.
    virtual bool HitTestButton(POINT screenPoint, int* index);

private:
    bool m_largeIcons = false;
};
