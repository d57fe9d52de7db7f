#include "setup/RestartOperations.h"

#include "framework/Handles.h"
#include "setup/FileRules.h"
#include "serversetup/Privileges.h"
#include "setup/core/RestartRules.h"

#include <vector>

namespace {

bool SystemLeadByte(unsigned char byte) {
    return IsDBCSLeadByte(byte) != FALSE;
}

// The 8.3 form that WININIT.INI needs: the 95/98/Me start-up runs before long names exist.
std::string ShortPathOf(const char* path) {
    char buffer[MAX_PATH] = {};
    const DWORD length = GetShortPathNameA(path, buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        // A path that does not exist (or whose short form does not fit) has no short form:
        // the entry names it as given, which still serves a path that is already short.
        return path;
    }
    return std::string(buffer, length);
}

bool EndsWithBackslash(const std::string& text) {
    bool backslash = false;
    for (size_t i = 0; i < text.size(); ++i) {
        backslash = text[i] == '\\';
        if (SystemLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
            backslash = false;
            ++i;
        }
    }
    return backslash;
}

// Reads a whole file; false when it cannot be read completely.
bool ReadWholeFile(const char* path, std::string* contents) {
    CHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    const DWORD size = GetFileSize(file, nullptr);
    if (size == INVALID_FILE_SIZE) {
        return false;
    }
    std::string text(size, '\0');
    DWORD done = 0;
    while (done < size) {
        DWORD read = 0;
        if (!ReadFile(file, &text[done], size - done, &read, nullptr) || read == 0) {
            return false;
        }
        done += read;
    }
    *contents = std::move(text);
    return true;
}

// Writes contents as a new file, all of it, and closes it; the half-written file is deleted
// on any failure.
bool WriteNewFile(const std::string& path, const std::string& contents) {
    CHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    bool written = true;
    size_t done = 0;
    while (written && done < contents.size()) {
        DWORD wrote = 0;
        const DWORD chunk = static_cast<DWORD>(contents.size() - done);
        written = WriteFile(file, contents.data() + done, chunk, &wrote, nullptr) && wrote != 0;
        done += wrote;
    }
    written = written && FlushFileBuffers(file);
    // Closing is the last step of the write: its failure counts as well.
    written = CloseHandle(file.Detach()) && written;
    if (!written) {
        DeleteFileA(path.c_str());
    }
    return written;
}

void EditWininitFile(const char* wininitPath, const corvina::WininitEdit& edit) {
    if (wininitPath == nullptr || *wininitPath == '\0') {
        return;
    }
    std::vector<std::string> lines;
    if (FileExistsAt(wininitPath)) {
        std::string contents;
        if (!ReadWholeFile(wininitPath, &contents)) {
            // Rewriting a file we could not read would lose its other entries.
            return;
        }
        lines = corvina::EditWininitLines(corvina::SplitTextLines(contents), edit, SystemLeadByte);
    } else {
        lines = {"[rename]", edit.entry};
    }
    WriteWininitContents(wininitPath, corvina::JoinTextLines(lines));
}

} // namespace

RestartPlatform CurrentRestartPlatform() {
    return IsNtPlatform() ? RestartPlatform::Nt : RestartPlatform::Windows9x;
}

std::string DefaultWininitPath() {
    char buffer[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryA(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return std::string();
    }
    std::string path(buffer, length);
    if (!EndsWithBackslash(path)) {
        path.push_back('\\');
    }
    path.append("WININIT.INI");
    return path;
}

std::string WininitNewFilePath(const char* wininitPath) {
    return std::string(wininitPath) + ".new";
}

std::string WininitBackupFilePath(const char* wininitPath) {
    return std::string(wininitPath) + ".old";
}

BOOL ReplaceByRenames(const char* newPath, const char* path) {
    const std::string backup = WininitBackupFilePath(path);
    // A backup left by an interrupted run would block the first rename.
    DeleteFileA(backup.c_str());
    if (!MoveFileA(path, backup.c_str())) {
        return FALSE;
    }
    if (!MoveFileA(newPath, path)) {
        MoveFileA(backup.c_str(), path);
        return FALSE;
    }
    DeleteFileA(backup.c_str());
    return TRUE;
}

BOOL WriteWininitContents(const char* wininitPath, const std::string& contents) {
    const std::string newPath = WininitNewFilePath(wininitPath);
    if (!WriteNewFile(newPath, contents)) {
        return FALSE;
    }
    BOOL placed = FALSE;
    if (!FileExistsAt(wininitPath)) {
        placed = MoveFileA(newPath.c_str(), wininitPath);
    } else if (MoveFileExA(newPath.c_str(), wininitPath, MOVEFILE_REPLACE_EXISTING)) {
        placed = TRUE;
    } else if (GetLastError() == ERROR_CALL_NOT_IMPLEMENTED) {
        placed = ReplaceByRenames(newPath.c_str(), wininitPath);
    }
    if (!placed) {
        DeleteFileA(newPath.c_str());
    }
    return placed;
}

BOOL DeleteOnRestart(const char* path) {
    return DeleteOnRestart(path, CurrentRestartPlatform(), DefaultWininitPath().c_str());
}

BOOL ReplaceOnRestart(const char* source, const char* target) {
    return ReplaceOnRestart(source, target, CurrentRestartPlatform(), DefaultWininitPath().c_str());
}

BOOL DeleteOnRestart(const char* path, RestartPlatform platform, const char* wininitPath) {
    if (platform == RestartPlatform::Nt) {
        // A failed schedule changes nothing for the caller, who asks for a restart anyway.
        MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
        return TRUE;
    }
    EditWininitFile(wininitPath,
                    corvina::DeleteAtStartupEdit(ShortPathOf(path), FolderExistsAt(path)));
    return TRUE;
}

BOOL ReplaceOnRestart(const char* source, const char* target, RestartPlatform platform,
                      const char* wininitPath) {
    if (platform == RestartPlatform::Nt) {
        MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT);
        return TRUE;
    }
    const std::string shortTarget =
        (target == nullptr || *target == '\0') ? std::string() : ShortPathOf(target);
    EditWininitFile(wininitPath, corvina::ReplaceAtStartupEdit(ShortPathOf(source), shortTarget));
    return TRUE;
}

BOOL FindSideFileName(const char* path, std::string* name) {
    const std::string base(path);
    *name = corvina::FindFreeName(
        1, [&](uint32_t counter) { return corvina::SideFileCandidate(base, counter); },
        [](const std::string& candidate) { return FileExistsAt(candidate.c_str()); });
    return name->empty() ? FALSE : TRUE;
}

BOOL FindTemporaryCopyName(std::string* name) {
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH) {
        name->clear();
        return FALSE;
    }
    return FindTemporaryCopyName(buffer, name);
}

BOOL FindTemporaryCopyName(const char* tempFolder, std::string* name) {
    const std::string folder(tempFolder);
    *name = corvina::FindFreeName(
        0, [&](uint32_t counter) { return corvina::TemporaryCopyCandidate(folder, counter); },
        [](const std::string& candidate) { return FileExistsAt(candidate.c_str()); });
    return name->empty() ? FALSE : TRUE;
}

BOOL RestartWindows() {
    if (IsNtPlatform()) {
        // Without the privilege the request is refused; with it failing, asking costs nothing.
        CHandle token;
        if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                             token.Receive())) {
            TOKEN_PRIVILEGES privileges = {};
            privileges.PrivilegeCount = 1;
            privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
            if (LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege",
                                      &privileges.Privileges[0].Luid)) {
                AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
            }
        }
    }
    return ExitWindowsEx(EWX_REBOOT, 0) ? TRUE : FALSE;
}
