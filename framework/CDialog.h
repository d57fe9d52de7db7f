// A dialog box from a dialog resource (or an in-memory template) whose dialog procedure
// forwards to virtual functions. The object is linked to its window through DWLP_USER.
//
//   class CNameDialog : public CDialog {
//   public:
//       CNameDialog() : CDialog(IDD_NAME) {}
//       std::string name;
//   protected:
//       void DoDataExchange(CDataExchange& dx) override { DDX_Text(dx, IDC_NAME, name); }
//   };
#pragma once

#include <windows.h>

#include <string>

class CDataExchange;

class CDialog {
public:
    explicit CDialog(UINT templateId = 0, HINSTANCE resources = nullptr);
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;
    virtual ~CDialog();

    // Whether dialogs and property sheets are made through the wide calls: the NT family has
    // them, the 9x family only the ANSI ones. The ANSI calls pass a template's UTF-16 texts
    // through the system code page, so a Japanese template reads "?" on an English NT system.
    static bool UsesWideTemplateCalls();

    HWND GetHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }
    HWND GetItem(int id) const { return GetDlgItem(m_hWnd, id); }

    // Modal: returns the code passed to EndDialog, or -1 when the dialog could not be made.
    INT_PTR DoModal(HWND parent = nullptr);
    INT_PTR DoModalIndirect(const DLGTEMPLATE* dialogTemplate, HWND parent = nullptr);
    // Modeless: registered with the application object for keyboard navigation.
    bool CreateModeless(HWND parent = nullptr);
    bool IsModal() const { return m_modal; }

    // Ends a modal dialog with result, or destroys a modeless one.
    void EndDialogWith(INT_PTR result);

    // Moves data between the controls and the members: save true reads the controls.
    // False when a DDX step failed (the focus is then on the failing control).
    bool UpdateData(bool save);

    // For messages whose result goes through DWLP_MSGRESULT (notifications).
    void SetMessageResult(LRESULT result) { SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result); }

protected:
    // All messages. The default handles WM_INITDIALOG, WM_COMMAND and WM_NOTIFY through the
    // virtuals below; return FALSE for unhandled messages as a dialog procedure does.
    virtual INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Default: UpdateData(false); returns TRUE to let the system set the focus.
    virtual BOOL OnInitDialog();
    // Default: UpdateData(true), then EndDialogWith(IDOK) if that succeeded.
    virtual void OnOK();
    // Default: EndDialogWith(IDCANCEL).
    virtual void OnCancel();
    // Return true when handled. Default: IDOK → OnOK, IDCANCEL → OnCancel.
    virtual bool OnCommand(WORD id, WORD code, HWND control);
    // Return true when handled, with the notification's result in *result.
    virtual bool OnNotify(int id, NMHDR* header, LRESULT* result);
    virtual void DoDataExchange(CDataExchange& dx) { (void)dx; }
    // After WM_NCDESTROY, when the link is gone.
    virtual void OnFinalMessage(HWND window) { (void)window; }

    UINT GetTemplateId() const { return m_templateId; }
    HINSTANCE GetResourceInstance() const { return m_resources; }

    // Shared by dialogs and property pages: links the object at WM_INITDIALOG. Both answer
    // WM_NOTIFYFORMAT with NFR_ANSI, also before the link exists (controls ask while the
    // template is being made): a dialog made by a wide call is a Unicode window, and its
    // controls would otherwise send the wide forms of their notifications.
    static INT_PTR CALLBACK StaticDialogProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam);
    static INT_PTR Dispatch(CDialog* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void AttachWindow(HWND window);

private:
    UINT m_templateId;
    HINSTANCE m_resources;
    HWND m_hWnd = nullptr;
    bool m_modal = false;
};
