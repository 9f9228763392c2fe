// The system's own (localised) text for a Win32 error code.
#pragma once

#include <string>

namespace helper {

// UTF-8, without the trailing line break and spaces; empty when the system
// has no text for `error`.
std::string systemMessage(unsigned long error);

}  // namespace helper
