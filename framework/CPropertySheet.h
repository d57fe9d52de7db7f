// A modal property sheet on the system's PropertySheetW (PropertySheetA on the 9x family,
// see CDialog::UsesWideTemplateCalls). The sheet window is subclassed as the system creates it, so
// that a derived class sees its messages in WindowProc (system menu, painting, the Apply button's
// command) and finishes its set-up in OnInitSheet, which runs when the system's own initialisation
// (tabs, start page) is done.
//
//   CMySheet sheet("Settings");            // pages are members, added in the constructor
//   sheet.AddPage(&m_firstPage); sheet.AddPage(&m_secondPage);
//   sheet.DoModal(nullptr);
#pragma once

#include <windows.h>
#include <prsht.h>

#include <string>
#include <vector>

#include "framework/CSubclassWnd.h"

class CPropertyPage;

class CPropertySheet {
public:
    explicit CPropertySheet(const char* caption = "", UINT startPage = 0,
                            HINSTANCE resources = nullptr);
    CPropertySheet(const CPropertySheet&) = delete;
    CPropertySheet& operator=(const CPropertySheet&) = delete;
    virtual ~CPropertySheet();

    // Pages are shown in the order added; they must outlive the sheet's run.
    void AddPage(CPropertyPage* page);
    size_t GetPageCount() const { return m_pages.size(); }
    CPropertyPage* GetPage(size_t index) const;

    void SetCaption(const char* caption) { m_caption = caption ? caption : ""; }
    void SetStartPage(UINT index) { m_startPage = index; }
    // Icon of the sheet's caption (a resource id of the sheet's module), set before DoModal.
    void SetIconId(UINT iconId) { m_iconId = iconId; }

    // Runs the sheet modally. Returns the system's result: positive after OK (or
    // ID_PSREBOOTSYSTEM/ID_PSRESTARTWINDOWS), 0 after Cancel, -1 on failure.
    INT_PTR DoModal(HWND parent);

    HWND GetHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }
    HWND GetTabControl() const;
    // Makes the page at index the active one (creating its window if needed).
    bool SetActivePage(size_t index);
    // Index of the active page, or -1.
    int GetActiveIndex() const;

protected:
    // After the system's WM_INITDIALOG processing: the tab control and the start page
    // exist; other pages are made when first activated. Afterwards the sheet grows until
    // every page made so far fits whole (FitPages).
    virtual void OnInitSheet() {}
    // Grows the sheet, its tab control and the pages made so far so that each page gets the
    // size its template asks for in its own dialog font; the buttons move along. The system
    // sizes the sheet by its own font, and a page whose font is replaced by one of another
    // size (a Japanese face on a system without it) would be cut off.
    void FitPages();
    // The sheet window's messages; the default goes to the system's sheet procedure.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam);
    static int CALLBACK SheetCallback(HWND window, UINT message, LPARAM lParam);
    void RunInitSheet();
    void Subclass(HWND window);

    // The sheet window's hook: its messages go to the sheet's WindowProc.
    class CHook final : public CSubclassWnd {
    public:
        explicit CHook(CPropertySheet& sheet) : m_sheet(sheet) {}
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
        LRESULT PassOn(UINT message, WPARAM wParam, LPARAM lParam) {
            return Default(message, wParam, lParam);
        }

    private:
        CPropertySheet& m_sheet;
    };

    std::string m_caption;
    UINT m_startPage;
    HINSTANCE m_resources;
    UINT m_iconId = 0;
    std::vector<CPropertyPage*> m_pages;
    HWND m_hWnd = nullptr;
    CHook m_hook{*this};
    bool m_initPending = false;
};
