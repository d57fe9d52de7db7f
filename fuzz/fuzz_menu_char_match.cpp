// Arbitrary labels, typed bytes and highlighted positions: the choice is always an entry that
// can be chosen, or none, and its label starts with (or has as its mnemonic) the typed
// character once both are upper-cased.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/core/MenuCharMatch.h"

using namespace corvina;

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) {
        return 0;
    }
    const MenuKeyText text = {IsCp932LeadByte, static_cast<MenuKeyCodePage>(data[0] % 3)};
    const int current = static_cast<int8_t>(data[1]);
    const std::string typed(reinterpret_cast<const char*>(data + 2), 1 + data[3] % 2);
    // The rest: labels split at 0x01; a leading 0x02 makes an entry of prefixed label.
    std::vector<std::string> labels(1);
    for (size_t i = 4; i < size; ++i) {
        if (data[i] == 0x01) {
            labels.emplace_back();
        } else {
            labels.back().push_back(static_cast<char>(data[i]));
        }
    }
    std::vector<MenuKeyEntry> entries;
    for (const std::string& label : labels) {
        MenuKeyEntry entry;
        entry.ampersandPrefix = !label.empty() && label[0] == '\x02';
        entry.label = label;
        entry.choosable = !label.empty() && label[0] != '\x03';
        entries.push_back(entry);
    }
    const MenuKeyChoice choice = ChooseMenuEntryByKey(entries, typed, current, text);
    if (choice.action == MenuKeyAction::Ignore) {
        Check(choice.index == -1);
        return 0;
    }
    Check(choice.index >= 0 && static_cast<size_t>(choice.index) < entries.size());
    const MenuKeyEntry& entry = entries[static_cast<size_t>(choice.index)];
    Check(entry.choosable);
    const std::string wanted =
        FoldMenuCharacter(FirstMenuCharacter(typed, text.isLead), text.codePage);
    std::string_view shown = entry.label;
    if (entry.ampersandPrefix && !shown.empty() && shown[0] == '&') {
        shown.remove_prefix(1);
    }
    const bool first =
        FoldMenuCharacter(FirstMenuCharacter(shown, text.isLead), text.codePage) == wanted;
    const bool mnemonic =
        entry.ampersandPrefix &&
        FoldMenuCharacter(AmpersandMnemonic(entry.label, text.isLead), text.codePage) == wanted;
    Check(first || mnemonic);
    return 0;
}
