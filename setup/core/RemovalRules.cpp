#include "setup/core/RemovalRules.h"

namespace corvina {

const char* const kRemovalFiles[kRemovalFileCount] = {"Corvset.exe",     "Corvina.dll",
                                                      "CorvinaPlus.exe", "CorvinaBar.dll",
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

} // namespace corvina
