#include "TreeTestSupport.h"

#include <cstring>

#include "common/ItemIdList.h"
#include "common/ShellQueries.h"

CTreeHost::CTreeHost() {
    if (!Create("tree host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, {0, 0, 320, 320})) {
        return;
    }
    RECT client = {};
    GetClientRect(GetHwnd(), &client);
    const RECT area = {0, 0, 260, 200};
    if (!m_tree.Create(GetHwnd(), area, 1000)) {
        return;
    }
    // As the editor page sets it up.
    SendMessageA(m_tree, TVM_SETITEMHEIGHT, 20, 0);
    SendMessageA(m_tree, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(GetSysColor(COLOR_MENU)));
    m_valid = true;
}

CTreeHost::~CTreeHost() {
    DestroyWindow();
}

LRESULT CTreeHost::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        LRESULT result = 0;
        if (m_tree.ReflectNotify(reinterpret_cast<const NMHDR*>(lParam), &result)) {
            return result;
        }
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

CItemIdList ItemIdListOf(const std::string& path) {
    return ParsePathToItemIdList(path.c_str());
}

std::vector<unsigned char> ItemIdListBytes(LPCITEMIDLIST list) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(list);
    return std::vector<unsigned char>(bytes, bytes + GetItemIdListSize(list));
}

CBlockDataObject::CBlockDataObject(CLIPFORMAT format, std::vector<unsigned char> bytes)
    : m_format(format), m_bytes(std::move(bytes)) {}

STDMETHODIMP CBlockDataObject::QueryInterface(REFIID riid, void** ppv) {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
        *ppv = static_cast<IDataObject*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CBlockDataObject::Release() {
    const ULONG refs = --m_refs;
    if (refs == 0) {
        delete this;
    }
    return refs;
}

STDMETHODIMP CBlockDataObject::QueryGetData(FORMATETC* format) {
    return format && format->cfFormat == m_format && (format->tymed & TYMED_HGLOBAL)
               ? S_OK
               : DV_E_FORMATETC;
}

STDMETHODIMP CBlockDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
    ++m_getDataCalls;
    if (!medium || QueryGetData(format) != S_OK) {
        return DV_E_FORMATETC;
    }
    // The exact size: the tree must not read past what GlobalSize reports.
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, m_bytes.empty() ? 1 : m_bytes.size());
    if (!block) {
        return E_OUTOFMEMORY;
    }
    if (!m_bytes.empty()) {
        void* data = GlobalLock(block);
        std::memcpy(data, m_bytes.data(), m_bytes.size());
        GlobalUnlock(block);
    }
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = block;
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

CTreeFixture::CTreeFixture() {
    m_oleReady = SUCCEEDED(OleInitialize(nullptr));
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    m_host = new CTreeHost();
    PumpMessages();
}

CTreeFixture::~CTreeFixture() {
    delete m_host;
    PumpMessages();
    if (m_oleReady) {
        OleUninitialize();
    }
}

CItemIdList CTreeFixture::ListOf(const std::string& fileName) {
    const std::string path = m_scratch.File(fileName);
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        m_scratch.CreateTextFile(fileName);
    }
    return ItemIdListOf(path);
}

HTREEITEM CTreeFixture::Add(const std::string& fileName, const char* name) {
    return Tree().AppendItem(ListOf(fileName), name);
}

std::vector<std::string> CTreeFixture::Names() {
    std::vector<std::string> names;
    for (HTREEITEM item = Tree().GetFirstItem(); item;
         item = TreeView_GetNextSibling(Tree(), item)) {
        names.push_back(Tree().GetItemName(item));
    }
    return names;
}

POINTL CTreeFixture::RowCentre(HTREEITEM item) {
    RECT row = {};
    TreeView_GetItemRect(Tree(), item, &row, FALSE);
    POINT point = {(row.left + row.right) / 2, (row.top + row.bottom) / 2};
    ClientToScreen(Tree(), &point);
    return {point.x, point.y};
}

POINTL CTreeFixture::BelowRows() {
    RECT client = {};
    GetClientRect(Tree(), &client);
    POINT point = {client.right / 2, client.bottom - 3};
    ClientToScreen(Tree(), &point);
    return {point.x, point.y};
}

HTREEITEM CTreeFixture::Selected() {
    return TreeView_GetSelection(Tree());
}

IDataObject* CTreeFixture::ShellDataObject(const std::vector<std::string>& fileNames) {
    std::vector<CItemIdList> lists;
    std::vector<LPCITEMIDLIST> children;
    IShellFolder* folder = nullptr;
    for (const std::string& name : fileNames) {
        lists.push_back(ListOf(name));
        if (!lists.back()) {
            return nullptr;
        }
        LPCITEMIDLIST child = nullptr;
        IShellFolder* parent = nullptr;
        if (FAILED(SHBindToParent(lists.back().Get(), IID_IShellFolder,
                                  reinterpret_cast<void**>(&parent), &child))) {
            return nullptr;
        }
        children.push_back(child);
        if (folder) {
            parent->Release();
        } else {
            folder = parent;
        }
    }
    if (!folder) {
        return nullptr;
    }
    IDataObject* data = nullptr;
    folder->GetUIObjectOf(Host().GetHwnd(), static_cast<UINT>(children.size()), children.data(),
                          IID_IDataObject, nullptr, reinterpret_cast<void**>(&data));
    folder->Release();
    return data;
}
