#include "CTestBandSite.h"

#include <shlguid.h>

#include <new>

// {9E3B4C71-2D58-4A0F-B6C3-71E8D2A45F90}
const CLSID kCorvBarClassId = {
    0x9E3B4C71, 0x2D58, 0x4A0F, {0xB6, 0xC3, 0x71, 0xE8, 0xD2, 0xA4, 0x5F, 0x90}};

const char CTestBandSite::kWindowClass[] = "CorvinaTestBandSite";

namespace {

HRESULT CallServerExport(const std::string& dllPath, const char* name) {
    HMODULE module = LoadLibraryA(dllPath.c_str());
    if (!module) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    using Export = HRESULT(STDAPICALLTYPE*)();
    auto function = reinterpret_cast<Export>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    const HRESULT hr = function ? function() : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    FreeLibrary(module);
    return hr;
}

} // namespace

HRESULT RegisterBandServer(const std::string& dllPath) {
    return CallServerExport(dllPath, "DllRegisterServer");
}

HRESULT UnregisterBandServer(const std::string& dllPath) {
    return CallServerExport(dllPath, "DllUnregisterServer");
}

// The site object the band holds: one identity for the three interfaces. It outlives the
// window if the band keeps a reference too long; then its calls go nowhere.
class CTestBandSite::CSiteObject : public IOleWindow,
                                   public IInputObjectSite,
                                   public IOleCommandTarget {
public:
    explicit CSiteObject(CTestBandSite* owner) : m_owner(owner) {}

    void Disconnect() { m_owner = nullptr; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) {
            return E_POINTER;
        }
        *out = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleWindow)) {
            *out = static_cast<IOleWindow*>(this);
        } else if (IsEqualIID(iid, IID_IInputObjectSite)) {
            *out = static_cast<IInputObjectSite*>(this);
        } else if (IsEqualIID(iid, IID_IOleCommandTarget)) {
            *out = static_cast<IOleCommandTarget*>(this);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&m_references); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG count = InterlockedDecrement(&m_references);
        if (count == 0) {
            delete this;
        }
        return count;
    }

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (!window) {
            return E_POINTER;
        }
        *window = m_owner ? m_owner->m_rebar : nullptr;
        return *window ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IInputObjectSite
    HRESULT STDMETHODCALLTYPE OnFocusChangeIS(IUnknown* object, BOOL focus) override {
        FocusChange change;
        change.focus = focus;
        if (m_owner && object && m_owner->m_band) {
            CComPtr<IUnknown> identity;
            object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(identity.GetAddressOf()));
            CComPtr<IUnknown> bandIdentity;
            m_owner->m_band->QueryInterface(IID_IUnknown,
                                            reinterpret_cast<void**>(bandIdentity.GetAddressOf()));
            change.fromBand = identity && identity.Get() == bandIdentity.Get();
        }
        m_focusChanges.push_back(change);
        return S_OK;
    }

    // IOleCommandTarget
    HRESULT STDMETHODCALLTYPE QueryStatus(const GUID*, ULONG, OLECMD*, OLECMDTEXT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Exec(const GUID* group, DWORD command, DWORD options, VARIANT* input,
                                   VARIANT*) override {
        ExecCall call;
        call.group = group ? *group : GUID_NULL;
        call.command = command;
        call.options = options;
        if (input) {
            call.inputType = input->vt;
            if (input->vt == VT_I4) {
                call.inputValue = input->lVal;
            }
        }
        m_execCalls.push_back(call);
        if (m_owner && group && IsEqualGUID(*group, CGID_DeskBand) &&
            command == DBID_BANDINFOCHANGED) {
            m_owner->RefreshBandInfo();
        }
        return S_OK;
    }

    std::vector<ExecCall> m_execCalls;
    std::vector<FocusChange> m_focusChanges;

private:
    virtual ~CSiteObject() = default;

    LONG m_references = 1;
    CTestBandSite* m_owner;
};

CTestBandSite::CTestBandSite() : m_site(new CSiteObject(this)) {}

CTestBandSite::~CTestBandSite() {
    Destroy();
    m_site->Disconnect();
    m_site->Release();
}

