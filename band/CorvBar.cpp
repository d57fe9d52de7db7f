#include "band/CorvBar.h"

#include <commctrl.h>
#include <oleauto.h>

#include "band/core/BandObjectRules.h"
#include "common/Registry.h"
#include "common/WindowMessages.h"
#include "framework/CActivationContext.h"
#include "framework/DispatchMethods.h"
#include "framework/ComTry.h"
#include "framework/Debug.h"
#include "framework/ModuleInstance.h"

static_assert(corvina::kBandInfoMinSize == DBIM_MINSIZE, "DBIM_MINSIZE");
static_assert(corvina::kBandInfoMaxSize == DBIM_MAXSIZE, "DBIM_MAXSIZE");
static_assert(corvina::kBandInfoIntegral == DBIM_INTEGRAL, "DBIM_INTEGRAL");
static_assert(corvina::kBandInfoActual == DBIM_ACTUAL, "DBIM_ACTUAL");
static_assert(corvina::kBandInfoTitle == DBIM_TITLE, "DBIM_TITLE");
static_assert(corvina::kBandInfoModeFlags == DBIM_MODEFLAGS, "DBIM_MODEFLAGS");
static_assert(corvina::kBandInfoBackgroundColor == DBIM_BKCOLOR, "DBIM_BKCOLOR");
static_assert(corvina::kBandModeVariableHeight == DBIMF_VARIABLEHEIGHT, "DBIMF_VARIABLEHEIGHT");

namespace {

// Child, visible, tab stop, tooltips, flat, list, transparent, no divider, no resize, no
// vertical move.
constexpr DWORD kToolbarStyle = 0x50019946;
static_assert(kToolbarStyle ==
                  (WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBSTYLE_TOOLTIPS | TBSTYLE_FLAT |
                   TBSTYLE_LIST | TBSTYLE_TRANSPARENT | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOMOVEY),
              "toolbar style");
constexpr int kToolbarId = 500;

// Published once with an interlocked exchange: Explorer runs its windows' bands on several
// threads.
ITypeInfo* volatile g_typeInfo = nullptr;

// The module's own context, so that the toolbar binds the common controls 6 of the DLL's
// manifest whatever the host's are. Made on first use, kept while the module is loaded.
const CActivationContext& BandActivationContext() {
    struct CModuleContext {
        CActivationContext context;
        CModuleContext() { context.Create(GetThisModule(), 2); }
    };
    static const CModuleContext made;
    return made.context;
}

HRESULT LoadTypeInfo(ITypeInfo** info) {
    *info = nullptr;
    ITypeInfo* cached = g_typeInfo;
    if (!cached) {
        CComPtr<ITypeLib> library;
        HRESULT hr = LoadRegTypeLib(LIBID_CORVINABARLib, kCorvinaBarLibMajorVersion,
                                    kCorvinaBarLibMinorVersion, LOCALE_NEUTRAL, &library);
        if (FAILED_UNEXPECTEDLY(hr)) {
            return hr;
        }
        CComPtr<ITypeInfo> loaded;
        hr = library->GetTypeInfoOfGuid(IID_ICorvBar, &loaded);
        if (FAILED_UNEXPECTEDLY(hr)) {
            return hr;
        }
        // For a dual interface the library hands out the dispatch description; invoking
        // through the object's table needs the interface description it refers to.
        HREFTYPE reference = 0;
        CComPtr<ITypeInfo> vtableInfo;
        if (SUCCEEDED(loaded->GetRefTypeOfImplType(static_cast<UINT>(-1), &reference)) &&
            SUCCEEDED(loaded->GetRefTypeInfo(reference, &vtableInfo))) {
            loaded = vtableInfo;
        }
        ITypeInfo* published = loaded.Get();
        cached = static_cast<ITypeInfo*>(InterlockedCompareExchangePointer(
            reinterpret_cast<void* volatile*>(&g_typeInfo), published, nullptr));
        if (!cached) {
            cached = loaded.Detach(); // the cache's reference
        }
    }
    cached->AddRef();
    *info = cached;
    return S_OK;
}

} // namespace

