// The resident program's decisions that need no Windows call: the hot-key registration form
// of its options (common/core/ResidentOptionValues.h), the "HookMessage" key check, and the rules
// of the icon menu's owner-drawn entries (size, menu characters, toolbar images).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/core/ResidentOptionValues.h"

namespace corvina {

// Modifier bits of the system's hot-key registration.
constexpr uint32_t kRegisterAlt = 1;
constexpr uint32_t kRegisterCtrl = 2;
constexpr uint32_t kRegisterShift = 4;

// Hot-key-control modifiers to registration flags: Alt 4 -> 1, Ctrl 2 -> 2, Shift 1 -> 4;
// every other bit is dropped.
uint32_t ToRegistrationModifiers(uint8_t modifiers);

// The identifier the hot key is registered under: flags * 256 + key code.
int HotKeyIdentifier(uint32_t registrationModifiers, uint8_t keyCode);

// "HookMessage": the reported key must be the configured one, and each of Alt, Ctrl and
// Shift must be down exactly when its bit is set.
bool IsHookKeyMatch(uintptr_t reportedKey, uint8_t keyCode, uint8_t modifiers, bool altDown,
                    bool ctrlDown, bool shiftDown);

// Size of an icon-menu entry: separators are 0 wide and half the menu-bar height high;
// other entries are the label's extent + 36 wide and max(text height, 16) + 4 high, made
// even by adding 1.
struct DecoratedSize {
    int width;
    int height;
};
constexpr int kDecoratedExtraWidth = 36;
constexpr int kDecoratedMinimumTextHeight = 16;
constexpr int kDecoratedVerticalPadding = 4;
DecoratedSize MeasureDecoratedEntry(bool separator, int textWidth, int textHeight,
                                    int menuBarHeight);

// What a typed menu character does, given the entries' labels in menu order.
enum class MenuCharAction { Default, Execute, Select };
struct MenuCharResult {
    MenuCharAction action;
    int index; // the entry to execute or select; -1 with Default
};
// Entries match when their label holds '&' followed by the typed character, compared in
// upper case ("&&" is a literal ampersand, not a mnemonic). One match executes it; several
// select the next match after the highlighted entry (-1: none), wrapping to the first; none
// leaves the character to the system.
MenuCharResult ResolveMenuChar(const std::vector<std::string>& labels, char typed, int highlighted);

// The label as drawn: "&x" shows x (the mnemonic), "&&" shows one ampersand.
std::string StripMenuMnemonics(std::string_view label);

// A toolbar resource (type 241): 16-bit version 1, image width, height, count, then the
// commands in order, 0 standing for a separator that takes no image. Returns the command
// behind each image; empty when the data is short or of another version.
std::vector<uint16_t> ParseToolbarCommands(const uint8_t* data, size_t size);
// The image of command in that list, or -1.
int ToolbarImageIndex(const std::vector<uint16_t>& imageCommands, uint32_t command);

} // namespace corvina
