#include "ResidentOptions.h"

namespace corvina {

namespace {

char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// The mnemonic character of a label, or 0. The first single '&' counts, as for the system.
char MnemonicOf(const std::string& label) {
    for (size_t i = 0; i + 1 < label.size(); ++i) {
        if (label[i] != '&') {
            continue;
        }
        if (label[i + 1] == '&') {
            ++i;
            continue;
        }
        return UpperAscii(label[i + 1]);
    }
    return 0;
}

} // namespace

uint32_t ToRegistrationModifiers(uint8_t modifiers) {
    uint32_t flags = 0;
    if (modifiers & kHotKeyControlAlt) {
        flags |= kRegisterAlt;
    }
    if (modifiers & kHotKeyControlCtrl) {
        flags |= kRegisterCtrl;
    }
    if (modifiers & kHotKeyControlShift) {
        flags |= kRegisterShift;
    }
    return flags;
}

int HotKeyIdentifier(uint32_t registrationModifiers, uint8_t keyCode) {
    return static_cast<int>(registrationModifiers * 256 + keyCode);
}

bool IsHookKeyMatch(uintptr_t reportedKey, uint8_t keyCode, uint8_t modifiers, bool altDown,
                    bool ctrlDown, bool shiftDown) {
    if (reportedKey != keyCode) {
        return false;
    }
    return altDown == ((modifiers & kHotKeyControlAlt) != 0) &&
           ctrlDown == ((modifiers & kHotKeyControlCtrl) != 0) &&
           shiftDown == ((modifiers & kHotKeyControlShift) != 0);
}

DecoratedSize MeasureDecoratedEntry(bool separator, int textWidth, int textHeight,
                                    int menuBarHeight) {
    if (separator) {
        return {0, menuBarHeight / 2};
    }
    int height =
        (textHeight > kDecoratedMinimumTextHeight ? textHeight : kDecoratedMinimumTextHeight) +
        kDecoratedVerticalPadding;
    if (height % 2 != 0) {
        ++height;
    }
    return {textWidth + kDecoratedExtraWidth, height};
}

MenuCharResult ResolveMenuChar(const std::vector<std::string>& labels, char typed,
                               int highlighted) {
    const char wanted = UpperAscii(typed);
    std::vector<int> matches;
    if (wanted != 0) {
        for (size_t i = 0; i < labels.size(); ++i) {
            if (MnemonicOf(labels[i]) == wanted) {
                matches.push_back(static_cast<int>(i));
            }
        }
    }
    if (matches.empty()) {
        return {MenuCharAction::Default, -1};
    }
    if (matches.size() == 1) {
        return {MenuCharAction::Execute, matches.front()};
    }
    for (int index : matches) {
        if (index > highlighted) {
            return {MenuCharAction::Select, index};
        }
    }
    return {MenuCharAction::Select, matches.front()};
}

std::string StripMenuMnemonics(std::string_view label) {
    std::string shown;
    shown.reserve(label.size());
    for (size_t i = 0; i < label.size(); ++i) {
        if (label[i] == '&' && i + 1 < label.size()) {
            ++i;
        } else if (label[i] == '&') {
            continue;
        }
        shown.push_back(label[i]);
    }
    return shown;
}

std::vector<uint16_t> ParseToolbarCommands(const uint8_t* data, size_t size) {
    auto word = [data](size_t index) {
        return static_cast<uint16_t>(data[index * 2] | (data[index * 2 + 1] << 8));
    };
    std::vector<uint16_t> commands;
    if (!data || size < 8 || word(0) != 1) {
        return commands;
    }
    const size_t count = word(3);
    if (size / 2 < 4 + count) {
        return commands;
    }
    for (size_t i = 0; i < count; ++i) {
        const uint16_t command = word(4 + i);
        if (command != 0) {
            commands.push_back(command);
        }
    }
    return commands;
}

int ToolbarImageIndex(const std::vector<uint16_t>& imageCommands, uint32_t command) {
    for (size_t i = 0; i < imageCommands.size(); ++i) {
        if (imageCommands[i] == command) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

} // namespace corvina
