// Writing the program's UTF-8 text to standard output and standard error, so
// that it reads right both on a console and in a redirected file or pipe.
#pragma once

#include <string_view>

namespace cli {

// False when the text could not be written whole.
bool writeStandardOutput(std::string_view text);
bool writeStandardError(std::string_view text);

}  // namespace cli
