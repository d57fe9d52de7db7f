#include "common/core/WideText.h"

namespace corvina {

namespace {

std::u16string_view UpToZero(std::u16string_view text) {
    const size_t end = text.find(u'\0');
    return end == std::u16string_view::npos ? text : text.substr(0, end);
}

} // namespace

size_t WidePrefixLength(std::u16string_view text, size_t maxUnits) {
    text = UpToZero(text);
    if (text.size() <= maxUnits) {
        return text.size();
    }
    size_t length = maxUnits;
    if (length > 0 && IsHighSurrogate(text[length - 1]) && IsLowSurrogate(text[length])) {
        --length;
    }
    return length;
}

std::u16string_view FirstWideCharacter(std::u16string_view text) {
    text = UpToZero(text);
    if (text.empty()) {
        return text;
    }
    const bool pair = text.size() >= 2 && IsHighSurrogate(text[0]) && IsLowSurrogate(text[1]);
    return text.substr(0, pair ? 2 : 1);
}

WideLabelParts SplitWideMenuLabel(std::u16string_view label) {
    label = UpToZero(label);
    const size_t tab = label.find(u'\t');
    if (tab == std::u16string_view::npos) {
        return {label, std::u16string_view(), false};
    }
    return {label.substr(0, tab), label.substr(tab + 1), true};
}

} // namespace corvina
