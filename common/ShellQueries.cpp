#include "common/ShellQueries.h"

#include <shellapi.h>

#include <cstring>
#include <utility>

#include "common/ItemIdList.h"
#include "common/core/MenuItemLayout.h"
#include "framework/AnsiWide.h"
#include "framework/ComPtr.h"
#include "framework/Debug.h"
#include "framework/Handles.h"

namespace {

DWORD_PTR QueryFileInfo(LPCITEMIDLIST list, UINT flags, SHFILEINFOA* info) {
    if (!list) {
        return 0;
    }
    return SHGetFileInfoA(reinterpret_cast<LPCSTR>(list), 0, info, sizeof(*info),
                          flags | SHGFI_PIDL);
}

BOOL ExecuteItem(LPCITEMIDLIST list, ULONG mask, const char* verb) {
    SHELLEXECUTEINFOA execute = {};
    execute.cbSize = sizeof(execute);
    execute.fMask = mask;
    execute.hwnd = nullptr;
    execute.lpVerb = verb;
    execute.lpFile = nullptr;
    execute.lpParameters = nullptr;
    execute.lpDirectory = nullptr;
    execute.nShow = SW_SHOW;
    execute.lpIDList = const_cast<LPITEMIDLIST>(list);
    return ShellExecuteExA(&execute) ? TRUE : FALSE;
}

// The name the folder gives its child in the form flags asks for. The answer's three forms
// are read by hand: the light utility library that converts them is missing from the first
// systems of the 9x family.
BOOL QueryChildName(IShellFolder* folder, LPCITEMIDLIST child, SHGDNF flags, std::string* text) {
    if (!folder || !child) {
        return FALSE;
    }
    STRRET name = {};
    if (FAILED(folder->GetDisplayNameOf(child, flags, &name))) {
        return FALSE;
    }
    switch (name.uType) {
    case STRRET_WSTR:
        text->clear();
        if (name.pOleStr) {
            *text = WideToAnsi(name.pOleStr);
            CoTaskMemFree(name.pOleStr);
        }
        return TRUE;
    case STRRET_OFFSET:
        text->assign(reinterpret_cast<const char*>(child) + name.uOffset);
        return TRUE;
    case STRRET_CSTR:
        text->assign(name.cStr, strnlen(name.cStr, sizeof(name.cStr)));
        return TRUE;
    default:
        return FALSE;
    }
}

CComPtr<IShellFolder> BindFolder(LPCITEMIDLIST list, bool isDesktop) {
    CComPtr<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(&desktop)) || !desktop) {
        return nullptr;
    }
    if (isDesktop) {
        return desktop;
    }
    CComPtr<IShellFolder> folder;
    if (FAILED(desktop->BindToObject(list, nullptr, IID_IShellFolder,
                                     reinterpret_cast<void**>(folder.GetAddressOf())))) {
        return nullptr;
    }
    return folder;
}

} // namespace

BOOL QueryLabelAndIcon(LPCITEMIDLIST list, std::string* label, int* iconIndex) {
    SHFILEINFOA info = {};
    if (!QueryFileInfo(list, SHGFI_DISPLAYNAME | SHGFI_SYSICONINDEX, &info)) {
        return FALSE;
    }
    if (label) {
        *label = info.szDisplayName;
    }
    if (iconIndex) {
        *iconIndex = info.iIcon;
    }
    return TRUE;
}

BOOL QueryIconIndex(LPCITEMIDLIST list, int* iconIndex) {
    SHFILEINFOA info = {};
    if (!QueryFileInfo(list, SHGFI_SYSICONINDEX, &info)) {
        return FALSE;
    }
    if (iconIndex) {
        *iconIndex = info.iIcon;
    }
    return TRUE;
}

BOOL QueryLabel(LPCITEMIDLIST list, std::string* label) {
    SHFILEINFOA info = {};
    if (!QueryFileInfo(list, SHGFI_DISPLAYNAME, &info)) {
        return FALSE;
    }
    if (label) {
        *label = info.szDisplayName;
    }
    return TRUE;
}

BOOL QueryChildLabel(IShellFolder* folder, LPCITEMIDLIST child, std::string* label) {
    // The file-information query names an item by its parent's SHGDN_INFOLDER name.
    std::string text;
    if (!QueryChildName(folder, child, SHGDN_INFOLDER, &text)) {
        return FALSE;
    }
    if (label) {
        *label = std::move(text);
    }
    return TRUE;
}

BOOL QueryWideLabelAndIcon(LPCITEMIDLIST list, std::wstring* label, int* iconIndex) {
    if (!list) {
        return FALSE;
    }
    SHFILEINFOW info = {};
    if (!SHGetFileInfoW(reinterpret_cast<LPCWSTR>(list), 0, &info, sizeof(info),
                        SHGFI_DISPLAYNAME | SHGFI_SYSICONINDEX | SHGFI_PIDL)) {
        return FALSE;
    }
    if (label) {
        *label = info.szDisplayName;
    }
    if (iconIndex) {
        *iconIndex = info.iIcon;
    }
    return TRUE;
}

BOOL QueryChildWideLabel(IShellFolder* folder, LPCITEMIDLIST child, std::wstring* label) {
    if (!folder || !child) {
        return FALSE;
    }
    STRRET name = {};
    if (FAILED(folder->GetDisplayNameOf(child, SHGDN_INFOLDER, &name))) {
        return FALSE;
    }
    std::wstring text;
    switch (name.uType) {
    case STRRET_WSTR:
        if (name.pOleStr) {
            text = name.pOleStr;
            CoTaskMemFree(name.pOleStr);
        }
        break;
    case STRRET_OFFSET:
        text = AnsiToWide(reinterpret_cast<const char*>(child) + name.uOffset);
        break;
    case STRRET_CSTR:
        text = AnsiToWide(std::string_view(name.cStr, strnlen(name.cStr, sizeof(name.cStr))));
        break;
    default:
        return FALSE;
    }
    if (label) {
        *label = std::move(text);
    }
    return TRUE;
}

