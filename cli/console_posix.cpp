// A terminal takes UTF-8 as it is: the bytes go out unchanged.
#include <cstdio>

#include "console.h"

namespace cli {

namespace {

bool writeTo(std::FILE* stream, std::string_view text) {
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), stream) != text.size()) return false;
    return std::fflush(stream) == 0;
}

}  // namespace

bool writeStandardOutput(std::string_view text) { return writeTo(stdout, text); }
bool writeStandardError(std::string_view text) { return writeTo(stderr, text); }

}  // namespace cli
