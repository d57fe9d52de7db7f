// The Windows side of the drop scenarios: a second process that drags shell items with OLE,
// and the questions the scripts ask about the settings sheet and the stored list.
//
//   drag_source FILE... X Y        shows a small window at (X, Y); a left button press on it
//                                  drags the files (all of one folder) as one shell data
//                                  object, then prints the result, effect and end point
//   drag_source --wait-source      waits for that window to be shown
//   drag_source --list PATH...     the menu list becomes these paths, shell names
//   drag_source --wait-sheet       waits for the settings sheet and its list tree
//   drag_source --tree-rect        prints "LEFT TOP RIGHT BOTTOM ROWHEIGHT" of the tree's
//                                  client area in screen coordinates
//   drag_source --tree-state       prints "COUNT SELECTED" (0-based position of the caret
//                                  item, -1 when none)
//   drag_source --tree-hit         whether the tree is the window at its own middle, as
//                                  another process's hit test sees it
//   drag_source --apply            presses Apply, answering message boxes with OK
//   drag_source --expect-stored PATH...   the stored records are exactly these paths, in order
//   drag_source --cancel           closes the sheet with Cancel and waits for it to go
// Exit code 0 means yes / done, 1 means no / failed, 2 a usage error.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "common/MenuItemList.h"
#include "framework/CItemIdList.h"
#include "framework/ComPtr.h"
#include "common/ShellQueries.h"
#include "Text.h"
#include "Wait.h"
#include "common/UiText.h"
#include "common/WindowMessages.h"

namespace {

const char kSourceClass[] = "CorvinaDragSourceWindow";
const BilingualText& kSheetTitle = kSettingsSheetTitle;
const char kListKey[] = "Software\\Velmora\\Corvina";
constexpr int kTreeId = 1000;
constexpr int kApplyId = 0x3021;

// Only the left button drags; Escape gives up, as in Explorer.
class DropSource : public IDropSource {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropSource)) {
            *out = static_cast<IDropSource*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // Lives on the stack for the whole drag.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override {
        if (escapePressed) {
            return DRAGDROP_S_CANCEL;
        }
        return (keyState & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

struct DragState {
    std::vector<std::wstring> files;
    bool dragged = false;
    HRESULT result = E_FAIL;
    DWORD effect = DROPEFFECT_NONE;
    POINT end = {};
};

// The data object Explorer hands over for files selected together in one folder: asked of
// that folder for all of them at once.
HRESULT DragFiles(DragState* state) {
    std::vector<CItemIdList> absolutes;
    std::vector<LPCITEMIDLIST> children; // point into the blocks of `absolutes`
    CComPtr<IShellFolder> parent;
    CItemIdList folder;
    for (const std::wstring& file : state->files) {
        CItemIdList absolute;
        HRESULT hr = SHParseDisplayName(file.c_str(), nullptr, absolute.Receive(), 0, nullptr);
        if (FAILED(hr)) {
            std::fprintf(stderr, "SHParseDisplayName failed: 0x%08lx\n",
                         static_cast<unsigned long>(hr));
            return hr;
        }
        CComPtr<IShellFolder> itsParent;
        LPCITEMIDLIST child = nullptr;
        hr = SHBindToParent(absolute, IID_IShellFolder,
                            reinterpret_cast<void**>(itsParent.GetAddressOf()), &child);
        if (FAILED(hr)) {
            return hr;
        }
        CItemIdList itsFolder(ILClone(absolute));
        if (!itsFolder) {
            return E_OUTOFMEMORY;
        }
        ILRemoveLastID(itsFolder.Get());
        if (!parent) {
            parent = itsParent;
            folder = std::move(itsFolder);
        } else if (!ILIsEqual(folder, itsFolder)) {
            std::fprintf(stderr, "the files are not all in one folder\n");
            return E_INVALIDARG;
        }
        children.push_back(child);
        absolutes.push_back(std::move(absolute));
    }
    if (!parent) {
        return E_INVALIDARG;
    }
    CComPtr<IDataObject> data;
    HRESULT hr = parent->GetUIObjectOf(nullptr, static_cast<UINT>(children.size()), children.data(),
                                       IID_IDataObject, nullptr,
                                       reinterpret_cast<void**>(data.GetAddressOf()));
    if (FAILED(hr)) {
        return hr;
    }
    DropSource source;
    state->result =
        DoDragDrop(data.Get(), &source, DROPEFFECT_LINK | DROPEFFECT_COPY, &state->effect);
    // Where the drag ended, for the script's log when the drop is refused.
    GetCursorPos(&state->end);
    return S_OK;
}

LRESULT CALLBACK SourceProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<DragState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case WM_CREATE:
        SetWindowLongPtrA(
            window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        return 0;
    case WM_LBUTTONDOWN:
        if (state && !state->dragged) {
            state->dragged = true;
            const HRESULT hr = DragFiles(state);
            if (FAILED(hr)) {
                state->result = hr;
            }
            DestroyWindow(window);
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

// A timer procedure must be CALLBACK: a lambda converts only to the default calling
// convention, which is not the system's on i686.
void CALLBACK GiveUp(HWND window, UINT, UINT_PTR, DWORD) {
    DestroyWindow(window);
}

int RunSource(char** files, int count, int x, int y) {
    if (FAILED(OleInitialize(nullptr))) {
        return 1;
    }
    DragState state;
    for (int k = 0; k < count; ++k) {
        state.files.push_back(ToWide(files[k]));
    }

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = SourceProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_HIGHLIGHT + 1);
    windowClass.lpszClassName = kSourceClass;
    RegisterClassA(&windowClass);
    // Topmost: the sheet must not cover the place the script presses.
    HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kSourceClass, "drag source",
                                  WS_POPUP | WS_BORDER | WS_VISIBLE, x, y, 64, 48, nullptr, nullptr,
                                  windowClass.hInstance, &state);
    if (!window) {
        OleUninitialize();
        return 1;
    }
    // A scenario that never presses must not leave the process behind.
    SetTimer(window, 1, 120000, GiveUp);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    OleUninitialize();
    char endClass[64] = {};
    GetClassNameA(WindowFromPoint(state.end), endClass, sizeof endClass);
    std::printf("result 0x%08lx effect %lu at %ld,%ld over %s\n",
                static_cast<unsigned long>(state.result), static_cast<unsigned long>(state.effect),
                state.end.x, state.end.y, endClass);
    std::fflush(stdout);
    return state.result == DRAGDROP_S_DROP && state.effect != DROPEFFECT_NONE ? 0 : 1;
}

HWND FindSheet() {
    const std::string title = BuildText(kSheetTitle);
    HWND found = nullptr;
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, "#32770", title.c_str())) != nullptr) {
        if (IsWindowVisible(window)) {
            found = window;
        }
    }
    return found;
}

