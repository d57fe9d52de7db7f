// Path and text rules of registering an in-process server by loading it.
#pragma once

#include "common/core/AnsiText.h"

#include <string>
#include <string_view>

namespace corvina {

// The folder that is made current while a server DLL is loaded: the path up to, not
// including, its last backslash (a 0x5C trail byte of a two-byte character is not one).
// A bare drive ("X:") gets its backslash back ("X:\"), and a file directly under the root
// of the current drive ("\x.dll") gives "\". A path without any backslash gives "": there
// is no folder to change to.
std::string ServerFolderFromPath(std::string_view path, LeadBytePredicate isLead);

// The message pattern with its first "%s" replaced by path, taken as plain data: any '%' in
// the path, and any further '%' in the pattern, stay as they are. A '%' byte is never the
// trail byte of a two-byte character in the code pages we use, so the search is safe on
// Shift-JIS text. A pattern without "%s" is returned unchanged.
std::string FillPathPlaceholder(std::string_view pattern, std::string_view path);

} // namespace corvina
