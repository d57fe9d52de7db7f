#include "common/core/AnsiText.h"

#include <algorithm>
#include <cstring>

namespace corvina {

bool IsCp932LeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

namespace {

// Whether the last character (not merely the last byte) is a backslash.
bool EndsWithBackslash(std::string_view text, LeadBytePredicate isLead) {
    bool backslash = false;
    for (size_t i = 0; i < text.size(); ++i) {
        backslash = text[i] == '\\';
        if (isLead(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
            backslash = false;
            ++i;
        }
    }
    return backslash;
}

} // namespace

size_t AnsiPrefixLength(std::string_view text, size_t maxBytes, LeadBytePredicate isLead) {
    const size_t end = std::min(text.size(), text.find('\0'));
    size_t i = 0;
    while (i < end) {
        size_t width = 1;
        if (isLead(static_cast<unsigned char>(text[i]))) {
            if (i + 1 >= end) {
                break;
            }
            width = 2;
        }
        if (i + width > maxBytes) {
            break;
        }
        i += width;
    }
    return i;
}

size_t CopyAnsiText(std::string_view text, char* buffer, size_t bufferSize,
                    LeadBytePredicate isLead) {
    if (bufferSize == 0) {
        return 0;
    }
    const size_t length = AnsiPrefixLength(text, bufferSize - 1, isLead);
    if (length != 0) {
        std::memcpy(buffer, text.data(), length);
    }
    buffer[length] = '\0';
    return length;
}

std::string ModuleFolderFromPath(std::string_view path, LeadBytePredicate isLead) {
    const size_t end = std::min(path.size(), path.find('\0'));
    size_t lastBackslash = std::string_view::npos;
    for (size_t i = 0; i < end; ++i) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        if (c == '\\') {
            lastBackslash = i;
        } else if (isLead(c) && i + 1 < end) {
            ++i;
        }
    }
    if (lastBackslash == std::string_view::npos) {
        return std::string();
    }
    std::string folder(path.substr(0, lastBackslash));
    if (folder.size() == 2) {
        folder += '\\';
    }
    if (!EndsWithBackslash(folder, isLead)) {
        folder += '\\';
    }
    return folder;
}

} // namespace corvina