void TerminateBandServer() {
    ITypeInfo* info = static_cast<ITypeInfo*>(
        InterlockedExchangePointer(reinterpret_cast<void* volatile*>(&g_typeInfo), nullptr));
    if (info) {
        info->Release();
    }
}

CorvBar::CorvBar(IUnknown* outer) : CComObjectRoot(outer) {}

CorvBar::~CorvBar() {
    // No message handled from here on may hold the object whose destructor is running.
    m_toolbar.SetOwner(nullptr);
    DestroyBandWindow();
    ReleaseSite();
    m_toolbar.SetBandCallback(nullptr);
}

const CQITableEntry* CorvBar::GetQITable() {
    static const CQITableEntry table[] = {QITABLE_ENTRY(CorvBar, ICorvBar),
                                          QITABLE_ENTRY_IID(CorvBar, IID_IDispatch, ICorvBar),
                                          QITABLE_ENTRY(CorvBar, IDeskBand),
                                          QITABLE_ENTRY_IID(CorvBar, IID_IOleWindow, IDeskBand),
                                          QITABLE_ENTRY_IID(CorvBar, IID_IDockingWindow, IDeskBand),
                                          QITABLE_ENTRY(CorvBar, IContextMenu),
                                          QITABLE_ENTRY(CorvBar, IInputObject),
                                          QITABLE_ENTRY(CorvBar, IObjectWithSite),
                                          QITABLE_ENTRY_IID(CorvBar, IID_IPersist, IPersistStream),
                                          QITABLE_ENTRY(CorvBar, IPersistStream),
                                          {nullptr, 0}};
    return table;
}

// IDispatch

STDMETHODIMP CorvBar::GetTypeInfoCount(UINT* count) {
    return DispatchGetTypeInfoCount(count);
}

STDMETHODIMP CorvBar::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    COM_TRY_BEGIN
    return DispatchGetTypeInfo(index, info, LoadTypeInfo);
    COM_TRY_END
}

STDMETHODIMP CorvBar::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    COM_TRY_BEGIN
    return DispatchGetIDsOfNames(riid, names, count, ids, LoadTypeInfo);
    COM_TRY_END
}

STDMETHODIMP CorvBar::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                             VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
    COM_TRY_BEGIN
    return DispatchInvoke(static_cast<ICorvBar*>(this), id, riid, flags, params, result, exception,
                          argumentError, LoadTypeInfo);
    COM_TRY_END
}

// IOleWindow

STDMETHODIMP CorvBar::GetWindow(HWND* window) {
    COM_TRY_BEGIN
    if (!window) {
        return E_INVALIDARG;
    }
    *window = m_window;
    return S_OK;
    COM_TRY_END
}

STDMETHODIMP CorvBar::ContextSensitiveHelp(BOOL) {
    return E_NOTIMPL;
}

// IDockingWindow

STDMETHODIMP CorvBar::ShowDW(BOOL show) {
    COM_TRY_BEGIN
    const corvina::ShowStep step = corvina::PlanShow(m_newRow, m_window != nullptr, show);
    if (step.breakRow) {
        BreakRebarRow();
        StoreNewRowValue(0);
    }
    if (m_window) {
        ShowWindow(m_window, step.showWindow ? SW_SHOW : SW_HIDE);
    }
    if (step.clearNewRow) {
        m_newRow = false;
    }
    return S_OK;
    COM_TRY_END
}

