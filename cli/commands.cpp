#include "commands.h"

#include <optional>
#include <stdexcept>
#include <string_view>

#include "differences.h"
#include "edits.h"
#include "family.h"
#include "file_io.h"
#include "folders.h"
#include "listing.h"

namespace cli {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view program = "brindlemark-cli";

constexpr std::string_view generalUsage =
    "Usage: brindlemark-cli <command> [options]\n"
    "\n"
    "The great sword's (大剑) damage values in its collision files wp00.col and\n"
    "wp00_01.col, from the command line.\n"
    "\n"
    "Commands:\n"
    "  list [--format table|csv|json] [--from DIR]   print the 60 editable actions\n"
    "  apply EDITS.csv [--out DIR]                   write edited files from a CSV\n"
    "  diff [DIR]                                    compare files with the templates\n"
    "\n"
    "'brindlemark-cli <command> --help' describes a command.\n";

constexpr std::string_view listUsage =
    "Usage: brindlemark-cli list [--format table|csv|json] [--from DIR]\n"
    "\n"
    "Prints the great sword's editable actions, one per line, with the editor's\n"
    "columns: 动作序号, 招式名称, 伤害类型, the seven values, 文件序号, 实际动作序号.\n"
    "\n"
    "  --format table  aligned columns for a terminal (the default)\n"
    "  --format csv    CSV in UTF-8 with a byte-order mark, for spreadsheets and apply\n"
    "  --format json   an array of objects keyed by field name\n"
    "  --from DIR      read DIR/wp00.col and DIR/wp00_01.col (never changed)\n"
    "                  instead of the templates\n"
    "\n"
    "The templates are the built-in ones, or res/wp00.col and res/wp00_01.col\n"
    "beside the program when they are there, as in the editor.\n";

constexpr std::string_view applyUsage =
    "Usage: brindlemark-cli apply EDITS.csv [--out DIR]\n"
    "\n"
    "Writes the templates with the edits of EDITS.csv into the output tree\n"
    "DIR/out/nativePC/hm/wp/wp00/collision/ (default DIR: the program's folder).\n"
    "\n"
    "EDITS.csv is in the form of 'list --format csv': a caption line, then any of\n"
    "the actions. Any column but 动作序号 may be left out; actions and columns\n"
    "left out keep the templates' values, and 招式名称 is not read. With 文件序号\n"
    "and 实际动作序号 a line names the action in that file and slot, and its\n"
    "动作序号 must be the same number (5 for 05, 10 for 010); without them,\n"
    "动作序号 must be the action's exactly.\n"
    "\n"
    "The list as a spreadsheet program saves it again is read as the list:\n"
    "  - UTF-8 with or without a byte-order mark; UTF-16 with its mark (\"Unicode\n"
    "    text\"); the Chinese Windows code page 936 (GBK) when it is not UTF-8\n"
    "  - commas, semicolons or tabs between fields, as in the caption line; with\n"
    "    semicolons or tabs a value may have a decimal comma (1,5 for 1.5)\n"
    "  - LF or CRLF line ends, fields quoted or not, columns in any order, empty\n"
    "    rows, and empty columns without a caption\n"
    "  - values such as 130.0 and 1.10, the same as 130 and 1.1\n"
    "Every cell is then checked as the editor checks it: 1.005, 1.500 and \"5 \"\n"
    "(with a blank) are refused. If any is refused, each refused cell is reported\n"
    "(line, column, reason), nothing is written and the exit code is 1. A file\n"
    "over 4 MiB is refused unread. Both files are replaced whole or not at all;\n"
    "the editor's working copies are not touched.\n"
    "\n"
    "  --out DIR   the folder to put the out/ tree in\n";

constexpr std::string_view diffUsage =
    "Usage: brindlemark-cli diff [DIR]\n"
    "\n"
    "Compares DIR/wp00.col and DIR/wp00_01.col with the templates (default DIR:\n"
    "the output tree out/nativePC/hm/wp/wp00/collision/ beside the program).\n"
    "Prints one line per changed field (action number, name, column, old and new\n"
    "value), any changed byte outside the editable fields by offset, then a count.\n"
    "\n"
    "Exit code: 0 no difference, 1 differences, 2 error.\n";

class UsageError : public std::runtime_error {
public:
    UsageError(std::string_view command, const std::string& message)
        : std::runtime_error(message), command_(command) {}
    const std::string& command() const { return command_; }

private:
    std::string command_;
};

// The options and operands of one command.
struct Arguments {
    bool help = false;
    std::vector<std::pair<std::string, std::string>> options;  // name, value
    std::vector<std::string> operands;

    std::optional<std::string> option(std::string_view name) const {
        std::optional<std::string> value;
        for (const auto& [key, text] : options) {
            if (key == name) value = text;
        }
        return value;
    }
};

// Options take a value, as "--name VALUE" or "--name=VALUE"; "--" ends them.
Arguments parseArguments(std::string_view command, const std::vector<std::string>& args,
                         const std::vector<std::string_view>& valueOptions, std::size_t maxOperands) {
    Arguments parsed;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            parsed.operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            parsed.help = true;
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        bool known = false;
        for (std::string_view option : valueOptions) known |= name == option;
        if (!known) throw UsageError(command, "unknown option " + name);
        for (const auto& [seen, value] : parsed.options) {
            if (seen == name) throw UsageError(command, "option " + name + " given twice");
        }
        if (equals != std::string::npos) {
            parsed.options.emplace_back(name, arg.substr(equals + 1));
        } else if (i + 1 < args.size()) {
            parsed.options.emplace_back(name, args[++i]);
        } else {
            throw UsageError(command, "option " + name + " needs a value");
        }
        if (parsed.options.back().second.empty()) throw UsageError(command, "option " + name + " needs a value");
    }
    if (!parsed.help && parsed.operands.size() > maxOperands) {
        throw UsageError(command, "unexpected argument " + parsed.operands[maxOperands]);
    }
    return parsed;
}

