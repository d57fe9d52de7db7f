#include "common/ModulePaths.h"

#include "common/core/AnsiText.h"

namespace {

bool IsSystemLeadByte(unsigned char byte) {
    return IsDBCSLeadByte(byte) != FALSE;
}

} // namespace

std::string GetModuleFolder(HMODULE module) {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    // A name cut at the buffer's end (older systems do not even terminate it) is no path.
    if (length == 0 || length >= MAX_PATH) {
        return std::string();
    }
    return corvina::ModuleFolderFromPath(std::string(path, length), IsSystemLeadByte);
}

std::string GetSiblingPath(HMODULE module, const char* fileName) {
    std::string folder = GetModuleFolder(module);
    if (folder.empty()) {
        return folder;
    }
    return folder + fileName;
}
