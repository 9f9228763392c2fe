// The body of a tool that builds a binary file from its description:
//
//   TOOL DESCRIPTION OUTPUT
//
// Returns the exit code: 0, 1 when the description cannot be read or the
// output cannot be written (the reason on stderr), 2 on wrong arguments.
#pragma once

#include <cstdint>
#include <istream>
#include <vector>

using BuildFromDescription = std::vector<std::uint8_t> (*)(std::istream& description);

int generateFile(int argc, char** argv, const char* tool, BuildFromDescription build);