STDMETHODIMP CorvBar::CloseDW(DWORD) {
    COM_TRY_BEGIN
    // The window's own style, not IsWindowVisible: a browser window that is going away may
    // hide itself first, and that must not count as the user switching the band off.
    const bool visible = m_window && (GetWindowLongPtrA(m_window, GWL_STYLE) & WS_VISIBLE) != 0;
    if (corvina::ClosingStoresNewRow(m_window != nullptr, visible)) {
        StoreNewRowValue(1);
    }
    ShowDW(FALSE);
    // A menu of the band still open ends first; its loop returns once this call is over,
    // and the held band object goes only then.
    m_toolbar.EndMenus();
    DestroyBandWindow();
    return S_OK;
    COM_TRY_END
}

STDMETHODIMP CorvBar::ResizeBorderDW(LPCRECT, IUnknown*, BOOL) {
    return E_NOTIMPL;
}

// IDeskBand

STDMETHODIMP CorvBar::GetBandInfo(DWORD bandId, DWORD viewMode, DESKBANDINFO* info) {
    COM_TRY_BEGIN
    m_bandId = bandId;
    m_toolbar.SetBandId(bandId);
    m_toolbar.SetViewMode(viewMode);
    if (!info) {
        return E_INVALIDARG;
    }
    corvina::FillBandInfo(*info, m_toolbar.GetBarHeight());
    return S_OK;
    COM_TRY_END
}

// IContextMenu

STDMETHODIMP CorvBar::QueryContextMenu(HMENU, UINT, UINT, UINT, UINT) {
    return E_NOTIMPL;
}

STDMETHODIMP CorvBar::InvokeCommand(CMINVOKECOMMANDINFO*) {
    return E_NOTIMPL;
}

STDMETHODIMP CorvBar::GetCommandString(UINT_PTR, UINT, UINT*, LPSTR, UINT) {
    return E_NOTIMPL;
}

// IInputObject

STDMETHODIMP CorvBar::UIActivateIO(BOOL activate, MSG*) {
    COM_TRY_BEGIN
    if (activate && m_window) {
        SetFocus(m_window);
    }
    return S_OK;
    COM_TRY_END
}

STDMETHODIMP CorvBar::HasFocusIO() {
    COM_TRY_BEGIN
    // Without a window GetFocus may well be null too: that is no focus of ours.
    const bool focused = m_window && GetFocus() == m_window;
    return focused || m_hasFocus ? S_OK : S_FALSE;
    COM_TRY_END
}

STDMETHODIMP CorvBar::TranslateAcceleratorIO(MSG*) {
    return S_FALSE;
}

// IObjectWithSite

STDMETHODIMP CorvBar::SetSite(IUnknown* site) {
    COM_TRY_BEGIN
    ReleaseSite();
    if (!site) {
        return S_OK; // the window stays until CloseDW
    }
    CComPtr<IOleWindow> oleWindow;
    HWND parent = nullptr;
    if (FAILED(site->QueryInterface(IID_IOleWindow,
                                    reinterpret_cast<void**>(oleWindow.GetAddressOf()))) ||
        !oleWindow || FAILED(oleWindow->GetWindow(&parent)) || !parent) {
        m_parent = nullptr;
        return E_FAIL;
    }
    m_parent = parent;
    // A site that does not take part in the focus protocol still gets a band.
    site->QueryInterface(IID_IInputObjectSite, reinterpret_cast<void**>(m_site.GetAddressOf()));
    // A new site means a new window: the old one would otherwise stay behind, unowned.
    DestroyBandWindow();
    const HRESULT hr = CreateBandWindow();
    if (FAILED(hr)) {
        ReleaseSite();
    }
    return hr;
    COM_TRY_END
}

STDMETHODIMP CorvBar::GetSite(REFIID riid, void** site) {
    COM_TRY_BEGIN
    if (!site) {
        return E_POINTER;
    }
    *site = nullptr;
    if (!m_site) {
        return E_FAIL;
    }
    return m_site->QueryInterface(riid, site);
    COM_TRY_END
}

// IPersist, IPersistStream

