#include "commands.h"

#include <optional>
#include <stdexcept>
#include <string_view>

#include "differences.h"
#include "edits.h"
#include "family.h"
#include "file_io.h"
#include "folders.h"
#include "inspection.h"
#include "listing.h"

namespace cli {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view program = "brindlemark-cli";

constexpr std::string_view generalUsage =
    "Usage: brindlemark-cli <command> [options]\n"
    "\n"
    "The damage values of a weapon family's actions in its collision files\n"
    "wpNN.col and wpNN_01.col, from the command line. The great sword's (大剑, 00)\n"
    "are built in; any family's are read from res/ beside the program.\n"
    "\n"
    "Commands:\n"
    "  list [--family NN] [--format table|csv|json] [--from DIR]\n"
    "                                  print the editable actions\n"
    "  apply EDITS.csv [--family NN] [--out DIR]\n"
    "                                  write edited files from a CSV\n"
    "  diff [--family NN] [DIR]        compare files with the templates\n"
    "  inspect FILE [--format table|json]\n"
    "                                  print the block layout of a collision file\n"
    "\n"
    "'brindlemark-cli <command> --help' describes a command.\n";

// The --family option, in every command's help.
#define FAMILY_OPTION_HELP                                                          \
    "  --family NN     the weapon family: its code (00 to 13) or name (大剑);\n"    \
    "                  default 00. Its files are res/wpNN.col and res/wpNN_01.col\n" \
    "                  beside the program, or the built-in ones of the great sword\n"

constexpr std::string_view listUsage =
    "Usage: brindlemark-cli list [--family NN] [--format table|csv|json] [--from DIR]\n"
    "\n"
    "Prints a family's editable actions, one per line, with the editor's columns:\n"
    "动作序号, 招式名称, 伤害类型, the seven values, 文件序号, 实际动作序号. Names\n"
    "come from the editor's catalogue where it has them (the great sword's), and\n"
    "otherwise from the files' own name tables.\n"
    "\n"
    FAMILY_OPTION_HELP
    "  --format table  aligned columns for a terminal (the default)\n"
    "  --format csv    CSV in UTF-8 with a byte-order mark, for spreadsheets and apply\n"
    "  --format json   an array of objects keyed by field name\n"
    "  --from DIR      read DIR/wpNN.col and DIR/wpNN_01.col (never changed)\n"
    "                  instead of the templates\n"
    "\n"
    "Every file is walked first: one that does not follow the collision-file\n"
    "layout is refused with the offset and the reason (exit code 2).\n";

constexpr std::string_view applyUsage =
    "Usage: brindlemark-cli apply EDITS.csv [--family NN] [--out DIR]\n"
    "\n"
    "Writes the templates with the edits of EDITS.csv into the output tree\n"
    "DIR/out/nativePC/hm/wp/wpNN/collision/ (default DIR: the program's folder).\n"
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
    FAMILY_OPTION_HELP
    "  --out DIR       the folder to put the out/ tree in\n";

constexpr std::string_view diffUsage =
    "Usage: brindlemark-cli diff [--family NN] [DIR]\n"
    "\n"
    "Compares DIR/wpNN.col and DIR/wpNN_01.col with the templates (default DIR:\n"
    "the output tree out/nativePC/hm/wp/wpNN/collision/ beside the program).\n"
    "Prints one line per changed field (action number, name, column, old and new\n"
    "value), any changed byte outside the editable fields by offset, then a count.\n"
    "Files that do not follow the collision-file layout, or whose record tables\n"
    "are not where the templates have theirs, are refused.\n"
    "\n"
    FAMILY_OPTION_HELP
    "\n"
    "Exit code: 0 no difference, 1 differences, 2 error.\n";

constexpr std::string_view inspectUsage =
    "Usage: brindlemark-cli inspect FILE [--format table|json]\n"
    "\n"
    "Walks FILE by the collision-file layout and prints its block map: offset,\n"
    "size, tag and counts of every block, the name table's entries, and each\n"
    "record's slot, damage byte and name (from the file's name table).\n"
    "\n"
    "  --format table  aligned columns for a terminal (the default)\n"
    "  --format json   one object: file, size, blocks, names, records, fault\n"
    "\n"
    "A file that does not follow the layout prints what was read up to the\n"
    "fault, then the offset and the reason; the exit code is then 2.\n";

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

std::string familyArgument(std::string_view command, const Arguments& parsed) {
    const auto text = parsed.option("--family");
    if (!text) return std::string(defaultFamily);
    if (auto code = familyCode(*text)) return *code;
    throw UsageError(command, "unknown family " + *text + " (a code 00 to 13 or a name such as 大剑)");
}

int list(const std::vector<std::string>& args, const fs::path& programFolder, Output& output) {
    const Arguments parsed = parseArguments("list", args, {"--family", "--format", "--from"}, 0);
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
    const std::string family = familyArgument("list", parsed);
    const auto from = parsed.option("--from");
    const FamilyFiles files =
        from ? folderFiles(pathArgument(*from), family) : templateFiles(programFolders(programFolder), family);
    output.out += listing(actionRows(files), format);
    return exitOk;
}

int apply(const std::vector<std::string>& args, const fs::path& programFolder, Output& output) {
    const Arguments parsed = parseArguments("apply", args, {"--family", "--out"}, 1);
    if (parsed.help) {
        output.out += applyUsage;
        return exitOk;
    }
    if (parsed.operands.empty()) throw UsageError("apply", "the CSV file of the edits is missing");
    const std::string& source = parsed.operands[0];
    const std::string family = familyArgument("apply", parsed);
    // One byte more than an edits file may hold tells a larger one, without reading it whole.
    const Bytes csv = helper::readFileStart(pathArgument(source), maxCsvBytes + 1);
    const FamilyFiles templates = templateFiles(programFolders(programFolder), family);
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
        files.push_back({helper::outputFile(target, family, fileIndex), bytes.data(), bytes.size()});
    }
    helper::replaceFiles(files);

