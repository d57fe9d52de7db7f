#include "common/core/MenuCharMatch.h"

namespace corvina {

namespace {

unsigned char Byte(std::string_view text, size_t index) {
    return static_cast<unsigned char>(text[index]);
}

std::string FoldDoubleByte(unsigned char lead, unsigned char trail) {
    int folded = trail;
    if (lead == 0x82 && trail >= 0x81 && trail <= 0x9A) {
        folded = trail - 0x21; // full-width a-z to A-Z
    } else if (lead == 0x83 && trail >= 0xBF && trail <= 0xD6) {
        folded = trail - 0x20; // Greek
    } else if (lead == 0x84 && trail >= 0x70 && trail <= 0x91 && trail != 0x7F) {
        // Cyrillic: the lower-case row skips 0x7F, which the upper-case row does not.
        folded = trail - (trail < 0x7F ? 0x30 : 0x31);
    }
    return std::string{static_cast<char>(lead), static_cast<char>(folded)};
}

std::string_view KeyOf(const MenuKeyEntry& entry, bool mnemonic, LeadBytePredicate isLead) {
    if (mnemonic) {
        return entry.ampersandPrefix ? AmpersandMnemonic(entry.label, isLead) : std::string_view();
    }
    std::string_view label = entry.label;
    if (entry.ampersandPrefix) {
        // "&x" shows x, "&&" shows "&": the character the user sees comes first.
        if (!label.empty() && label[0] == '&') {
            label.remove_prefix(1);
        }
    }
    return FirstMenuCharacter(label, isLead);
}

} // namespace

std::string_view FirstMenuCharacter(std::string_view text, LeadBytePredicate isLead) {
    const size_t end = text.find('\0');
    if (end != std::string_view::npos) {
        text = text.substr(0, end);
    }
    if (text.empty()) {
        return text;
    }
    const bool pair = isLead(Byte(text, 0)) && text.size() >= 2;
    return text.substr(0, pair ? 2 : 1);
}

std::string FoldMenuCharacter(std::string_view character, MenuKeyCodePage codePage) {
    std::string folded(character);
    if (folded.size() == 1) {
        const unsigned char c = Byte(folded, 0);
        if (c >= 'a' && c <= 'z') {
            folded[0] = static_cast<char>(c - 0x20);
        } else if (codePage == MenuKeyCodePage::Western) {
            if (c >= 0xE0 && c <= 0xFE && c != 0xF7) {
                folded[0] = static_cast<char>(c - 0x20);
            } else if (c == 0xFF) {
                folded[0] = static_cast<char>(0x9F); // y with diaeresis
            } else if (c == 0x9A || c == 0x9C || c == 0x9E) {
                folded[0] = static_cast<char>(c - 0x10); // s, oe and z with caron
            }
        }
    } else if (folded.size() == 2 && codePage == MenuKeyCodePage::ShiftJis) {
        folded = FoldDoubleByte(Byte(folded, 0), Byte(folded, 1));
    }
    return folded;
}

std::string_view AmpersandMnemonic(std::string_view label, LeadBytePredicate isLead) {
    size_t i = 0;
    while (i < label.size() && label[i] != '\0') {
        if (label[i] == '&') {
            if (i + 1 < label.size() && label[i + 1] == '&') {
                i += 2;
                continue;
            }
            return FirstMenuCharacter(label.substr(i + 1), isLead);
        }
        i += isLead(Byte(label, i)) && i + 1 < label.size() ? 2 : 1;
    }
    return std::string_view();
}

namespace {

// The rule itself, for either kind of text: keyOf(entry, mnemonic) gives the character an
// entry answers to, fold its upper-case form.
template <typename Entry, typename Text, typename KeyOf, typename Fold>
MenuKeyChoice ChooseEntry(const std::vector<Entry>& entries, const Text& wanted, int current,
                          KeyOf keyOf, Fold fold) {
    if (wanted.empty()) {
        return {MenuKeyAction::Ignore, -1};
    }
    // Mnemonics first: only when no entry has the character as its mnemonic do the first
    // characters count.
    for (bool mnemonic : {true, false}) {
        int count = 0;
        int first = -1;
        int next = -1;
        for (size_t i = 0; i < entries.size(); ++i) {
            const Entry& entry = entries[i];
            if (!entry.choosable) {
                continue;
            }
            const auto key = keyOf(entry, mnemonic);
            if (key.empty() || fold(key) != wanted) {
                continue;
            }
            const int position = static_cast<int>(i);
            ++count;
            if (first < 0) {
                first = position;
            }
            if (next < 0 && position > current) {
                next = position;
            }
        }
        if (count == 1) {
            return {MenuKeyAction::Execute, first};
        }
        if (count > 1) {
            return {MenuKeyAction::Select, next >= 0 ? next : first};
        }
    }
    return {MenuKeyAction::Ignore, -1};
}

} // namespace

MenuKeyChoice ChooseMenuEntryByKey(const std::vector<MenuKeyEntry>& entries, std::string_view typed,
                                   int current, const MenuKeyText& text) {
    const std::string wanted =
        FoldMenuCharacter(FirstMenuCharacter(typed, text.isLead), text.codePage);
    return ChooseEntry(
        entries, wanted, current,
        [&text](const MenuKeyEntry& entry, bool mnemonic) {
            return KeyOf(entry, mnemonic, text.isLead);
        },
        [&text](std::string_view key) { return FoldMenuCharacter(key, text.codePage); });
}

std::u16string_view WideAmpersandMnemonic(std::u16string_view label) {
    size_t i = 0;
    while (i < label.size() && label[i] != u'\0') {
        if (label[i] == u'&') {
            if (i + 1 < label.size() && label[i + 1] == u'&') {
                i += 2;
                continue;
            }
            return FirstWideCharacter(label.substr(i + 1));
        }
        i += FirstWideCharacter(label.substr(i)).size();
    }
    return std::u16string_view();
}

MenuKeyChoice ChooseWideMenuEntryByKey(const std::vector<WideMenuKeyEntry>& entries,
                                       std::u16string_view typed, int current,
                                       WideCharacterFold fold) {
    const std::u16string wanted = fold(FirstWideCharacter(typed));
    return ChooseEntry(
        entries, wanted, current,
        [](const WideMenuKeyEntry& entry, bool mnemonic) {
            if (mnemonic) {
                return entry.ampersandPrefix ? WideAmpersandMnemonic(entry.label)
                                             : std::u16string_view();
            }
            std::u16string_view label = entry.label;
            if (entry.ampersandPrefix && !label.empty() && label[0] == u'&') {
                label.remove_prefix(1);
            }
            return FirstWideCharacter(label);
        },
        fold);
}

} // namespace corvina
