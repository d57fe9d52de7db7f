// The decisions of the install and uninstall program that need no Windows call: the mode
// from the command line, file versions, installation folder checks, command lines of the
// programs it starts, the progress bar's arithmetic, the shortcut clean-up and the order in
// which a registry key tree is deleted.
#pragma once

#include "common/core/AnsiText.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace corvina {

enum class SetupMode {
    Relaunch, // empty (or blank) command line: copy the program away and start the copy
    Install,  // "-install", any ASCII case, blanks around it ignored
    Removal,  // anything else: the text names the installation folder
};
SetupMode ChooseSetupMode(std::string_view commandLine);

// The four 16-bit numbers of a fixed file version, most significant first. A file without
// version information has 0.0.0.0.
struct FileVersion {
    uint16_t part[4] = {0, 0, 0, 0};
};
FileVersion FileVersionFromFixed(uint32_t versionMs, uint32_t versionLs);
// Negative, zero or positive as a is older than, equal to or newer than b: number by
// number from the first, the first difference deciding.
int CompareFileVersions(const FileVersion& a, const FileVersion& b);

// The folder field's text is an installation folder when it has at least three characters,
// begins with the root of an existing drive ("X:\" with X's bit set in logicalDrives, bit 0
// for A; any letter case) and holds neither '*' nor '?'.
bool IsAcceptableInstallFolder(std::string_view folder, uint32_t logicalDrives);

// The components of a folder split at each backslash (a 0x5C trail byte is not one); the
// drive keeps its backslash ("C:\"), and empty components are left out.
std::vector<std::string> SplitFolderComponents(std::string_view folder, LeadBytePredicate isLead);

// The folders to create, one per prefix of the components: "C:\", "C:\a", "C:\a\b".
std::vector<std::string> FolderPrefixes(const std::vector<std::string>& components);

// The installation folder after step 4 of the installation: unchanged when an existing
// installation was found or the last component is "Corvina" (any ASCII case); otherwise
// with a backslash (when missing) and "Corvina" appended. Empty components give "".
std::string InstallFolderWithProductName(std::string_view folder,
                                         const std::vector<std::string>& components,
                                         bool existingInstallation);

// The progress bar. The range is widened to low + 1 when low is not below high; positions
// are clamped into it.
struct ProgressRange {
    int low = 0;
    int high = 100;
};
ProgressRange NormalizeProgressRange(int low, int high);
int ClampProgressPosition(const ProgressRange& range, int position);
// The right edge of the filled part of an interior from left to right (exclusive) for the
// position: left + (right - left) * (position - low) / (high - low), never outside.
int ProgressFillRight(int left, int right, const ProgressRange& range, int position);
// The positions the bar passes through when advanced from current to target: current + 1
// up to target, one by one; nothing when target is not above current.
std::vector<int> ProgressSteps(int current, int target);
// The bar's position before copying package file index of count: index * 100 / count.
int CopyProgressPosition(int index, int count);

// The copy and delete rules try once more, with the file's attributes made normal, only when
// the first attempt was refused with access denied and the file had the read-only, hidden or
// system attribute beforehand; never for a folder, nor when the attributes could not be read.
constexpr uint32_t kErrorAccessDenied = 5;
constexpr uint32_t kAttributeReadOnly = 0x1;
constexpr uint32_t kAttributeHidden = 0x2;
constexpr uint32_t kAttributeSystem = 0x4;
constexpr uint32_t kAttributeDirectory = 0x10;
constexpr uint32_t kInvalidAttributes = 0xFFFFFFFF;
bool RetryWithNormalAttributes(uint32_t error, uint32_t attributesBefore);

// A package file whose copy is refused because the target is in use (open without sharing,
// locked, or mapped by a running program) is put in place at the next start. Every other
// failure (access refused, a full disk, a path too long) stops the installation.
constexpr uint32_t kErrorSharingViolation = 32;
constexpr uint32_t kErrorLockViolation = 33;
constexpr uint32_t kErrorUserMappedFile = 1224;
bool CopyRefusedForFileInUse(uint32_t error);

// The shortcut clean-up removes a link whose target's file name (after its last backslash)
// is "Corvset.exe" or "CorvinaPlus.exe" (any ASCII case). An empty target is never one.
bool IsSuiteShortcutTarget(std::string_view targetPath, LeadBytePredicate isLead);
// Adds folder to the list unless it holds it already (any ASCII case).
void AddFolderOnce(std::vector<std::string>& folders, std::string_view folder);
// True for a folder that the clean-up never removes: one of the startup folders (any ASCII
// case; empty entries never match).
bool IsKeptFolder(std::string_view folder, const std::vector<std::string>& startupFolders);
// The same where texts may hold two-byte characters: their bytes compare as they are, so a
// trail byte that happens to be a letter is never folded.
void AddFolderOnce(std::vector<std::string>& folders, std::string_view folder,
                   LeadBytePredicate isLead);
bool IsKeptFolder(std::string_view folder, const std::vector<std::string>& startupFolders,
                  LeadBytePredicate isLead);

// The keys of a registry key tree in the order they are deleted, key itself last: for each
// subkey S of K in enumeration order, first the tree below K\S, then K\S. subkeysOf lists
// the names of a key's subkeys.
std::vector<std::string>
KeyTreeDeletionOrder(std::string_view key,
                     const std::function<std::vector<std::string>(const std::string&)>& subkeysOf);

// Equal without regard to ASCII case; the bytes of two-byte characters compare as they are.
// A null isLead means a code page without two-byte characters.
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b, LeadBytePredicate isLead);

} // namespace corvina
