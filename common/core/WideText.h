// Labels in UTF-16, as the NT family's controls and shell interfaces give and take them.
// A supplementary character (an emoji, for one) is a pair of units that is never split.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace corvina {

// The two halves of a surrogate pair.
constexpr bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
constexpr bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Length in units of the longest prefix of text, up to its first zero unit, that is at most
// maxUnits long and does not end between the two halves of a surrogate pair.
size_t WidePrefixLength(std::u16string_view text, size_t maxUnits);

// The first character of text (up to its first zero unit): both halves of a surrogate pair,
// else one unit; empty for an empty text.
std::u16string_view FirstWideCharacter(std::u16string_view text);

// The label's two parts around its first tab (the part after it is right-aligned).
struct WideLabelParts {
    std::u16string_view left;
    std::u16string_view right;
    bool hasTab;
};
WideLabelParts SplitWideMenuLabel(std::u16string_view label);

} // namespace corvina
