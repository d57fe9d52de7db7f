#include "settings/core/AutostartValue.h"

namespace corvina {

const char kAutostartValueName[] = "CorvinaPlus";

std::string BuildAutostartValue(std::string_view programPath) {
    std::string value;
    value.reserve(programPath.size() + 2);
    value += '"';
    value += programPath;
    value += '"';
    return value;
}

std::string QuoteCommandPath(std::string_view path) {
    if (!path.empty() && path.front() == '"') {
        return std::string(path);
    }
    return BuildAutostartValue(path);
}

namespace {

unsigned char FoldAscii(unsigned char byte) {
    return (byte >= 'a' && byte <= 'z') ? static_cast<unsigned char>(byte - 'a' + 'A') : byte;
}

} // namespace

bool EqualsIgnoringCase(std::string_view left, std::string_view right,
                        LeadBytePredicate isLeadByte) {
    if (left.size() != right.size()) {
        return false;
    }
    size_t i = 0;
    while (i < left.size()) {
        const auto a = static_cast<unsigned char>(left[i]);
        const auto b = static_cast<unsigned char>(right[i]);
        if (isLeadByte && isLeadByte(a)) {
            // Lead bytes are never letters, so both sides must hold the same character.
            if (a != b) {
                return false;
            }
            if (i + 1 < left.size() && left[i + 1] != right[i + 1]) {
                return false;
            }
            i += 2;
            continue;
        }
        if (FoldAscii(a) != FoldAscii(b)) {
            return false;
        }
        ++i;
    }
    return true;
}

bool IsOwnAutostartValue(std::string_view stored, std::string_view programPath,
                         LeadBytePredicate isLeadByte) {
    return EqualsIgnoringCase(stored, BuildAutostartValue(programPath), isLeadByte);
}

} // namespace corvina