LRESULT CALLBACK CTestBandSite::WindowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    auto* site = reinterpret_cast<CTestBandSite*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case WM_NCCREATE:
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(
                              reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams));
        break;
    case WM_SIZE:
        if (site && site->m_rebar) {
            MoveWindow(site->m_rebar, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        }
        return 0;
    case WM_CLOSE:
        // The browser window closing with the band visible.
        if (site) {
            site->Destroy();
        }
        return 0;
    case WM_NCDESTROY:
        if (site) {
            site->m_window = nullptr;
            site->m_rebar = nullptr;
        }
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool CTestBandSite::Create(const RECT& rect, const char* title) {
    if (m_window) {
        return false;
    }
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_COOL_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &CTestBandSite::WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassExA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return false;
    }
    m_window = CreateWindowExA(0, kWindowClass, title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                               rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                               nullptr, nullptr, GetModuleHandleA(nullptr), this);
    if (!m_window) {
        return false;
    }
    RECT client = {};
    GetClientRect(m_window, &client);
    // The styles of Explorer's own rebar: bands of varying height, borders, drag to reorder.
    m_rebar =
        CreateWindowExA(WS_EX_TOOLWINDOW, REBARCLASSNAMEA, "",
                        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_VARHEIGHT |
                            RBS_BANDBORDERS | RBS_DBLCLKTOGGLE | CCS_NODIVIDER | CCS_TOP,
                        0, 0, client.right, client.bottom, m_window,
                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kRebarId)),
                        GetModuleHandleA(nullptr), nullptr);
    if (!m_rebar) {
        Destroy();
        return false;
    }
    REBARINFO info = {};
    info.cbSize = sizeof(info);
    SendMessageA(m_rebar, RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&info));
    ShowWindow(m_window, SW_SHOWNORMAL);
    UpdateWindow(m_window);
    return true;
}

void CTestBandSite::Destroy() {
    if (m_band) {
        RemoveBand(false);
    }
    if (m_window) {
        DestroyWindow(m_window);
    }
    m_window = nullptr;
    m_rebar = nullptr;
}

HRESULT CTestBandSite::AddBand(REFCLSID clsid) {
    CComPtr<IUnknown> band;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                  reinterpret_cast<void**>(band.GetAddressOf()));
    if (FAILED(hr)) {
        return hr;
    }
    return AddBand(band.Get());
}

HRESULT CTestBandSite::AddBand(IUnknown* band) {
    if (!band || !m_rebar) {
        return E_INVALIDARG;
    }
    if (m_band) {
        return E_UNEXPECTED;
    }
    CComPtr<IObjectWithSite> withSite;
    HRESULT hr = band->QueryInterface(IID_IObjectWithSite,
                                      reinterpret_cast<void**>(withSite.GetAddressOf()));
    if (FAILED(hr)) {
        return hr;
    }
    hr = withSite->SetSite(static_cast<IOleWindow*>(m_site));
    if (FAILED(hr)) {
        withSite->SetSite(nullptr);
        return hr;
    }
    m_band = band;
    hr = RefreshBandInfo();
    HWND window = nullptr;
    if (SUCCEEDED(hr)) {
        CComPtr<IOleWindow> oleWindow;
        hr = band->QueryInterface(IID_IOleWindow,
                                  reinterpret_cast<void**>(oleWindow.GetAddressOf()));
        if (SUCCEEDED(hr)) {
            hr = oleWindow->GetWindow(&window);
        }
        if (SUCCEEDED(hr) && !window) {
            hr = E_FAIL;
        }
    }
    if (SUCCEEDED(hr)) {
        REBARBANDINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_ID | RBBIM_SIZE;
        info.fStyle = RBBS_CHILDEDGE | RBBS_GRIPPERALWAYS;
        info.hwndChild = window;
        info.cxMinChild = m_bandInfo.ptMinSize.x;
        info.cyMinChild = m_bandInfo.ptMinSize.y;
        info.cyMaxChild = m_bandInfo.ptMaxSize.y;
        info.cyIntegral = m_bandInfo.ptIntegral.y;
        info.cx = 0;
        info.wID = kBandId;
        if (!SendMessageA(m_rebar, RB_INSERTBANDA, static_cast<WPARAM>(-1),
                          reinterpret_cast<LPARAM>(&info))) {
            hr = E_FAIL;
        }
    }
    if (FAILED(hr)) {
        CComPtr<IDockingWindow> docking;
        if (SUCCEEDED(band->QueryInterface(IID_IDockingWindow,
                                           reinterpret_cast<void**>(docking.GetAddressOf())))) {
            docking->CloseDW(0);
        }
        withSite->SetSite(nullptr);
        m_band.Reset();
        return hr;
    }
    m_bandWindow = window;
    return ShowBand(TRUE);
}