HWND FindTree() {
    HWND sheet = FindSheet();
    if (!sheet) {
        return nullptr;
    }
    HWND page = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    HWND tree = page ? GetDlgItem(page, kTreeId) : nullptr;
    return tree && IsWindowVisible(tree) ? tree : nullptr;
}

// Root items in order; every call here carries no buffer, so it works across processes.
std::vector<HTREEITEM> TreeItems(HWND tree) {
    std::vector<HTREEITEM> items;
    auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    while (item && items.size() < 10000) {
        items.push_back(item);
        item = reinterpret_cast<HTREEITEM>(
            SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
    }
    return items;
}

// Whether a point of another process finds the tree: Wine's hit test from another process
// stops at a group box that lies over a control in z-order, and OLE then finds no drop target
// there. The page must lay the tree above its frame.
int TreeIsHitAtItsMiddle() {
    HWND tree = FindTree();
    if (!tree) {
        return 1;
    }
    RECT client = {};
    GetClientRect(tree, &client);
    POINT middle = {client.right / 2, client.bottom / 2};
    ClientToScreen(tree, &middle);
    HWND hit = WindowFromPoint(middle);
    char className[64] = {};
    GetClassNameA(hit, className, sizeof className);
    std::printf("the tree's middle hits %s (%s)\n", hit == tree ? "the tree" : "another window",
                className);
    return hit == tree ? 0 : 1;
}

HWND FindProgramMessageBox(HWND sheet) {
    DWORD program = 0;
    GetWindowThreadProcessId(sheet, &program);
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, "#32770", nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        // Any other dialog box of the program while the sheet is up is one of its messages.
        if (owner == program && window != sheet && IsWindowVisible(window)) {
            return window;
        }
    }
    return nullptr;
}

// The value holds a complete item ID list, terminator included.
bool IsWholeItemIdList(const std::vector<BYTE>& data) {
    size_t offset = 0;
    while (offset + 2 <= data.size()) {
        const size_t size = data[offset] | (data[offset + 1] << 8);
        if (size == 0) {
            return true;
        }
        if (size < 2) {
            return false;
        }
        offset += size;
    }
    return false;
}

bool ReadValue(HKEY key, const char* name, DWORD* type, std::vector<BYTE>* data) {
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, type, nullptr, &size) != ERROR_SUCCESS) {
        return false;
    }
    data->resize(size);
    return RegQueryValueExA(key, name, nullptr, type, size ? data->data() : nullptr, &size) ==
           ERROR_SUCCESS;
}

