#include "setup/core/RemovalRules.h"

#include "common/core/SuiteNames.h"

#include <cstdio>

namespace corvina {

namespace {

std::string_view TrimBlanks(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return std::string_view();
    }
    return text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

// The folder without a trailing backslash, except a drive root ("C:\").
std::string_view WithoutTrailingBackslash(std::string_view folder, LeadBytePredicate isLead) {
    const bool driveRoot = folder.size() == 3 && folder[1] == ':';
    if (!driveRoot && folder.size() > 1 && EndsWithBackslash(folder, isLead)) {
        folder.remove_suffix(1);
    }
    return folder;
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

} // namespace

// The uninstaller's own name is spelt as the uninstall entry names it.
const char* const kRemovalFiles[kRemovalFileCount] = {kSettingsFileName, kExtensionFileName,
                                                      kResidentFileName, kBandFileName,
                                                      "Readme.txt",      "uninstall.exe"};

bool EndsWithBackslash(std::string_view text, LeadBytePredicate isLead) {
    bool last = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        if (isLead && isLead(byte) && i + 1 < text.size()) {
            ++i;
            last = false;
        } else {
            last = byte == '\\';
        }
    }
    return last;
}

std::string RelaunchFolderArgument(std::string_view programFolder, LeadBytePredicate isLead) {
    std::string folder(programFolder);
    const bool driveRoot = folder.size() == 3 && folder[1] == ':';
    if (!driveRoot && EndsWithBackslash(folder, isLead)) {
        folder.pop_back();
    }
    return folder;
}

FileRemoval DecideFileRemoval(bool deleted, bool stillPresent) {
    return deleted || !stillPresent ? FileRemoval::Removed : FileRemoval::ScheduleForRestart;
}

std::string QuoteProgramPath(std::string_view path) {
    std::string quoted = "\"";
    quoted.append(path);
    quoted.push_back('"');
    return quoted;
}

std::string ProgramPathFromCommand(std::string_view command) {
    command = TrimBlanks(command);
    if (!command.empty() && command.front() == '"') {
        command.remove_prefix(1);
        const size_t end = command.find('"');
        return std::string(TrimBlanks(command.substr(0, end)));
    }
    return std::string(command);
}

std::string UninstallDisplayName(const FileVersion& version) {
    char name[32] = {};
    std::snprintf(name, sizeof name, "Corvina %u.%02u", static_cast<unsigned>(version.part[0]),
                  static_cast<unsigned>(version.part[1]));
    return name;
}

std::string RemovalFolderArgument(std::string_view commandLine) {
    std::string_view folder = TrimBlanks(commandLine);
    if (folder.size() >= 2 && folder.front() == '"' && folder.back() == '"') {
        folder = TrimBlanks(folder.substr(1, folder.size() - 2));
    }
    return std::string(folder);
}

bool SameFolder(std::string_view a, std::string_view b, LeadBytePredicate isLead) {
    if (a.empty() || b.empty()) {
        return false;
    }
    return EqualIgnoringAsciiCase(WithoutTrailingBackslash(a, isLead),
                                  WithoutTrailingBackslash(b, isLead), isLead);
}

bool IsTemporaryCopy(std::string_view programPath, std::string_view tempFolder,
                     LeadBytePredicate isLead) {
    size_t slash = std::string_view::npos;
    for (size_t i = 0; i < programPath.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(programPath[i]);
        if (isLead && isLead(byte) && i + 1 < programPath.size()) {
            ++i;
        } else if (byte == '\\') {
            slash = i;
        }
    }
    if (slash == std::string_view::npos) {
        return false;
    }
    const std::string_view name = programPath.substr(slash + 1);
    constexpr std::string_view kStem = "tmpcorvina";
    constexpr std::string_view kExtension = ".tmp";
    if (name.size() != kStem.size() + 8 + kExtension.size() ||
        !EqualIgnoringAsciiCase(name.substr(0, kStem.size()), kStem, nullptr) ||
        !EqualIgnoringAsciiCase(name.substr(kStem.size() + 8), kExtension, nullptr)) {
        return false;
    }
    for (char c : name.substr(kStem.size(), 8)) {
        if (!IsHexDigit(c)) {
            return false;
        }
    }
    return SameFolder(programPath.substr(0, slash + 1), tempFolder, isLead);
}

RemovalTarget DecideRemovalTarget(std::string_view folder, bool folderExists,
                                  const std::vector<std::string>& recordedFolders,
                                  bool holdsSuiteFiles, LeadBytePredicate isLead) {
    if (!folderExists || !holdsSuiteFiles) {
        return RemovalTarget::NotAnInstallation;
    }
    for (const std::string& recorded : recordedFolders) {
        if (SameFolder(folder, recorded, isLead)) {
            return RemovalTarget::Installation;
        }
    }
    return RemovalTarget::NotAnInstallation;
}

} // namespace corvina
