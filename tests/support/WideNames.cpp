#include "WideNames.h"

#include <windows.h>
#include <shlobj.h>

#include "Text.h"
#include "framework/ComPtr.h"

const std::vector<std::wstring>& OutsideCodePageNames() {
    static const std::vector<std::wstring> names = {
        L"\uD55C\uAE00", L"\U0001F600 smile",
        L"\u65E5\u672C\u8A9E\u3068\uD55C\uAD6D\uC5B4\U0001F600"};
    return names;
}

std::wstring CreateWideFolder(const std::string& parent, const std::wstring& name) {
    const std::wstring path = ToWide(parent) + name;
    return CreateDirectoryW(path.c_str(), nullptr) ? path : std::wstring();
}

CItemIdList ParseWidePath(const std::wstring& path) {
    CComPtr<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(&desktop))) {
        return CItemIdList();
    }
    std::wstring text = path;
    CItemIdList list;
    ULONG eaten = 0;
    if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, &text[0], &eaten, list.Receive(),
                                         nullptr))) {
        return CItemIdList();
    }
    return list;
}
