// Rules of the hyperlink text that need no Windows call: the command line of the fallback
// that opens a target through the ".htm" handler, and how the text's rectangle shrinks to fit
// its text.
#pragma once

#include <string>
#include <string_view>

namespace corvina {

// The ".htm" open command cut at its first "\"%1\"" (or, without one, at its first "%1"),
// followed by a space and the target. A command without any "%1" is kept whole.
std::string BuildHyperlinkCommand(std::string_view openCommand, std::string_view target);

enum class LinkAlignment { Left, Center, Right };

struct LinkRect {
    int left;
    int top;
    int right;
    int bottom;
};

// The control's rectangle resized to the text: the left edge stays for left alignment, the
// right edge for right alignment, the horizontal centre for centred text; the top stays.
LinkRect FitLinkRect(const LinkRect& control, int textWidth, int textHeight,
                     LinkAlignment alignment);

} // namespace corvina
