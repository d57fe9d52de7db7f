#include "setup/Shortcuts.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "framework/AnsiWide.h"
#include "framework/ComPtr.h"

bool CreateShortcut(const std::string& linkPath, const std::string& target) {
    CComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(link.GetAddressOf())))) {
        return false;
    }
    if (FAILED(link->SetPath(target.c_str()))) {
        return false;
    }
    CComPtr<IPersistFile> file;
    if (FAILED(link.As(&file))) {
        return false;
    }
    const std::wstring widePath = AnsiToWide(linkPath);
    return SUCCEEDED(file->Save(widePath.c_str(), TRUE));
}
