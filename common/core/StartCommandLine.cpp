#include "common/core/StartCommandLine.h"

namespace corvina {

std::string BuildStartCommandLine(std::string_view programPath, std::string_view arguments) {
    std::string line;
    if (!programPath.empty() && programPath.front() == '"') {
        line.assign(programPath);
    } else {
        line.reserve(programPath.size() + arguments.size() + 3);
        line.push_back('"');
        line.append(programPath);
        line.push_back('"');
    }
    if (!arguments.empty()) {
        line.push_back(' ');
        line.append(arguments);
    }
    return line;
}

} // namespace corvina
