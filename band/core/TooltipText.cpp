#include "band/core/TooltipText.h"

namespace corvina {

std::u16string BuildTooltipText(const std::u16string& name, const std::u16string& infoTip,
                                size_t bufferUnits) {
    std::u16string text = name;
    if (!infoTip.empty()) {
        text += u'\n';
        text += infoTip;
    }
    const size_t limit = bufferUnits == 0 ? 0 : bufferUnits - 1;
    if (text.size() > limit) {
        text.resize(limit);
        // A lone high surrogate at the end would be half a character.
        if (!text.empty() && text.back() >= 0xD800 && text.back() <= 0xDBFF) {
            text.pop_back();
        }
    }
    return text;
}

} // namespace corvina
