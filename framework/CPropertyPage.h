// One page of a CPropertySheet, made by the system's property sheet from a dialog resource.
// The page notifications arrive as virtuals; data exchange works as in CDialog.
#pragma once

#include <windows.h>
#include <prsht.h>

#include <string>

#include "framework/CDialog.h"

class CPropertySheet;

class CPropertyPage : public CDialog {
public:
    explicit CPropertyPage(UINT templateId, HINSTANCE resources = nullptr);

    // Tab icon: a handle (owned by the caller, alive while the sheet runs) or a resource
    // id of the page's module. Set before the sheet runs.
    void SetTabIcon(HICON icon) { m_icon = icon; }
    void SetTabIconId(UINT iconId) { m_iconId = iconId; }
    // Tab caption instead of the dialog resource's caption. Set before the sheet runs.
    void SetTabTitle(const char* title) { m_title = title; }

    // Enables (or, when no other page is modified, greys) the sheet's Apply button.
    void SetModified(bool modified = true);

    // Applies the page. False keeps the sheet open with this page selected (PSNRET_INVALID).
    // Default: true.
    virtual bool OnApply() { return true; }
    // The page becomes active; false refuses. Default: true.
    virtual bool OnSetActive() { return true; }
    // The page is left (or OK pressed); false keeps it. Default: UpdateData(true).
    virtual bool OnKillActive() { return UpdateData(true); }
    // The sheet was cancelled. Default: nothing.
    virtual void OnReset() {}

    // The size the page's template asks for, in pixels of the page's own dialog font; empty
    // without a window or a template.
    SIZE GetTemplateSize() const;

    // Fills the system's page description (called by the sheet). The wide form carries the
    // tab title converted from the system code page; the page keeps that copy.
    void FillPage(PROPSHEETPAGEA& page);
    void FillPage(PROPSHEETPAGEW& page);

protected:
    // A page never ends itself: OK and Cancel belong to the sheet.
    void OnOK() override {}
    void OnCancel() override {}
    // Dispatches PSN_SETACTIVE, PSN_KILLACTIVE, PSN_APPLY and PSN_RESET to the virtuals.
    bool OnNotify(int id, NMHDR* header, LRESULT* result) override;

private:
    static INT_PTR CALLBACK PageDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HICON m_icon = nullptr;
    UINT m_iconId = 0;
    const char* m_title = nullptr;
    std::wstring m_wideTitle;
};
