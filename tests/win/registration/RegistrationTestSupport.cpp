#include "RegistrationTestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

std::string RecordKeyPath() {
    return "Software\\CorvinaRegistrationTest\\" + RunLocale();
}

std::string QueryText(HKEY key, const char* name) {
    char text[2048] = {};
    DWORD size = sizeof(text) - 1;
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size) !=
        ERROR_SUCCESS) {
        return std::string();
    }
    return text;
}

void DeleteTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") {
                continue;
            }
            const std::string path = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteTree(path);
            } else {
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

} // namespace

bool IsJapaneseRun() {
    const char* locale = std::getenv("CORVINA_LOCALE");
    return locale && std::string(locale) == "ja";
}

std::string RunLocale() {
    return IsJapaneseRun() ? "ja" : "en";
}

std::string HostPath(const char* path) {
    std::string out = "Z:";
    for (const char* p = path; *p; ++p) {
        out.push_back(*p == '/' ? '\\' : *p);
    }
    return out;
}

std::string ToAnsi(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) {
        return std::string();
    }
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, &out[0], size, nullptr, nullptr);
    out.resize(static_cast<size_t>(size) - 1);
    return out;
}

std::string CurrentDirectory() {
    char directory[MAX_PATH * 2] = {};
    GetCurrentDirectoryA(sizeof(directory), directory);
    return directory;
}

bool SameText(const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

ServerRecord ReadServerRecord() {
    ServerRecord record;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, RecordKeyPath().c_str(), 0, KEY_READ, &key) ==
        ERROR_SUCCESS) {
        record.calls = QueryText(key, "Calls");
        record.directory = QueryText(key, "Directory");
        RegCloseKey(key);
    }
    return record;
}

void ClearServerRecord() {
    RegDeleteKeyA(HKEY_CURRENT_USER, RecordKeyPath().c_str());
}

int RunHostProgram(const std::string& commandLine) {
    std::vector<char> command(commandLine.begin(), commandLine.end());
    command.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::printf("cannot start %s: error %lu\n", commandLine.c_str(), GetLastError());
        return -1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = static_cast<DWORD>(-1);
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

std::string UnixPathOf(const std::string& windowsPath) {
    using ToUnix = char*(CDECL*)(const WCHAR*);
    const auto toUnix = reinterpret_cast<ToUnix>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
    if (!toUnix) {
        return std::string();
    }
    WCHAR wide[MAX_PATH * 2] = {};
    MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH * 2);
    char* unixPath = toUnix(wide);
    if (!unixPath) {
        return std::string();
    }
    std::string out = unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    return out;
}

CScratchFolder::CScratchFolder(const std::string& name) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    m_path = std::string(temp) + "corvina-" + name + "-" + RunLocale() + "-" +
             std::to_string(GetCurrentProcessId());
    DeleteTree(m_path);
    CreateDirectoryA(m_path.c_str(), nullptr);
}

CScratchFolder::~CScratchFolder() {
    DeleteTree(m_path);
}

std::string CScratchFolder::MakeSubfolder(const std::string& name) const {
    const std::string path = m_path + "\\" + name;
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
}
