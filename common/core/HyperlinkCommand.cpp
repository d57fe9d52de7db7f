#include "HyperlinkCommand.h"

namespace corvina {

std::string BuildHyperlinkCommand(std::string_view openCommand, std::string_view target) {
    size_t cut = openCommand.find("\"%1\"");
    if (cut == std::string_view::npos) {
        cut = openCommand.find("%1");
    }
    std::string command(openCommand.substr(0, cut));
    command += ' ';
    command += target;
    return command;
}

LinkRect FitLinkRect(const LinkRect& control, int textWidth, int textHeight,
                     LinkAlignment alignment) {
    LinkRect fitted = control;
    fitted.bottom = control.top + textHeight;
    switch (alignment) {
    case LinkAlignment::Left:
        fitted.right = control.left + textWidth;
        break;
    case LinkAlignment::Right:
        fitted.left = control.right - textWidth;
        break;
    case LinkAlignment::Center: {
        const int middle = control.left + (control.right - control.left) / 2;
        fitted.left = middle - textWidth / 2;
        fitted.right = fitted.left + textWidth;
        break;
    }
    }
    return fitted;
}

} // namespace corvina