std::string QueryChildPath(IShellFolder* folder, LPCITEMIDLIST child) {
    if (!folder || !child) {
        return std::string();
    }
    // Only a file-system item's parsing name is a path ("::{...}" names the others).
    SFGAOF attributes = SFGAO_FILESYSTEM;
    std::string path;
    if (FAILED(folder->GetAttributesOf(1, &child, &attributes)) ||
        !(attributes & SFGAO_FILESYSTEM) ||
        !QueryChildName(folder, child, SHGDN_FORPARSING, &path) || path.size() >= MAX_PATH) {
        return std::string();
    }
    return path;
}

CItemIdList ParsePathToItemIdList(const char* path) {
    if (!path || !*path) {
        return CItemIdList();
    }
    std::wstring wide = AnsiToWide(path);
    if (wide.empty() || wide.size() >= MAX_PATH) {
        return CItemIdList(); // longer than the path limit
    }
    CComPtr<IShellFolder> desktop;
    if (FAILED_UNEXPECTEDLY(SHGetDesktopFolder(&desktop))) {
        return CItemIdList();
    }
    CItemIdList list;
    ULONG eaten = 0;
    if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, &wide[0], &eaten, list.Receive(),
                                         nullptr))) {
        return CItemIdList();
    }
    return list;
}

BOOL IsDesktopItemIdList(LPCITEMIDLIST list) {
    if (list == nullptr) {
        return FALSE;
    }
    LPITEMIDLIST desktop = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desktop)) || !desktop) {
        // The desktop is the empty list on every system.
        return list->mkid.cb == 0;
    }
    CItemIdList owner(desktop);
    const size_t size = GetItemIdListSize(list);
    return size == GetItemIdListSize(desktop) && std::memcmp(list, desktop, size) == 0;
}

CComPtr<IShellFolder> BindToFolder(LPCITEMIDLIST list) {
    if (list == nullptr) {
        return nullptr;
    }
    return BindFolder(list, IsDesktopItemIdList(list) != FALSE);
}

BOOL IsExpandableFolder(LPCITEMIDLIST list) {
    if (list == nullptr) {
        return FALSE;
    }
    if (IsDesktopItemIdList(list)) {
        return TRUE;
    }
    CComPtr<IShellFolder> folder = BindFolder(list, false);
    CComPtr<IEnumIDList> items;
    if (!folder ||
        folder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN,
                            &items) != S_OK ||
        !items) {
        return FALSE;
    }
    CItemIdList child;
    ULONG fetched = 0;
    return items->Next(1, child.Receive(), &fetched) == S_OK && child;
}

BOOL QueryInfoTip(LPCITEMIDLIST list, HWND owner, std::wstring* tip) {
    CComPtr<IShellFolder> parent;
    LPCITEMIDLIST child = nullptr;
    if (list == nullptr || tip == nullptr ||
        FAILED(SHBindToParent(list, IID_IShellFolder,
                              reinterpret_cast<void**>(parent.GetAddressOf()), &child)) ||
        !parent) {
        return FALSE;
    }
    CComPtr<IQueryInfo> info;
    if (FAILED(parent->GetUIObjectOf(owner, 1, &child, IID_IQueryInfo, nullptr,
                                     reinterpret_cast<void**>(info.GetAddressOf()))) ||
        !info) {
        return FALSE;
    }
    CCoTaskMemString text;
    tip->clear();
    if (SUCCEEDED(info->GetInfoTip(0, text.Receive())) && text.Get() != nullptr) {
        tip->assign(text.Get());
    }
    return TRUE;
}

BOOL QueryDrivesFolderInfo(int* iconIndex, std::string* displayName) {
    LPITEMIDLIST drives = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &drives)) || !drives) {
        return FALSE;
    }
    CItemIdList owner(drives);
    return QueryLabelAndIcon(drives, displayName, iconIndex);
}

BOOL RunItemIdList(LPCITEMIDLIST list) {
    if (!list) {
        return FALSE;
    }
    if (ExecuteItem(list, SEE_MASK_INVOKEIDLIST | SEE_MASK_FLAG_NO_UI, nullptr)) {
        return TRUE;
    }
    return ExecuteItem(list, SEE_MASK_IDLIST | SEE_MASK_FLAG_NO_UI, "Open");
}

BOOL IsExistingFile(const char* path) {
    if (!path) {
        return FALSE;
    }
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

BOOL IsExistingFolder(const char* path) {
    if (!path) {
        return FALSE;
    }
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

BOOL IsDriveRoot(const char* path) {
    return path && corvina::IsDriveRootText(path);
}

BOOL IsDriveReady(const char* path) {
    if (!path) {
        return FALSE;
    }
    // The volume is asked for directly: changing into the path would move the current
    // directory of the whole process, which every thread of the host (Explorer) shares.
    // A drive-letter path is asked at its root, the only form the volume query takes.
    char root[4] = {};
    const char* probe = path;
    if (path[0] != '\0' && path[1] == ':') {
        root[0] = path[0];
        root[1] = ':';
        root[2] = '\\';
        probe = root;
    }
    // Without a medium the system would otherwise ask the user to insert one.
    const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    SetErrorMode(previousMode | SEM_FAILCRITICALERRORS);
    const bool answered =
        GetVolumeInformationA(probe, nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0) != FALSE;
    const DWORD error = answered ? ERROR_SUCCESS : GetLastError();
    SetErrorMode(previousMode);
    return corvina::IsDriveReadyResult(answered, error);
}
