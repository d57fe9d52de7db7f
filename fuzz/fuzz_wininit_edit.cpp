// Arbitrary WININIT.INI contents and paths through the line split, the rename-section edit
// and the join: the entry stands directly under every header, lines outside rename sections
// are kept in order, a line inside one is lost only by a drop rule, the result survives
// another split and join, and editing a file that has a header twice changes nothing more.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "common/core/AnsiText.h"
#include "setup/core/InstallRules.h"
#include "setup/core/RestartRules.h"

using namespace corvina;

namespace {

using Lines = std::vector<std::string>;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool IsHeader(const std::string& line) {
    static const char kHeader[] = "[rename]";
    if (line.size() != 8) {
        return false;
    }
    for (size_t i = 0; i < 8; ++i) {
        char c = line[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != kHeader[i]) {
            return false;
        }
    }
    return true;
}

bool MatchesDropRule(const std::string& line, const WininitEdit& edit, LeadBytePredicate isLead) {
    for (const std::string& equal : edit.dropEqual) {
        if (EqualIgnoringAsciiCase(line, equal, isLead)) {
            return true;
        }
    }
    for (const std::string& prefix : edit.dropPrefix) {
        if (line.compare(0, prefix.size(), prefix) == 0) {
            return true;
        }
    }
    return false;
}

// Short paths never hold line ends, and begin with a drive, never with a section's '['.
std::string PathFrom(std::string_view text) {
    std::string path;
    for (char c : text) {
        if (c != '\r' && c != '\n') {
            path.push_back(c);
        }
    }
    if (!path.empty() && path.front() == '[') {
        path.front() = 'C';
    }
    return path;
}

// Walks the input beside the output: every input line must be accounted for.
void CheckAgainstInput(const Lines& in, const Lines& out, const WininitEdit& edit,
                       LeadBytePredicate isLead) {
    size_t j = 0;
    bool inSection = false;
    bool headerSeen = false;
    const auto take = [&](const std::string& expected) {
        Check(j < out.size() && out[j] == expected);
        ++j;
    };
    for (const std::string& line : in) {
        if (IsHeader(line)) {
            take(line);
            take(edit.entry);
            if (!edit.secondLine.empty()) {
                take(edit.secondLine);
            }
            inSection = true;
            headerSeen = true;
        } else if (!inSection) {
            take(line);
        } else if (!line.empty() && line[0] == '[') {
            take(line);
            inSection = false;
        } else if (!MatchesDropRule(line, edit, isLead)) {
            take(line);
        }
    }
    if (!headerSeen) {
        take("[rename]");
        take(edit.entry);
    }
    Check(j == out.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const uint8_t flags = data[0];
    std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const size_t first = rest.find('\xFF');
    const size_t second = first == std::string_view::npos ? first : rest.find('\xFF', first + 1);
    if (second == std::string_view::npos) {
        return 0;
    }
    const std::string source = PathFrom(rest.substr(0, first));
    const std::string target = PathFrom(rest.substr(first + 1, second - first - 1));
    const std::string_view contents = rest.substr(second + 1);
    const LeadBytePredicate isLead = (flags & 2) ? IsCp932LeadByte : nullptr;
    const WininitEdit edit =
        (flags & 1) ? ReplaceAtStartupEdit(source, target) : DeleteAtStartupEdit(source);

    const Lines in = SplitTextLines(contents);
    for (const std::string& line : in) {
        Check(line.find_first_of("\r\n") == std::string::npos);
    }
    const Lines out = EditWininitLines(in, edit, isLead);
    CheckAgainstInput(in, out, edit, isLead);

    bool outputHasHeader = false;
    for (size_t k = 0; k < out.size(); ++k) {
        if (IsHeader(out[k])) {
            outputHasHeader = true;
            Check(k + 1 < out.size() && out[k + 1] == edit.entry);
        }
    }
    Check(outputHasHeader);

    const std::string written = JoinTextLines(out);
    Check(SplitTextLines(written) == out);

    // Once a header exists, the edit is its own fixed point.
    Check(EditWininitLines(out, edit, isLead) == out || !edit.secondLine.empty());
    const Lines twice = EditWininitLines(out, edit, isLead);
    Check(EditWininitLines(twice, edit, isLead) == twice);
    return 0;
}
