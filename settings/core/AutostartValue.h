// The resident program's entry in the machine-wide autostart list, and the command line that
// starts it: how the path is quoted and when a stored entry counts as ours.
#pragma once

#include <string>
#include <string_view>

namespace corvina {

// Name of the entry under the machine-wide "Run" key.
extern const char kAutostartValueName[]; // "CorvinaPlus"

// Whether two texts of the system code page are equal apart from letter case, as the system
// compares them (two-byte characters and letters beyond ASCII included).
using TextEqualsIgnoringCase = bool (*)(std::string_view left, std::string_view right);

// The entry's content for the program at programPath: the path in double quotes, always.
std::string BuildAutostartValue(std::string_view programPath);

// A command line that runs path without arguments (BuildStartCommandLine's rule): the path in
// double quotes, or unchanged when it already begins with a double quote.
std::string QuoteCommandPath(std::string_view path);

// Whether the stored entry starts the program at programPath: it must equal
// BuildAutostartValue(programPath) apart from letter case. An entry without the quotes, with
// arguments or blanks added, or naming another file counts as not ours.
bool IsOwnAutostartValue(std::string_view stored, std::string_view programPath,
                         TextEqualsIgnoringCase equals);

} // namespace corvina