    output.out += "wrote " + std::to_string(outcome.editedActions) +
                  (outcome.editedActions == 1 ? " listed action" : " listed actions") + " into " +
                  helper::pathText(helper::outputFile(target, family, 0)) + " and " +
                  helper::pathText(helper::outputFile(target, family, 1)) + "\n";
    return exitOk;
}

int diff(const std::vector<std::string>& args, const fs::path& programFolder, Output& output) {
    const Arguments parsed = parseArguments("diff", args, {"--family"}, 1);
    if (parsed.help) {
        output.out += diffUsage;
        return exitOk;
    }
    const std::string family = familyArgument("diff", parsed);
    const helper::Folders folders = programFolders(programFolder);
    const fs::path folder =
        parsed.operands.empty() ? helper::outputFolder(folders, family) : pathArgument(parsed.operands[0]);
    const FamilyFiles templates = templateFiles(folders, family);
    const FamilyFiles files = folderFiles(folder, family);
    requireTablesOf(templates, files, folder);
    const Differences differences = compareFamily(templates, files);
    output.out += differencesText(differences);
    return differences.empty() ? exitOk : exitRefused;
}

int inspect(const std::vector<std::string>& args, Output& output) {
    const Arguments parsed = parseArguments("inspect", args, {"--format"}, 1);
    if (parsed.help) {
        output.out += inspectUsage;
        return exitOk;
    }
    if (parsed.operands.empty()) throw UsageError("inspect", "the collision file to inspect is missing");
    InspectFormat format = InspectFormat::table;
    if (const auto name = parsed.option("--format")) {
        if (*name == "json") {
            format = InspectFormat::json;
        } else if (*name != "table") {
            throw UsageError("inspect", "unknown format " + *name + " (table or json)");
        }
    }
    const fs::path file = pathArgument(parsed.operands[0]);
    const Bytes bytes = helper::readWholeFile(file);
    const helper::LayoutWalk walk = helper::walkCollisionFile(bytes.data(), bytes.size());
    const std::string name = helper::pathText(file);
    output.out += format == InspectFormat::json ? inspectionJson(name, walk, bytes.data())
                                                : inspectionTable(name, walk, bytes.data());
    if (walk.ok()) return exitOk;
    const helper::FileError refusal("cannot use", file, walk.faultText());
    output.err += std::string(program) + " inspect: " + refusal.what() + "\n";
    return exitError;
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
    if (command == "inspect") return inspect(args, output);
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
