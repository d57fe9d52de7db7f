#include "serversetup/ServerLoading.h"

#include "common/core/AnsiText.h"
#include "framework/Handles.h"
#include "serversetup/CCurrentDirectoryRestorer.h"
#include "serversetup/core/ServerPaths.h"

#include <string>

namespace {

using ServerEntry = HRESULT(STDAPICALLTYPE*)();

bool IsSystemLeadByte(unsigned char byte) {
    return IsDBCSLeadByte(byte) != FALSE;
}

BOOL CallServerExportByLoading(const char* dllPath, const char* exportName) {
    if (!dllPath || !*dllPath) {
        return FALSE;
    }
    try {
        CCurrentDirectoryRestorer restorer;
        // A server's own dependencies beside it are found through the current directory.
        const std::string folder = corvina::ServerFolderFromPath(dllPath, IsSystemLeadByte);
        if (!folder.empty()) {
            SetCurrentDirectoryA(folder.c_str());
        }
        CLibrary library(LoadLibraryA(dllPath));
        if (!library) {
            return FALSE;
        }
        const auto entry = reinterpret_cast<ServerEntry>(GetProcAddress(library, exportName));
        if (!entry) {
            return FALSE;
        }
        try {
            entry();
        } catch (...) {
            // Caught while the library is still loaded: the exception object and its
            // destructor live in the server's own code.
            return FALSE;
        }
        return TRUE;
    } catch (...) {
        // Our own allocations; the owners above unload the library and restore the
        // directory on the way out.
        return FALSE;
    }
}

} // namespace

BOOL RegisterServerByLoading(const char* dllPath) {
    return CallServerExportByLoading(dllPath, "DllRegisterServer");
}

BOOL UnregisterServerByLoading(const char* dllPath) {
    return CallServerExportByLoading(dllPath, "DllUnregisterServer");
}

BOOL ServerFileExists(const char* dllPath) {
    if (!dllPath || !*dllPath) {
        return FALSE;
    }
    const DWORD attributes = GetFileAttributesA(dllPath);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}
