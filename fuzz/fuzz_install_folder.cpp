// Arbitrary folder field texts and drive masks: the folder check agrees with a plain reading
// of its rule, the components keep every character but the separators, the prefixes split
// back into the components, and the product name is appended as one more component.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/core/AnsiText.h"
#include "setup/core/InstallRules.h"

using namespace corvina;

namespace {

using Strings = std::vector<std::string>;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool NoLeadBytes(unsigned char) {
    return false;
}

bool IsLead(LeadBytePredicate isLead, char c) {
    return isLead != nullptr && isLead(static_cast<unsigned char>(c));
}

bool Acceptable(const std::string& folder, uint32_t drives) {
    if (folder.size() < 3 || folder[1] != ':' || folder[2] != '\\') {
        return false;
    }
    int bit = -1;
    if (folder[0] >= 'A' && folder[0] <= 'Z') {
        bit = folder[0] - 'A';
    } else if (folder[0] >= 'a' && folder[0] <= 'z') {
        bit = folder[0] - 'a';
    }
    if (bit < 0 || ((drives >> bit) & 1u) == 0) {
        return false;
    }
    return folder.find('*') == std::string::npos && folder.find('?') == std::string::npos;
}

// The text with its separators taken out, and the drive's own backslash with them.
std::string WithoutSeparators(const std::string& text, LeadBytePredicate isLead) {
    std::string kept;
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsLead(isLead, text[i]) && i + 1 < text.size()) {
            kept.push_back(text[i]);
            kept.push_back(text[++i]);
        } else if (text[i] != '\\') {
            kept.push_back(text[i]);
        }
    }
    return kept;
}

bool IsCorvina(const std::string& name) {
    if (name.size() != 7) {
        return false;
    }
    for (size_t i = 0; i < 7; ++i) {
        char c = name[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != "corvina"[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 5) {
        return 0;
    }
    uint32_t drives;
    std::memcpy(&drives, data, 4);
    const uint8_t flags = data[4];
    const LeadBytePredicate isLead = (flags & 1) ? IsCp932LeadByte : nullptr;
    const bool existing = (flags & 2) != 0;
    std::string folder(reinterpret_cast<const char*>(data + 5), size - 5);
    // A window text holds whole characters: a lead byte at the end has lost its trail byte.
    // It ends at its first zero, too.
    folder.resize(AnsiPrefixLength(folder, folder.size(), isLead ? isLead : NoLeadBytes));

    Check(IsAcceptableInstallFolder(folder, drives) == Acceptable(folder, drives));

    const Strings components = SplitFolderComponents(folder, isLead);
    std::string joined;
    for (size_t i = 0; i < components.size(); ++i) {
        Check(!components[i].empty());
        joined += components[i];
    }
    Check(WithoutSeparators(joined, isLead) == WithoutSeparators(folder, isLead));
    // No component holds a separator, except the drive's own at the end of the first.
    for (size_t i = 0; i < components.size(); ++i) {
        std::string name = components[i];
        if (i == 0 && name.size() == 3 && name[1] == ':' && name[2] == '\\') {
            name.pop_back();
        }
        Check(WithoutSeparators(name, isLead) == name);
    }

    const Strings prefixes = FolderPrefixes(components);
    Check(prefixes.size() == components.size());
    for (size_t i = 0; i < prefixes.size(); ++i) {
        const Strings again = SplitFolderComponents(prefixes[i], isLead);
        Check(again == Strings(components.begin(), components.begin() + i + 1));
        if (i > 0) {
            Check(prefixes[i].compare(0, prefixes[i - 1].size(), prefixes[i - 1]) == 0);
        }
    }

    const std::string named = InstallFolderWithProductName(folder, components, existing);
    if (existing) {
        Check(named == folder);
    } else if (components.empty()) {
        Check(named.empty());
    } else if (IsCorvina(components.back())) {
        Check(named == folder);
    } else if (Acceptable(folder, ~0u)) {
        // Only a folder that passed the check gets here in the installation: a bare "X:"
        // would gain the drive's own backslash.
        Check(named.compare(0, folder.size(), folder) == 0);
        Strings expected = components;
        expected.push_back("Corvina");
        Check(SplitFolderComponents(named, isLead) == expected);
    }
    return 0;
}
