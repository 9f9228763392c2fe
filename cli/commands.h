// The commands of brindlemark-cli, on arguments already in UTF-8. What they
// print is collected, not written: main() hands it to the console.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace cli {

struct Output {
    std::string out;  // standard output
    std::string err;  // standard error
};

// Exit codes.
inline constexpr int exitOk = 0;
inline constexpr int exitRefused = 1;   // apply: a cell was refused; diff: the files differ
inline constexpr int exitError = 2;     // usage, file and other errors

// Runs one command line (without the program name). `programFolder` is the
// executable's folder: the templates' res folder and the default output tree
// are there.
int runCli(const std::vector<std::string>& args, const std::filesystem::path& programFolder, Output& output);

}  // namespace cli