int ExpectStored(char** paths, int count) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kListKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        std::printf("no list key\n");
        return 1;
    }
    int failures = 0;
    DWORD type = 0;
    std::vector<BYTE> data;
    DWORD length = 0;
    if (ReadValue(key, "Length", &type, &data) && type == REG_DWORD && data.size() == 4) {
        std::memcpy(&length, data.data(), 4);
    }
    if (length != static_cast<DWORD>(count)) {
        std::printf("Length is %lu, expected %d\n", static_cast<unsigned long>(length), count);
        ++failures;
    }
    for (int k = 0; k < count; ++k) {
        char name[16];
        std::snprintf(name, sizeof name, "NO.%03d", k + 1); // records count from 1
        // The shell puts folder times into file system item IDs, so the bytes of a fresh
        // parse need not match: compare the paths the stored lists stand for.
        char stored[MAX_PATH] = {};
        if (!ReadValue(key, name, &type, &data) || type != REG_BINARY || data.size() < 2 ||
            !IsWholeItemIdList(data) ||
            !SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(data.data()), stored) ||
            lstrcmpiA(stored, paths[k]) != 0) {
            std::printf("%s is \"%s\", expected %s\n", name, stored, paths[k]);
            ++failures;
        }
    }
    RegCloseKey(key);
    return failures == 0 ? 0 : 1;
}

int WriteList(char** paths, int count) {
    MenuItemList list;
    for (int k = 0; k < count; ++k) {
        MenuItemRecord record;
        record.itemIdList = ParsePathToItemIdList(paths[k]);
        if (!record.itemIdList.Get()) {
            std::fprintf(stderr, "cannot parse %s\n", paths[k]);
            return 1;
        }
        list.push_back(std::move(record));
    }
    // A longer earlier list would leave records behind "Length": start from an empty key.
    RegDeleteKeyA(HKEY_CURRENT_USER, kListKey);
    return SaveMenuItemList(list) ? 0 : 1;
}

int Apply() {
    HWND sheet = FindSheet();
    HWND apply = sheet ? GetDlgItem(sheet, kApplyId) : nullptr;
    if (!apply) {
        return 1;
    }
    PostMessageA(apply, BM_CLICK, 0, 0);
    // Done once the button is disabled again; any box on the way is answered with OK.
    return WaitFor([sheet, apply] {
        if (HWND box = FindProgramMessageBox(sheet)) {
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            return false;
        }
        return !IsWindowEnabled(apply);
    })
               ? 0
               : 1;
}

int Cancel() {
    HWND sheet = FindSheet();
    if (!sheet) {
        return 0;
    }
    PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
    return WaitFor([sheet] {
        if (HWND box = FindProgramMessageBox(sheet)) {
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
        return !IsWindow(sheet);
    })
               ? 0
               : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return 2;
    }
    CoInitialize(nullptr);
    const std::string command = argv[1];
    if (command == "--list") {
        return WriteList(argv + 2, argc - 2);
    }
    if (command == "--expect-stored") {
        return ExpectStored(argv + 2, argc - 2);
    }
    if (command == "--wait-source") {
        return WaitFor([] {
            HWND source = FindWindowA(kSourceClass, nullptr);
            return source && IsWindowVisible(source);
        })
                   ? 0
                   : 1;
    }
    if (command == "--wait-sheet") {
        return WaitFor([] { return FindTree() != nullptr; }, 60000) ? 0 : 1;
    }
    if (command == "--tree-rect") {
        HWND tree = FindTree();
        if (!tree) {
            return 1;
        }
        RECT client = {};
        GetClientRect(tree, &client);
        MapWindowPoints(tree, nullptr, reinterpret_cast<POINT*>(&client), 2);
        const LRESULT rowHeight = SendMessageA(tree, TVM_GETITEMHEIGHT, 0, 0);
        std::printf("%ld %ld %ld %ld %ld\n", client.left, client.top, client.right, client.bottom,
                    static_cast<long>(rowHeight));
        return rowHeight > 0 ? 0 : 1;
    }
    if (command == "--tree-state") {
        HWND tree = FindTree();
        if (!tree) {
            return 1;
        }
        const std::vector<HTREEITEM> items = TreeItems(tree);
        auto caret =
            reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
        int selected = -1;
        for (size_t k = 0; k < items.size(); ++k) {
            if (items[k] == caret) {
                selected = static_cast<int>(k);
            }
        }
        const LRESULT count = SendMessageA(tree, TVM_GETCOUNT, 0, 0);
        // The count the control keeps and the walk must agree, or the walk missed items.
        std::printf("%ld %d\n", static_cast<long>(count), selected);
        return count == static_cast<LRESULT>(items.size()) ? 0 : 1;
    }
    if (command == "--tree-hit") {
        return TreeIsHitAtItsMiddle();
    }
    if (command == "--apply") {
        return Apply();
    }
    if (command == "--cancel") {
        return Cancel();
    }
    if (command[0] != '-' && argc >= 4) {
        return RunSource(argv + 1, argc - 3, std::atoi(argv[argc - 2]), std::atoi(argv[argc - 1]));
    }
    return 2;
}
