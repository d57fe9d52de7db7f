#include "CContextMenuHost.h"

#include <string>

#include "framework/CItemIdList.h"
#include "framework/CRegKey.h"

namespace {

const char kHandlersKey[] = "Directory\\Background\\shellex\\ContextMenuHandlers";
const char kWindowClass[] = "CorvinaContextMenuHost";

bool ToClsid(const std::string& text, CLSID* clsid) {
    if (text.size() != 38 || text.front() != '{') {
        return false;
    }
    const std::wstring wide(text.begin(), text.end());
    return SUCCEEDED(CLSIDFromString(const_cast<LPOLESTR>(wide.c_str()), clsid));
}

} // namespace

std::vector<CLSID> ReadBackgroundMenuHandlers() {
    std::vector<CLSID> handlers;
    CRegKey key;
    if (key.Open(HKEY_CLASSES_ROOT, kHandlersKey, KEY_READ) != ERROR_SUCCESS) {
        return handlers;
    }
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD length = sizeof(name);
        if (RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        CRegKey subkey;
        std::string value;
        CLSID clsid;
        if (subkey.Open(key, name, KEY_READ) == ERROR_SUCCESS &&
            subkey.QueryString(nullptr, value) == ERROR_SUCCESS && ToClsid(value, &clsid)) {
            handlers.push_back(clsid);
        } else if (ToClsid(name, &clsid)) {
            handlers.push_back(clsid);
        }
    }
    return handlers;
}

CContextMenuHost::CContextMenuHost() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = &CContextMenuHost::WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kWindowClass;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClassA(&windowClass); // fails harmlessly for the second host of a process
    m_window =
        CreateWindowExA(WS_EX_TOOLWINDOW, kWindowClass, "Corvina context menu host", WS_POPUP, 0, 0,
                        1, 1, nullptr, nullptr, windowClass.hInstance, nullptr);
    SetWindowLongPtrA(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    CreateMenu();
}

CContextMenuHost::~CContextMenuHost() {
    ReleaseHandlers();
    if (m_menu) {
        DestroyMenu(m_menu);
    }
    if (m_window) {
        DestroyWindow(m_window);
    }
}

HRESULT CContextMenuHost::Load(const CLSID& clsid) {
    CComPtr<IUnknown> handler;
    const HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                        reinterpret_cast<void**>(handler.GetAddressOf()));
    return FAILED(hr) ? hr : Add(handler.Get());
}

HRESULT CContextMenuHost::Add(IUnknown* handler) {
    if (!handler) {
        return E_POINTER;
    }
    CComPtr<IContextMenu> menu;
    HRESULT hr =
        handler->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(menu.GetAddressOf()));
    if (FAILED(hr)) {
        return hr;
    }
    CComPtr<IShellExtInit> init;
    if (SUCCEEDED(menu.As(&init))) {
        CItemIdList desktop;
        hr = SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, desktop.Receive());
        if (FAILED(hr)) {
            return hr;
        }
        hr = init->Initialize(desktop, nullptr, nullptr);
        if (FAILED(hr)) {
            return hr;
        }
    }
    CLoadedHandler loaded;
    loaded.menu = menu;
    m_handlers.push_back(loaded);
    return S_OK;
}

size_t CContextMenuHost::LoadRegistered() {
    size_t loaded = 0;
    for (const CLSID& clsid : ReadBackgroundMenuHandlers()) {
        if (SUCCEEDED(Load(clsid))) {
            ++loaded;
        }
    }
    return loaded;
}

