#include "serversetup/core/ServerPaths.h"

namespace corvina {

std::string ServerFolderFromPath(std::string_view path, LeadBytePredicate isLead) {
    size_t lastBackslash = std::string_view::npos;
    for (size_t i = 0; i < path.size() && path[i] != '\0'; ++i) {
        const unsigned char byte = static_cast<unsigned char>(path[i]);
        if (byte == '\\') {
            lastBackslash = i;
        } else if (isLead && isLead(byte) && i + 1 < path.size() && path[i + 1] != '\0') {
            ++i; // the trail byte may be 0x5C
        }
    }
    if (lastBackslash == std::string_view::npos) {
        return std::string();
    }
    if (lastBackslash == 0) {
        return "\\";
    }
    std::string folder(path.substr(0, lastBackslash));
    if (folder.size() == 2 && folder[1] == ':') {
        folder += '\\';
    }
    return folder;
}

std::string FillPathPlaceholder(std::string_view pattern, std::string_view path) {
    const size_t at = pattern.find("%s");
    if (at == std::string_view::npos) {
        return std::string(pattern);
    }
    std::string text;
    text.reserve(pattern.size() + path.size());
    text.append(pattern.substr(0, at));
    text.append(path);
    text.append(pattern.substr(at + 2));
    return text;
}

} // namespace corvina
