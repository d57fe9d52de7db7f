#include "TreeTestSupport.h"

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
