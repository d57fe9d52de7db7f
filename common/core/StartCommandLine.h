// The command line every program of the suite starts another program with.
#pragma once

#include <string>
#include <string_view>

namespace corvina {

// The path in double quotes (as it is when it already begins with one), so that blanks in it
// do not split it; then, when arguments are not empty, one blank and the arguments unchanged.
std::string BuildStartCommandLine(std::string_view programPath, std::string_view arguments);

} // namespace corvina
