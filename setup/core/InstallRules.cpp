#include "setup/core/InstallRules.h"

namespace corvina {

namespace {

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsAsciiNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

SetupMode ChooseSetupMode(std::string_view commandLine) {
    if (commandLine.empty()) {
        return SetupMode::Relaunch;
    }
    if (EqualsAsciiNoCase(commandLine, "-install")) {
        return SetupMode::Install;
    }
    return SetupMode::Removal;
}

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
