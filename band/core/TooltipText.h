// The text of a band button's tooltip: the item's name, and its info tip on a second line,
// in UTF-16, cut to the shared buffer without splitting a character.
#pragma once

#include <cstddef>
#include <string>

namespace corvina {

// UTF-16 units of the tooltip buffer, terminator included.
constexpr size_t kTooltipBufferUnits = 1024;

// name + "\n" + infoTip, or name alone when infoTip is empty, cut to at most
// bufferUnits - 1 units; a cut never leaves half of a surrogate pair at the end.
std::u16string BuildTooltipText(const std::u16string& name, const std::u16string& infoTip,
                                size_t bufferUnits = kTooltipBufferUnits);

} // namespace corvina
