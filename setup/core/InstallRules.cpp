#include "setup/core/InstallRules.h"

#include "common/core/SuiteNames.h"

#include <climits>
#include <cstdint>

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

bool IsLead(LeadBytePredicate isLead, char c) {
    return isLead != nullptr && isLead(static_cast<unsigned char>(c));
}

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// "X:" or "X:\" with X a letter: the drive component as SplitFolderComponents makes it.
bool IsDriveComponent(std::string_view component) {
    return (component.size() == 2 || (component.size() == 3 && component[2] == '\\')) &&
           IsAsciiLetter(component[0]) && component[1] == ':';
}

// The text after the last backslash that is a character of its own.
std::string_view FileNamePart(std::string_view path, LeadBytePredicate isLead) {
    size_t start = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        if (IsLead(isLead, path[i]) && i + 1 < path.size()) {
            ++i;
        } else if (path[i] == '\\') {
            start = i + 1;
        }
    }
    return path.substr(start);
}

bool EndsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// Registry keys nest at most 512 levels; a deeper answer can only come from a listing that
// names a key inside itself, and must not recurse for ever.
constexpr int kMaxKeyDepth = 512;

void CollectKeyTree(const std::string& key,
                    const std::function<std::vector<std::string>(const std::string&)>& subkeysOf,
                    int depth, std::vector<std::string>& order) {
    if (depth >= kMaxKeyDepth) {
        return;
    }
    for (const std::string& name : subkeysOf(key)) {
        std::string child = key;
        child.push_back('\\');
        child.append(name);
        CollectKeyTree(child, subkeysOf, depth + 1, order);
        order.push_back(std::move(child));
    }
}

} // namespace

SetupMode ChooseSetupMode(std::string_view commandLine) {
    // The system may hand over blanks around the arguments (a shortcut's, a shell's own).
    const size_t first = commandLine.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return SetupMode::Relaunch;
    }
    commandLine = commandLine.substr(first, commandLine.find_last_not_of(" \t") + 1 - first);
    if (EqualsAsciiNoCase(commandLine, "-install")) {
        return SetupMode::Install;
    }
    return SetupMode::Removal;
}

FileVersion FileVersionFromFixed(uint32_t versionMs, uint32_t versionLs) {
    FileVersion version;
    version.part[0] = static_cast<uint16_t>(versionMs >> 16);
    version.part[1] = static_cast<uint16_t>(versionMs & 0xFFFF);
    version.part[2] = static_cast<uint16_t>(versionLs >> 16);
    version.part[3] = static_cast<uint16_t>(versionLs & 0xFFFF);
    return version;
}

int CompareFileVersions(const FileVersion& a, const FileVersion& b) {
    for (int i = 0; i < 4; ++i) {
        if (a.part[i] != b.part[i]) {
            return a.part[i] < b.part[i] ? -1 : 1;
        }
    }
    return 0;
}

bool IsAcceptableInstallFolder(std::string_view folder, uint32_t logicalDrives) {
    if (folder.size() < 3 || !IsAsciiLetter(folder[0]) || folder[1] != ':' || folder[2] != '\\') {
        return false;
    }
    const int drive = (folder[0] >= 'a' ? folder[0] - 'a' : folder[0] - 'A');
    if ((logicalDrives & (uint32_t{1} << drive)) == 0) {
        return false;
    }
    // Neither byte can be the trail byte of a two-byte character, so a plain search is exact.
    return folder.find_first_of("*?") == std::string_view::npos;
}

std::vector<std::string> SplitFolderComponents(std::string_view folder, LeadBytePredicate isLead) {
    std::vector<std::string> components;
    std::string current;
    for (size_t i = 0; i < folder.size(); ++i) {
        if (IsLead(isLead, folder[i]) && i + 1 < folder.size()) {
            current.push_back(folder[i]);
            current.push_back(folder[++i]);
            continue;
        }
        if (folder[i] != '\\') {
            current.push_back(folder[i]);
            continue;
        }
        if (components.empty() && IsDriveComponent(current)) {
            current.push_back('\\');
        }
        if (!current.empty()) {
            components.push_back(std::move(current));
            current.clear();
        }
    }
    if (!current.empty()) {
        components.push_back(std::move(current));
    }
    return components;
}

std::vector<std::string> FolderPrefixes(const std::vector<std::string>& components) {
    std::vector<std::string> prefixes;
    std::string prefix;
    for (size_t i = 0; i < components.size(); ++i) {
        // Only the drive component ends with a separator of its own; any other component
        // may end with a 0x5C trail byte, which is no separator.
        if (i > 0 && !(i == 1 && IsDriveComponent(components[0]) && components[0].size() == 3)) {
            prefix.push_back('\\');
        }
        prefix.append(components[i]);
        prefixes.push_back(prefix);
    }
    return prefixes;
}