STDMETHODIMP CorvBar::GetClassID(CLSID* classId) {
    if (!classId) {
        return E_POINTER;
    }
    *classId = CLSID_CorvBar;
    return S_OK;
}

STDMETHODIMP CorvBar::IsDirty() {
    return S_FALSE;
}

STDMETHODIMP CorvBar::Load(IStream*) {
    return S_OK;
}

STDMETHODIMP CorvBar::Save(IStream*, BOOL) {
    return S_OK;
}

STDMETHODIMP CorvBar::GetSizeMax(ULARGE_INTEGER*) {
    return E_NOTIMPL;
}

// IBandFocusSink

void CorvBar::FocusChange(bool gained) {
    m_hasFocus = gained;
    if (gained && m_site) {
        m_site->OnFocusChangeIS(static_cast<IInputObject*>(this), TRUE);
    }
}

HRESULT CorvBar::CreateBandWindow() {
    char hostPath[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, hostPath, MAX_PATH);
    m_hostName = corvina::HostNameFromModulePath(std::string(hostPath, length));
    DWORD stored = 0;
    const bool readable = ReadRegistryDword(HKEY_CURRENT_USER, kCorvinaBarKeyPath,
                                            m_hostName.c_str(), &stored) != FALSE;
    m_newRow = corvina::NewRowFlagFromStoredValue(readable, stored);

    RECT client = {};
    GetClientRect(m_parent, &client);
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(m_parent, GWLP_HINSTANCE));
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    HWND window = nullptr;
    {
        const CActivationContext::CScope scope(BandActivationContext());
        window = CreateWindowExA(
            0, kBandToolbarClass, "", kToolbarStyle, client.left, client.top, width, height,
            m_parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kToolbarId)), instance, nullptr);
    }
    if (!window) {
        return E_FAIL;
    }
    MoveWindow(window, client.left, client.top, width, height, TRUE);
    m_window = window;
    m_toolbar.SetOwner(GetInnerUnknown());
    m_toolbar.SetBandCallback(this);
    m_toolbar.SetSite(m_site.Get());
    // Other programs find the band by this text; the toolbar's creation step does not need it.
    SetWindowTextA(window, kBandToolbarText);
    if (!m_toolbar.Initialize(window)) {
        DestroyBandWindow();
        return E_FAIL;
    }
    return S_OK;
}

void CorvBar::DestroyBandWindow() {
    if (m_window) {
        // The host may have destroyed it with the rebar already.
        if (IsWindow(m_window)) {
            DestroyWindow(m_window);
        }
        m_window = nullptr;
    }
}

void CorvBar::ReleaseSite() {
    m_toolbar.SetSite(nullptr);
    m_site.Reset();
}

void CorvBar::StoreNewRowValue(DWORD value) const {
    // Failures are of no consequence: the band then starts on a new row next time too.
    if (EnsureRegistryKey(HKEY_CURRENT_USER, kCorvinaBarKeyPath)) {
        WriteRegistryDword(HKEY_CURRENT_USER, kCorvinaBarKeyPath, m_hostName.c_str(), value);
    }
}

void CorvBar::BreakRebarRow() const {
    if (!m_parent || !m_window) {
        return;
    }
    const int count = static_cast<int>(SendMessageA(m_parent, RB_GETBANDCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        REBARBANDINFOA band = {};
        // The smallest layout every rebar version accepts; it has the style and the child.
        band.cbSize = REBARBANDINFOA_V3_SIZE;
        band.fMask = RBBIM_STYLE | RBBIM_CHILD;
        if (!SendMessageA(m_parent, RB_GETBANDINFOA, static_cast<WPARAM>(index),
                          reinterpret_cast<LPARAM>(&band)) ||
            band.hwndChild != m_window) {
            continue;
        }
        band.fMask = RBBIM_STYLE;
        band.fStyle |= RBBS_BREAK;
        SendMessageA(m_parent, RB_SETBANDINFOA, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&band));
        return;
    }
}
