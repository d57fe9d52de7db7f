#include "ScratchFolder.h"

#include <windows.h>
#include <shlobj.h>

#include "Text.h"

void DeleteFolderTree(const std::string& folder) {
    WIN32_FIND_DATAA found = {};
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") {
                continue;
            }
            const std::string path = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteFolderTree(path);
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

CScratchFolder::CScratchFolder(const std::string& purpose) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    static LONG counter = 0;
    const std::string path = std::string(temp) + "corvina-" + purpose + "-" + RunLocale() + "-" +
                             std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(InterlockedIncrement(&counter));
    // A folder left by an earlier process of the same number goes first.
    DeleteFolderTree(path);
    CreateDirectoryA(path.c_str(), nullptr);
    m_path = path + "\\";
}

CScratchFolder::~CScratchFolder() {
    DeleteFolderTree(Folder());
}

namespace {

std::string CreateFileWith(const std::string& path, const char* text, DWORD length) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, text, length, &written, nullptr);
        CloseHandle(file);
    }
    return path;
}

} // namespace

std::string CScratchFolder::CreateTextFile(const std::string& name) const {
    return CreateFileWith(File(name), "text", 4);
}

std::string CScratchFolder::CreateEmptyFile(const std::string& name) const {
    return CreateFileWith(File(name), "", 0);
}

std::string CScratchFolder::CreateFolder(const std::string& name) const {
    const std::string path = File(name);
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
}

bool CreateShellShortcut(const std::string& linkPath, const std::string& target) {
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link)))) {
        return false;
    }
    IPersistFile* file = nullptr;
    bool saved = SUCCEEDED(link->SetPath(ToWide(target).c_str())) &&
                 SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)));
    if (saved) {
        saved = SUCCEEDED(file->Save(ToWide(linkPath).c_str(), TRUE));
        file->Release();
    }
    link->Release();
    return saved;
}