std::string InstallFolderWithProductName(std::string_view folder,
                                         const std::vector<std::string>& components,
                                         bool existingInstallation) {
    if (existingInstallation) {
        return std::string(folder);
    }
    if (components.empty()) {
        return std::string();
    }
    const std::string& last = components.back();
    if (EqualsAsciiNoCase(last, "Corvina")) {
        return std::string(folder);
    }
    std::string result(folder);
    // The components hold every character but the separators, so the folder ends with a
    // separator exactly when it does not end with its last component (or that component is
    // the drive "X:\"). A 0x5C trail byte at the end is thus not mistaken for one.
    const bool endsWithSeparator =
        !EndsWith(folder, last) || (IsDriveComponent(last) && last.size() == 3);
    if (!endsWithSeparator) {
        result.push_back('\\');
    }
    result.append("Corvina");
    return result;
}

ProgressRange NormalizeProgressRange(int low, int high) {
    ProgressRange range{low, high};
    if (range.low >= range.high) {
        if (range.low == INT_MAX) {
            // low + 1 does not exist: keep the width of one below it.
            range.low = INT_MAX - 1;
        }
        range.high = range.low + 1;
    }
    return range;
}

int ClampProgressPosition(const ProgressRange& range, int position) {
    if (position < range.low) {
        return range.low;
    }
    if (position > range.high) {
        return range.high;
    }
    return position;
}

int ProgressFillRight(int left, int right, const ProgressRange& range, int position) {
    if (right <= left) {
        return left;
    }
    const ProgressRange r = NormalizeProgressRange(range.low, range.high);
    const int64_t clamped = ClampProgressPosition(r, position);
    const int64_t width = int64_t{right} - left;
    const int64_t span = int64_t{r.high} - r.low;
    const int64_t fill = width * (clamped - r.low) / span;
    return static_cast<int>(left + fill);
}

std::vector<int> ProgressSteps(int current, int target) {
    std::vector<int> steps;
    if (target <= current) {
        return steps;
    }
    steps.reserve(static_cast<size_t>(int64_t{target} - current));
    for (int64_t p = int64_t{current} + 1; p <= target; ++p) {
        steps.push_back(static_cast<int>(p));
    }
    return steps;
}

int CopyProgressPosition(int index, int count) {
    if (count <= 0) {
        return 0;
    }
    return static_cast<int>(int64_t{index} * 100 / count);
}

bool RetryWithNormalAttributes(uint32_t error, uint32_t attributesBefore) {
    if (error != kErrorAccessDenied || attributesBefore == kInvalidAttributes ||
        (attributesBefore & kAttributeDirectory) != 0) {
        return false;
    }
    return (attributesBefore & (kAttributeReadOnly | kAttributeHidden | kAttributeSystem)) != 0;
}

bool CopyRefusedForFileInUse(uint32_t error) {
    return error == kErrorSharingViolation || error == kErrorLockViolation ||
           error == kErrorUserMappedFile;
}

bool IsSuiteShortcutTarget(std::string_view targetPath, LeadBytePredicate isLead) {
    if (targetPath.empty()) {
        return false;
    }
    const std::string_view name = FileNamePart(targetPath, isLead);
    return EqualsAsciiNoCase(name, kSettingsFileName) || EqualsAsciiNoCase(name, kResidentFileName);
}

void AddFolderOnce(std::vector<std::string>& folders, std::string_view folder) {
    AddFolderOnce(folders, folder, nullptr);
}

void AddFolderOnce(std::vector<std::string>& folders, std::string_view folder,
                   LeadBytePredicate isLead) {
    for (const std::string& known : folders) {
        if (EqualIgnoringAsciiCase(known, folder, isLead)) {
            return;
        }
    }
    folders.emplace_back(folder);
}

bool IsKeptFolder(std::string_view folder, const std::vector<std::string>& startupFolders) {
    return IsKeptFolder(folder, startupFolders, nullptr);
}

bool IsKeptFolder(std::string_view folder, const std::vector<std::string>& startupFolders,
                  LeadBytePredicate isLead) {
    for (const std::string& startup : startupFolders) {
        if (!startup.empty() && EqualIgnoringAsciiCase(startup, folder, isLead)) {
            return true;
        }
    }
    return false;
}

std::vector<std::string>
KeyTreeDeletionOrder(std::string_view key,
                     const std::function<std::vector<std::string>(const std::string&)>& subkeysOf) {
    std::vector<std::string> order;
    const std::string root(key);
    CollectKeyTree(root, subkeysOf, 0, order);
    order.push_back(root);
    return order;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b, LeadBytePredicate isLead) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (IsLead(isLead, a[i]) && i + 1 < a.size()) {
            // Both texts hold the same lead byte here, so both hold a two-byte character.
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) {
                return false;
            }
            ++i;
            continue;
        }
        if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

} // namespace corvina
