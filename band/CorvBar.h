// The toolbar band object that Explorer and Internet Explorer host in their rebar: one per
// browser window that shows the band. It creates the band's toolbar window on its site,
// reports its band information, shows, hides and closes, takes part in the host's focus
// protocol, and remembers per host program whether the band starts on a new rebar row.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <shlobj.h>

#include <string>

#include "band/BandIds.h"
#include "band/CBandToolBar.h"
#include "framework/CComObjectRoot.h"
#include "framework/ComPtr.h"

class CorvBar : public CComObjectRoot<CorvBar>,
                public ICorvBar,
                public IDeskBand,
                public IContextMenu,
                public IInputObject,
                public IObjectWithSite,
                public IPersistStream,
                public IBandFocusSink {
public:
    explicit CorvBar(IUnknown* outer);
    // Destroys the window if it is still there and lets go of the site.
    ~CorvBar() override;

    COM_CREATABLE_OBJECT

    // IDispatch, served from the registered type library.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale,
                               DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params,
                        VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

    // IOleWindow
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enterMode) override;

    // IDockingWindow
    STDMETHODIMP ShowDW(BOOL show) override;
    STDMETHODIMP CloseDW(DWORD reserved) override;
    STDMETHODIMP ResizeBorderDW(LPCRECT border, IUnknown* site, BOOL reserved) override;

    // IDeskBand
    STDMETHODIMP GetBandInfo(DWORD bandId, DWORD viewMode, DESKBANDINFO* info) override;

    // IContextMenu: the band adds nothing to the host's menu of the band.
    STDMETHODIMP QueryContextMenu(HMENU menu, UINT index, UINT firstId, UINT lastId,
                                  UINT flags) override;
    STDMETHODIMP InvokeCommand(CMINVOKECOMMANDINFO* info) override;
    STDMETHODIMP GetCommandString(UINT_PTR id, UINT type, UINT* reserved, LPSTR name,
                                  UINT size) override;

    // IInputObject
    STDMETHODIMP UIActivateIO(BOOL activate, MSG* message) override;
    STDMETHODIMP HasFocusIO() override;
    STDMETHODIMP TranslateAcceleratorIO(MSG* message) override;

    // IObjectWithSite
    STDMETHODIMP SetSite(IUnknown* site) override;
    STDMETHODIMP GetSite(REFIID riid, void** site) override;

    // IPersist, IPersistStream: the band keeps nothing in the host's stream.
    STDMETHODIMP GetClassID(CLSID* classId) override;
    STDMETHODIMP IsDirty() override;
    STDMETHODIMP Load(IStream* stream) override;
    STDMETHODIMP Save(IStream* stream, BOOL clearDirty) override;
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;

    // IBandFocusSink: the toolbar's own focus handling is done.
    void FocusChange(bool gained) override;

private:
    // Reads the host's new-row value and creates the toolbar window on the parent window,
    // attaching the toolbar object to it. E_FAIL (and no window) when either step fails.
    HRESULT CreateBandWindow();
    void DestroyBandWindow();
    // Releases the focus site; the toolbar forgets its borrowed copy first.
    void ReleaseSite();
    // Stores the host's new-row value, creating the keys one level at a time.
    void StoreNewRowValue(DWORD value) const;
    void BreakRebarRow() const;

    HWND m_window = nullptr;
    CComPtr<IInputObjectSite> m_site;
    HWND m_parent = nullptr;
    bool m_hasFocus = false;
    CBandToolBar m_toolbar;
    DWORD m_bandId = 0;
    bool m_newRow = true;
    std::string m_hostName;
};

// Lets go of the type information the band objects' IDispatch caches server-wide. (The
// number of "Velmora-Changed-Button" is obtained by the toolbar's code when the module loads.)
void TerminateBandServer();
