// Scheduling files for the next start of Windows on the 95/98/Me family: the [rename]
// section of WININIT.INI, edited as a list of lines. Also the names of the side files that
// stand in for files in use.
#pragma once

#include "common/core/AnsiText.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace corvina {

// One change to the rename section: the entry that goes directly under the section header,
// an optional second line after it (only under an existing header), and the lines of the
// section that the change replaces.
struct WininitEdit {
    std::string entry;
    std::string secondLine; // empty: none
    // A section line is dropped when it equals one of these, without regard to ASCII case
    // (two-byte characters compare as they are)...
    std::vector<std::string> dropEqual;
    // ... or when it begins, in exact case, with one of these.
    std::vector<std::string> dropPrefix;
    // The entry goes after the section's other lines instead of directly under the header.
    // The start-up carries the lines out in order, and a folder can go only once the files
    // in it are gone.
    bool afterSection = false;
};

// "NUL=<path>": delete path at start-up. Drops a line equal to the entry and any line that
// begins with "<path>=". A folder's entry goes after the section's other lines.
WininitEdit DeleteAtStartupEdit(std::string_view shortPath, bool folder = false);

// "<target>=<source>": put source in place of target at start-up, followed under an
// existing header by "NUL=<source>". Drops lines equal to the entry, to "NUL=<target>" or to
// "NUL=<source>", and any line beginning "<target>=". Without a target the source is only
// deleted at start-up, as by DeleteAtStartupEdit: the other "NUL=" lines are no business of
// this edit.
WininitEdit ReplaceAtStartupEdit(std::string_view shortSource, std::string_view shortTarget);

// The new lines of WININIT.INI after the edit. The first line equal to "[rename]" (any
// ASCII case) is kept and followed by the entry (and the second line), or, for an edit
// afterSection, the entry follows the last non-empty line of that section. The drop rules
// apply in every rename section: from a header up to the next non-empty line that begins
// with "[". Lines outside them are kept as they are. Without any header, "[rename]" and the
// entry (never the second line) are appended.
std::vector<std::string> EditWininitLines(const std::vector<std::string>& lines,
                                          const WininitEdit& edit, LeadBytePredicate isLead);

// The lines of a file's contents, line ends ("\r\n", "\n" or a lone "\r") removed. A last
// line without a line end still counts; empty contents have no lines.
std::vector<std::string> SplitTextLines(std::string_view contents);

// Every line followed by "\r\n".
std::string JoinTextLines(const std::vector<std::string>& lines);

// Candidates for a side file: "<path>.<counter>" in decimal.
std::string SideFileCandidate(std::string_view path, uint32_t counter);

// Candidates for the uninstaller's temporary copy: the folder, a backslash when it lacks
// one, "tmpCorvina", the counter as eight upper-case hexadecimal digits and ".tmp".
std::string TemporaryCopyCandidate(std::string_view tempFolder, uint32_t counter);

// The first candidate(counter) for counter = first, first + 1, ... below 0xFFFFFFFF for
// which isTaken is false; an empty name when every one is taken.
std::string FindFreeName(uint32_t first, const std::function<std::string(uint32_t)>& candidate,
                         const std::function<bool(const std::string&)>& isTaken);

} // namespace corvina
