#include "setup/core/RestartRules.h"

#include "setup/core/InstallRules.h"

#include <cstddef>
#include <cstdio>

namespace corvina {

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

bool IsDropped(const std::string& line, const WininitEdit& edit, LeadBytePredicate isLead) {
    for (const std::string& equal : edit.dropEqual) {
        if (EqualIgnoringAsciiCase(line, equal, isLead)) {
            return true;
        }
    }
    for (const std::string& prefix : edit.dropPrefix) {
        if (StartsWith(line, prefix)) {
            return true;
        }
    }
    return false;
}

} // namespace

WininitEdit DeleteAtStartupEdit(std::string_view shortPath, bool folder) {
    WininitEdit edit;
    edit.entry = "NUL=" + std::string(shortPath);
    edit.dropEqual.push_back(edit.entry);
    edit.dropPrefix.push_back(std::string(shortPath) + "=");
    edit.afterSection = folder;
    return edit;
}

WininitEdit ReplaceAtStartupEdit(std::string_view shortSource, std::string_view shortTarget) {
    if (shortTarget.empty()) {
        // "NUL=" as a prefix would drop every deletion other programs have pending.
        return DeleteAtStartupEdit(shortSource);
    }
    const std::string source(shortSource);
    const std::string target(shortTarget);
    WininitEdit edit;
    edit.entry = target + "=" + source;
    edit.secondLine = "NUL=" + source;
    edit.dropEqual = {edit.entry, "NUL=" + target, "NUL=" + source};
    edit.dropPrefix.push_back(target + "=");
    return edit;
}

std::vector<std::string> EditWininitLines(const std::vector<std::string>& lines,
                                          const WininitEdit& edit, LeadBytePredicate isLead) {
    std::vector<std::string> result;
    result.reserve(lines.size() + 3);
    bool inSection = false;
    bool headerSeen = false;
    bool inFirstSection = false;
    // Where an entry that follows the first section goes: after its last non-empty line.
    size_t afterFirstSection = 0;
    const auto endFirstSection = [&] {
        if (inFirstSection && edit.afterSection) {
            result.insert(result.begin() + static_cast<std::ptrdiff_t>(afterFirstSection),
                          edit.entry);
        }
        inFirstSection = false;
    };
    for (const std::string& line : lines) {
        // Checked before the end of a section, so a second header keeps the section open.
        if (EqualIgnoringAsciiCase(line, "[rename]", isLead)) {
            result.push_back(line);
            if (!headerSeen) {
                if (!edit.afterSection) {
                    result.push_back(edit.entry);
                    if (!edit.secondLine.empty()) {
                        result.push_back(edit.secondLine);
                    }
                }
                inFirstSection = true;
                afterFirstSection = result.size();
            } else {
                endFirstSection();
            }
            inSection = true;
            headerSeen = true;
            continue;
        }
        if (!inSection) {
            result.push_back(line);
            continue;
        }
        if (!line.empty() && line.front() == '[') {
            endFirstSection();
            inSection = false;
            result.push_back(line);
            continue;
        }
        if (!IsDropped(line, edit, isLead)) {
            result.push_back(line);
            if (inFirstSection && !line.empty()) {
                afterFirstSection = result.size();
            }
        }
    }
    endFirstSection();
    if (!headerSeen) {
        result.emplace_back("[rename]");
        result.push_back(edit.entry);
    }
    return result;
}

std::vector<std::string> SplitTextLines(std::string_view contents) {
    std::vector<std::string> lines;
    size_t start = 0;
    size_t i = 0;
    while (i < contents.size()) {
        const char c = contents[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        lines.emplace_back(contents.substr(start, i - start));
        i += (c == '\r' && i + 1 < contents.size() && contents[i + 1] == '\n') ? 2 : 1;
        start = i;
    }
    if (start < contents.size()) {
        lines.emplace_back(contents.substr(start));
    }
    return lines;
}

std::string JoinTextLines(const std::vector<std::string>& lines) {
    size_t size = 0;
    for (const std::string& line : lines) {
        size += line.size() + 2;
    }
    std::string text;
    text.reserve(size);
    for (const std::string& line : lines) {
        text.append(line);
        text.append("\r\n");
    }
    return text;
}

std::string SideFileCandidate(std::string_view path, uint32_t counter) {
    std::string name(path);
    name.push_back('.');
    name.append(std::to_string(counter));
    return name;
}

std::string TemporaryCopyCandidate(std::string_view tempFolder, uint32_t counter) {
    char number[9];
    std::snprintf(number, sizeof number, "%08lX", static_cast<unsigned long>(counter));
    std::string name(tempFolder);
    // The system's temporary folder always ends with a separator, so a last byte 0x5C that
    // is the trail byte of a two-byte character does not arise here.
    if (name.empty() || name.back() != '\\') {
        name.push_back('\\');
    }
    name.append("tmpCorvina");
    name.append(number);
    name.append(".tmp");
    return name;
}

std::string FindFreeName(uint32_t first, const std::function<std::string(uint32_t)>& candidate,
                         const std::function<bool(const std::string&)>& isTaken) {
    for (uint32_t counter = first; counter < 0xFFFFFFFFu; ++counter) {
        std::string name = candidate(counter);
        if (!isTaken(name)) {
            return name;
        }
    }
    return std::string();
}

} // namespace corvina
