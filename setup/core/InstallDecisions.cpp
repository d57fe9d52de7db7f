#include "setup/core/InstallDecisions.h"

#include "common/core/SuiteNames.h"

namespace corvina {

const std::vector<std::string>& PackageFileNames() {
    static const std::vector<std::string> names = {"Readme.txt",       kSettingsFileName,
                                                   kExtensionFileName, kBandFileName,
                                                   kResidentFileName,  kSetupFileName};
    return names;
}

InstallVerdict DecideInstall(const FileVersion& package, const FileVersion& installed) {
    const int order = CompareFileVersions(package, installed);
    if (order < 0) {
        return InstallVerdict::Refuse;
    }
    if (order == 0) {
        return InstallVerdict::AskReinstall;
    }
    return InstallVerdict::WaitForTheUser;
}

std::string PathInFolder(std::string_view folder, std::string_view name, LeadBytePredicate isLead) {
    bool endsWithSeparator = false;
    for (size_t i = 0; i < folder.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(folder[i]);
        if (isLead && isLead(byte) && i + 1 < folder.size()) {
            endsWithSeparator = false;
            ++i;
            continue;
        }
        endsWithSeparator = byte == '\\';
    }
    std::string path(folder);
    if (!folder.empty() && !endsWithSeparator) {
        path.push_back('\\');
    }
    path.append(name);
    return path;
}

} // namespace corvina
