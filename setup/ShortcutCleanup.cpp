#include "setup/ShortcutCleanup.h"

#include <objbase.h>
#include <shlobj.h>

#include "framework/ComPtr.h"
#include "framework/Handles.h"
#include "framework/AnsiWide.h"
#include "setup/FileRules.h"
#include "setup/SetupCommon.h"
#include "setup/core/InstallRules.h"

namespace {

struct FindTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Handle h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(Handle h) { FindClose(h); }
};
using CFindHandle = CUniqueHandle<FindTraits>;

// Every subfolder first, each walked to the bottom, then the files of the folder itself.
void WalkFolder(const std::string& folder, std::vector<std::string>& emptiedCandidates) {
    std::vector<std::string> subfolders;
    std::vector<std::string> files;
    WIN32_FIND_DATAA found = {};
    CFindHandle find(FindFirstFileA((folder + "\\*.*").c_str(), &found));
    if (!find) {
        return;
    }
    do {
        const std::string path = folder + "\\" + found.cFileName;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (found.cFileName[0] != '.') {
                subfolders.push_back(path);
            }
        } else {
            files.push_back(path);
        }
    } while (FindNextFileA(find, &found));
    find.Close();

    for (const std::string& subfolder : subfolders) {
        WalkFolder(subfolder, emptiedCandidates);
    }
    for (const std::string& file : files) {
        const std::string target = ReadShortcutTarget(file);
        if (corvina::IsSuiteShortcutTarget(target, IsSystemLeadByte)) {
            DeleteFileByRule(file.c_str());
            corvina::AddFolderOnce(emptiedCandidates, folder, IsSystemLeadByte);
        }
    }
}

} // namespace

std::string ReadShortcutTarget(const std::string& linkPath) {
    CComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(link.GetAddressOf())))) {
        return std::string();
    }
    CComPtr<IPersistFile> file;
    if (FAILED(link.As(&file))) {
        return std::string();
    }
    const std::wstring widePath = AnsiToWide(linkPath);
    if (FAILED(file->Load(widePath.c_str(), STGM_READ))) {
        return std::string();
    }
    char target[MAX_PATH] = {};
    if (FAILED(link->GetPath(target, MAX_PATH, nullptr, 0))) {
        return std::string();
    }
    return target;
}

std::string SpecialFolderPath(int csidl) {
    char path[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE)) {
        return std::string();
    }
    std::string folder = path;
    while (folder.size() > 3 && folder.back() == '\\') {
        folder.pop_back();
    }
    return folder;
}

void RemoveSuiteShortcuts(const std::string& programsFolder,
                          const std::vector<std::string>& keptFolders) {
    if (programsFolder.empty()) {
        return;
    }
    std::vector<std::string> folders;
    try {
        WalkFolder(programsFolder, folders);
    } catch (...) {
        // Out of memory half-way: the folders listed so far are still tidied below.
    }
    for (const std::string& folder : folders) {
        if (!corvina::IsKeptFolder(folder, keptFolders, IsSystemLeadByte)) {
            RemoveDirectoryA(folder.c_str());
        }
    }
}
