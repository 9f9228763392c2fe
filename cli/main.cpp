// brindlemark-cli: list, apply and diff of a family's actions, and inspect of a
// collision file. The commands live in the cli library; this only brings the
// command line in as UTF-8 and the collected text out.
#include <exception>
#include <string>
#include <vector>

#include "commands.h"
#include "console.h"
#include "file_io.h"
#include "folders.h"

#ifdef _WIN32
#include "text.h"
#endif

namespace {

int run(const std::vector<std::string>& args) {
    cli::Output output;
    int code;
    try {
        code = cli::runCli(args, helper::programFolder(), output);
    } catch (const std::exception& error) {  // the program's folder cannot be found
        output.err += std::string("brindlemark-cli: ") + error.what() + "\n";
        code = cli::exitError;
    }
    const bool written = cli::writeStandardOutput(output.out);
    cli::writeStandardError(output.err);
    if (!written) {
        cli::writeStandardError("brindlemark-cli: cannot write to standard output\n");
        return cli::exitError;
    }
    return code;
}

}  // namespace

#ifdef _WIN32
// Arguments arrive as UTF-16 (linked with -municode), whatever the code page.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(narrow(argv[i]));
    return run(args);
}
#else
int main(int argc, char** argv) { return run(std::vector<std::string>(argv + 1, argv + argc)); }
#endif