void CContextMenuHost::CreateMenu() {
    if (m_menu) {
        DestroyMenu(m_menu);
    }
    m_menu = CreatePopupMenu();
    AppendMenuA(m_menu, MF_STRING, 1, "Arrange &Icons By");
    AppendMenuA(m_menu, MF_STRING, 2, "R&efresh");
    AppendMenuA(m_menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(m_menu, MF_STRING | MF_GRAYED, 3, "&Paste");
    AppendMenuA(m_menu, MF_STRING | MF_GRAYED, 4, "Paste &Shortcut");
    AppendMenuA(m_menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(m_menu, MF_STRING, 5, "P&roperties");
}

HRESULT CContextMenuHost::QueryHandlers(UINT index, UINT grant, UINT flags) {
    HRESULT first = S_OK;
    UINT next = kFirstHandlerId;
    for (CLoadedHandler& handler : m_handlers) {
        UINT last = kLastHandlerId;
        if (grant != 0) {
            last = grant - 1 < kLastHandlerId - next ? next + grant - 1 : kLastHandlerId;
        }
        handler.firstId = next;
        handler.queryResult = handler.menu->QueryContextMenu(m_menu, index, next, last, flags);
        handler.usedIds = SUCCEEDED(handler.queryResult) ? HRESULT_CODE(handler.queryResult) : 0;
        if (FAILED(handler.queryResult) && SUCCEEDED(first)) {
            first = handler.queryResult;
        }
        next += handler.usedIds;
    }
    return first;
}

CContextMenuHost::CLoadedHandler* CContextMenuHost::FindHandler(UINT id) {
    for (CLoadedHandler& handler : m_handlers) {
        if (id >= handler.firstId && id - handler.firstId < handler.usedIds) {
            return &handler;
        }
    }
    return nullptr;
}

HRESULT CContextMenuHost::ForwardMenuMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                             LRESULT* result) {
    std::vector<CLoadedHandler*> targets;
    if (message == WM_DRAWITEM || message == WM_MEASUREITEM) {
        const UINT id = message == WM_DRAWITEM
                            ? reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->itemID
                            : reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam)->itemID;
        if (CLoadedHandler* handler = FindHandler(id)) {
            targets.push_back(handler);
        }
    } else {
        for (CLoadedHandler& handler : m_handlers) {
            targets.push_back(&handler);
        }
    }
    HRESULT hr = S_FALSE;
    for (CLoadedHandler* handler : targets) {
        CComPtr<IContextMenu3> menu3;
        CComPtr<IContextMenu2> menu2;
        if (!m_contextMenu2Only && SUCCEEDED(handler->menu.As(&menu3))) {
            hr = menu3->HandleMenuMsg2(message, wParam, lParam, result);
        } else if (SUCCEEDED(handler->menu.As(&menu2))) {
            hr = menu2->HandleMenuMsg(message, wParam, lParam);
        }
    }
    return hr;
}

HRESULT CContextMenuHost::InvokeId(UINT id) {
    CLoadedHandler* handler = FindHandler(id);
    if (!handler) {
        return E_INVALIDARG;
    }
    CMINVOKECOMMANDINFO info = {};
    info.cbSize = sizeof(info);
    info.hwnd = m_window;
    info.lpVerb = MAKEINTRESOURCEA(id - handler->firstId);
    info.nShow = SW_SHOWNORMAL;
    return handler->menu->InvokeCommand(&info);
}

UINT CContextMenuHost::Track(int x, int y) {
    SetForegroundWindow(m_window);
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(m_menu, TPM_RETURNCMD | TPM_LEFTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, x, y,
                       0, m_window, nullptr));
    PostMessageA(m_window, WM_NULL, 0, 0);
    return chosen;
}

void CContextMenuHost::ReleaseHandlers() {
    m_handlers.clear();
}

LRESULT CALLBACK CContextMenuHost::WindowProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    auto* host = reinterpret_cast<CContextMenuHost*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (host) {
        switch (message) {
        case WM_MEASUREITEM:
        case WM_DRAWITEM:
            if (host->ForwardMenuMessage(message, wParam, lParam, nullptr) == S_OK) {
                return TRUE;
            }
            break;
        case WM_INITMENUPOPUP:
        case WM_MENUCHAR: {
            LRESULT result = 0;
            if (host->ForwardMenuMessage(message, wParam, lParam, &result) == S_OK) {
                return result;
            }
            break;
        }
        default:
            break;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
