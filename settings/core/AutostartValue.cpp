#include "settings/core/AutostartValue.h"

#include "common/core/StartCommandLine.h"

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
    return BuildStartCommandLine(path, {});
}

bool IsOwnAutostartValue(std::string_view stored, std::string_view programPath,
                         TextEqualsIgnoringCase equals) {
    return equals && equals(stored, BuildAutostartValue(programPath));
}

} // namespace corvina
