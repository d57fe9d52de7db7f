#include "foldermenu/core/TipLayout.h"

#include <algorithm>

#include "common/core/WideText.h"

namespace corvina {

int TipCharacterWidth(char32_t character) {
    return character < 0x100 ? 1 : 2;
}

std::u16string WrapTipText(std::u16string_view text, int wrapWidth) {
    if (wrapWidth < 1) {
        return std::u16string(text);
    }
    std::u16string out;
    out.reserve(text.size() + text.size() / 8 + 1);
    int lineWidth = 0;
    bool breakPending = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit == u'\n' || unit == u'\r') {
            // The text breaks here anyway; a pending break would only add an empty line.
            out.push_back(unit);
            breakPending = false;
            if (unit == u'\n') {
                lineWidth = 0;
            }
            continue;
        }
        size_t units = 1;
        char32_t character = unit;
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            units = 2;
            character = 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
        }
        const int width = TipCharacterWidth(character);
        if (breakPending || (lineWidth > 0 && lineWidth + width > wrapWidth)) {
            out.push_back(u'\n');
            lineWidth = 0;
            breakPending = false;
        }
        out.append(text.substr(i, units));
        i += units - 1;
        lineWidth += width;
        if (lineWidth >= wrapWidth) {
            breakPending = true;
        }
    }
    return out;
}

TipSize PlainTipSize(TipSize body, int marginX, int marginY) {
    return {body.width + 2 * marginX + 2 * kTipFrameWidth,
            body.height + 2 * marginY + 2 * kTipFrameWidth};
}

TipSize TitledTipSize(TipSize title, TipSize body, bool hasBody, int marginX, int marginY) {
    if (!hasBody) {
        return {title.width + kTipTitleIndent + 2 * marginX + 2 * kTipFrameWidth,
                title.height + 2 * marginY + 2 * kTipFrameWidth};
    }
    return {std::max(body.width, title.width + kTipTitleIndent) + 2 * marginX + 2 * kTipFrameWidth,
            title.height + body.height + 2 * marginY + 2 * kTipFrameWidth + kTipBodyGap};
}

TipPoint PlaceTip(TipPoint mouse, TipSize window, TipRect screen) {
    TipPoint at{mouse.x + kTipMouseOffset, mouse.y + kTipMouseOffset};
    if (at.x + window.width > screen.right) {
        at.x = std::max(screen.left, mouse.x - window.width - kTipMouseOffset);
    }
    if (at.y + window.height > screen.bottom) {
        at.y = std::max(screen.top, mouse.y - window.height - kTipMouseOffset);
    }
    return at;
}

TipRect TipContentRect(TipRect client, int marginX, int marginY) {
    return {client.left + kTipFrameWidth + marginX, client.top + kTipFrameWidth + marginY,
            client.right - kTipFrameWidth - marginX, client.bottom - kTipFrameWidth - marginY};
}

TipPoint TipIconOrigin(TipRect content, int titleHeight) {
    return {content.left, content.top + (titleHeight - kTipIconSize) / 2};
}

TipRect TipTitleRect(TipRect content, int titleHeight) {
    return {content.left + kTipTitleIndent, content.top, content.right, content.top + titleHeight};
}

TipRect TipBodyRect(TipRect content, int titleHeight) {
    return {content.left, content.top + titleHeight + kTipBodyGap, content.right, content.bottom};
}

} // namespace corvina