HRESULT CTestBandSite::ShowBand(BOOL show) {
    CComPtr<IDockingWindow> docking;
    if (!m_band) {
        return E_UNEXPECTED;
    }
    HRESULT hr = m_band.As(&docking);
    return SUCCEEDED(hr) ? docking->ShowDW(show) : hr;
}

HRESULT CTestBandSite::RefreshBandInfo() {
    CComPtr<IDeskBand> deskBand;
    if (!m_band) {
        return E_UNEXPECTED;
    }
    HRESULT hr = m_band.As(&deskBand);
    if (FAILED(hr)) {
        return hr;
    }
    DESKBANDINFO info = {};
    info.dwMask = DBIM_MINSIZE | DBIM_MAXSIZE | DBIM_INTEGRAL | DBIM_ACTUAL | DBIM_TITLE |
                  DBIM_MODEFLAGS | DBIM_BKCOLOR;
    hr = deskBand->GetBandInfo(kBandId, m_viewMode, &info);
    ++m_bandInfoCount;
    if (FAILED(hr)) {
        return hr;
    }
    m_bandInfo = info;
    const int index = FindBandIndex();
    if (index >= 0) {
        REBARBANDINFOA band = {};
        band.cbSize = sizeof(band);
        band.fMask = RBBIM_CHILDSIZE;
        band.cxMinChild = info.ptMinSize.x;
        band.cyMinChild = info.ptMinSize.y;
        band.cyMaxChild = info.ptMaxSize.y;
        band.cyIntegral = info.ptIntegral.y;
        SendMessageA(m_rebar, RB_SETBANDINFOA, index, reinterpret_cast<LPARAM>(&band));
    }
    return hr;
}

void CTestBandSite::RemoveBand(bool hideFirst) {
    if (!m_band) {
        return;
    }
    CComPtr<IDockingWindow> docking;
    if (SUCCEEDED(m_band.As(&docking))) {
        if (hideFirst) {
            docking->ShowDW(FALSE);
        }
        docking->CloseDW(0);
    }
    CComPtr<IObjectWithSite> withSite;
    if (SUCCEEDED(m_band.As(&withSite))) {
        withSite->SetSite(nullptr);
    }
    const int index = FindBandIndex();
    if (index >= 0) {
        SendMessageA(m_rebar, RB_DELETEBAND, index, 0);
    } else if (m_rebar && SendMessageA(m_rebar, RB_GETBANDCOUNT, 0, 0) > 0) {
        // CloseDW destroyed the child: the band whose child is gone is ours.
        SendMessageA(m_rebar, RB_DELETEBAND, 0, 0);
    }
    docking.Reset();
    withSite.Reset();
    m_band.Reset();
    m_bandWindow = nullptr;
}

int CTestBandSite::FindBandIndex() const {
    if (!m_rebar || !m_bandWindow) {
        return -1;
    }
    const int count = static_cast<int>(SendMessageA(m_rebar, RB_GETBANDCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        REBARBANDINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = RBBIM_CHILD;
        if (SendMessageA(m_rebar, RB_GETBANDINFOA, i, reinterpret_cast<LPARAM>(&info)) &&
            info.hwndChild == m_bandWindow) {
            return i;
        }
    }
    return -1;
}

UINT CTestBandSite::GetBandStyle() const {
    const int index = FindBandIndex();
    if (index < 0) {
        return 0;
    }
    REBARBANDINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = RBBIM_STYLE;
    SendMessageA(m_rebar, RB_GETBANDINFOA, index, reinterpret_cast<LPARAM>(&info));
    return info.fStyle;
}

const std::vector<CTestBandSite::ExecCall>& CTestBandSite::GetExecCalls() const {
    return m_site->m_execCalls;
}

const std::vector<CTestBandSite::FocusChange>& CTestBandSite::GetFocusChanges() const {
    return m_site->m_focusChanges;
}

void CTestBandSite::ClearCalls() {
    m_site->m_execCalls.clear();
    m_site->m_focusChanges.clear();
}