fs::path pathArgument(const std::string& text) { return fs::u8path(text); }

int list(const std::vector<std::string>& args, const fs::path& programFolder, Output& output) {
    const Arguments parsed = parseArguments("list", args, {"--format", "--from"}, 0);
    if (parsed.help) {
        output.out += listUsage;
        return exitOk;
    }
    ListFormat format = ListFormat::table;
    if (const auto name = parsed.option("--format")) {
        const auto found = listFormatByName(*name);
        if (!found) throw UsageError("list", "unknown format " + *name + " (table, csv or json)");
        format = *found;
    }
    const auto from = parsed.option("--from");
    const FamilyFiles files = from ? folderFiles(pathArgument(*from)) : templateFiles(programFolders(programFolder));
    output.out += listing(actionRows(files), format);
    return exitOk;
}

int apply(const std::vector<std::string>& args, const fs::path& programFolder, Output& output) {
    const Arguments parsed = parseArguments("apply", args, {"--out"}, 1);
    if (parsed.help) {
        output.out += applyUsage;
        return exitOk;
    }
    if (parsed.operands.empty()) throw UsageError("apply", "the CSV file of the edits is missing");
    const std::string& source = parsed.operands[0];
    // One byte more than an edits file may hold tells a larger one, without reading it whole.
    const Bytes csv = helper::readFileStart(pathArgument(source), maxCsvBytes + 1);
    const FamilyFiles templates = templateFiles(programFolders(programFolder));
    const EditOutcome outcome =
        applyEdits(std::string_view(reinterpret_cast<const char*>(csv.data()), csv.size()), templates);

    if (outcome.refusalCount > 0) {
        for (const Refusal& refusal : outcome.refusals) output.err += refusalText(source, refusal) + "\n";
        const std::size_t count = outcome.refusalCount;
        output.err += std::string(program) + " apply: " + std::to_string(count) +
                      (count == 1 ? " refusal" : " refusals");
        if (count > outcome.refusals.size()) output.err += " (the first " + std::to_string(outcome.refusals.size()) + " listed)";
        output.err += "; nothing was written\n";
        return exitRefused;
    }

    const auto out = parsed.option("--out");
    const helper::Folders target = programFolders(out ? pathArgument(*out) : programFolder);
    std::vector<helper::NewContent> files;
    for (int fileIndex = 0; fileIndex < fileCount; ++fileIndex) {
        const Bytes& bytes = outcome.files.bytes[static_cast<std::size_t>(fileIndex)];
        files.push_back({helper::outputFile(target, weaponType, fileIndex), bytes.data(), bytes.size()});
    }
    helper::replaceFiles(files);

    output.out += "wrote " + std::to_string(outcome.editedActions) +
                  (outcome.editedActions == 1 ? " listed action" : " listed actions") + " into " +
                  helper::pathText(helper::outputFile(target, weaponType, 0)) + " and " +
                  helper::pathText(helper::outputFile(target, weaponType, 1)) + "\n";
    return exitOk;
}

int diff(const std::vector<std::string>& args, const fs::path& programFolder, Output& output) {
    const Arguments parsed = parseArguments("diff", args, {}, 1);
    if (parsed.help) {
        output.out += diffUsage;
        return exitOk;
    }
    const helper::Folders folders = programFolders(programFolder);
    const fs::path folder =
        parsed.operands.empty() ? helper::outputFolder(folders, weaponType) : pathArgument(parsed.operands[0]);
    const FamilyFiles files = folderFiles(folder);
    const Differences differences = compareFamily(templateFiles(folders), files);
    output.out += differencesText(differences);
    return differences.empty() ? exitOk : exitRefused;
}

int runCommand(const std::vector<std::string>& args, const fs::path& programFolder, Output& output) {
    if (args.empty()) {
        output.err += generalUsage;
        return exitError;
    }
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
        output.out += generalUsage;
        return exitOk;
    }
    if (command == "list") return list(args, programFolder, output);
    if (command == "apply") return apply(args, programFolder, output);
    if (command == "diff") return diff(args, programFolder, output);
    throw UsageError("", (command[0] == '-' ? "unknown option " : "unknown command ") + command);
}

}  // namespace

int runCli(const std::vector<std::string>& args, const fs::path& programFolder, Output& output) {
    const std::string command = args.empty() ? "" : args[0];
    try {
        return runCommand(args, programFolder, output);
    } catch (const UsageError& error) {
        const std::string name = error.command().empty() ? std::string(program)
                                                         : std::string(program) + " " + error.command();
        output.err += name + ": " + error.what() + "\n";
        output.err += "Try '" + name + " --help'.\n";
        return exitError;
    } catch (const helper::FileError& error) {
        output.err += std::string(program) + " " + command + ": " + error.what() + "\n";
        return exitError;
    } catch (const std::exception& error) {
        output.err += std::string(program) + " " + command + ": " + error.what() + "\n";
        return exitError;
    }
}

}  // namespace cli
