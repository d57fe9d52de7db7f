#include "setup/FileRules.h"

#include <new>

// The rules' own copies of the system's values.
static_assert(corvina::kErrorAccessDenied == ERROR_ACCESS_DENIED, "kErrorAccessDenied");
static_assert(corvina::kAttributeReadOnly == FILE_ATTRIBUTE_READONLY, "kAttributeReadOnly");
static_assert(corvina::kAttributeHidden == FILE_ATTRIBUTE_HIDDEN, "kAttributeHidden");
static_assert(corvina::kAttributeSystem == FILE_ATTRIBUTE_SYSTEM, "kAttributeSystem");
static_assert(corvina::kAttributeDirectory == FILE_ATTRIBUTE_DIRECTORY, "kAttributeDirectory");
static_assert(corvina::kInvalidAttributes == INVALID_FILE_ATTRIBUTES, "kInvalidAttributes");
static_assert(corvina::kErrorSharingViolation == ERROR_SHARING_VIOLATION, "kErrorSharingViolation");
static_assert(corvina::kErrorLockViolation == ERROR_LOCK_VIOLATION, "kErrorLockViolation");
static_assert(corvina::kErrorUserMappedFile == ERROR_USER_MAPPED_FILE, "kErrorUserMappedFile");

bool FileExistsAt(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool FolderExistsAt(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

BOOL CopyOverwriting(const char* source, const char* target) {
    return CopyFileA(source, target, FALSE);
}

BOOL CopyFileByRule(const char* source, const char* target) {
    return CopyFileByRule(source, target, CopyOverwriting);
}

BOOL CopyFileByRule(const char* source, const char* target, FileCopyOperation copy) {
    // The caller reports why a copy failed, so these refusals say it as CopyFile would.
    if (!FileExistsAt(source)) {
        SetLastError(FolderExistsAt(source) ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    if (FolderExistsAt(target)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    const DWORD before = GetFileAttributesA(target);
    if (copy(source, target)) {
        return TRUE;
    }
    // Only the attributes are worth getting past: a file held open stays refused.
    if (!corvina::RetryWithNormalAttributes(GetLastError(), before)) {
        return FALSE;
    }
    SetFileAttributesA(target, FILE_ATTRIBUTE_NORMAL);
    return copy(source, target);
}

BOOL DeleteFileByRule(const char* path) {
    const DWORD before = GetFileAttributesA(path);
    if (DeleteFileA(path)) {
        return TRUE;
    }
    if (!corvina::RetryWithNormalAttributes(GetLastError(), before)) {
        return FALSE;
    }
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    return DeleteFileA(path);
}

corvina::FileVersion ReadFileVersion(const char* path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0) {
        return {};
    }
    std::vector<BYTE> block;
    try {
        block.resize(size);
    } catch (const std::bad_alloc&) {
        return {};
    }
    if (!GetFileVersionInfoA(path, 0, size, block.data())) {
        return {};
    }
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\", &value, &length) || value == nullptr ||
        length < sizeof(VS_FIXEDFILEINFO)) {
        return {};
    }
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    if (fixed->dwSignature != 0xFEEF04BD) {
        return {};
    }
    return corvina::FileVersionFromFixed(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
}

bool CreateFolderChain(const std::vector<std::string>& components) {
    for (const std::string& folder : corvina::FolderPrefixes(components)) {
        if (FolderExistsAt(folder.c_str())) {
            continue;
        }
        // No descriptor of our own: the folder takes the default security from its parent.
        SECURITY_ATTRIBUTES security = {};
        security.nLength = sizeof(security);
        security.lpSecurityDescriptor = nullptr;
        security.bInheritHandle = TRUE;
        // Another process may have made it meanwhile: that counts as made.
        if (!CreateDirectoryA(folder.c_str(), &security) && !FolderExistsAt(folder.c_str())) {
            return false;
        }
    }
    return true;
}
