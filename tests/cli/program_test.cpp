// The built program, run as a process: what reaches the console, exit codes,
// the folders beside the executable, and paths outside ASCII.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli_fixtures.h"
#include "process.h"

namespace {

namespace fs = std::filesystem;

using testing_support::fileBytes;
using testing_support::outputTree;
using testing_support::pathArgument;
using testing_support::runProcess;
using testing_support::templateBytes;
using testing_support::templateCsv;
using testing_support::writeText;

TEST(Program, PrintsTheListsBytesUnchanged) {
    // On Windows a text-mode stream would turn the CSV's CRLF into CR CR LF.
    const auto result = runProcess(testing_support::cliProgram(), {"list", "--format", "csv"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, templateCsv());
    EXPECT_TRUE(result.err.empty()) << result.err;
}

TEST(Program, AnswersHelpAndRefusesUnknownOptions) {
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        const char* out;  // expected at the start of stdout, or nullptr for none
        const char* err;  // expected in stderr, or nullptr for none
    };
    const Case cases[] = {
        {{"--help"}, 0, "Usage: brindlemark-cli <command>", nullptr},
        {{"list", "--help"}, 0, "Usage: brindlemark-cli list", nullptr},
        {{"apply", "--help"}, 0, "Usage: brindlemark-cli apply", nullptr},
        {{"diff", "--help"}, 0, "Usage: brindlemark-cli diff", nullptr},
        {{"inspect", "--help"}, 0, "Usage: brindlemark-cli inspect", nullptr},
        {{}, 2, nullptr, "Usage: brindlemark-cli <command>"},
        {{"list", "--colour"}, 2, nullptr, "brindlemark-cli list: unknown option --colour"},
        {{"list", "--format", "xml"}, 2, nullptr, "brindlemark-cli list: unknown format xml"},
        {{"list", "--format"}, 2, nullptr, "brindlemark-cli list: option --format needs a value"},
        {{"apply"}, 2, nullptr, "brindlemark-cli apply: the CSV file of the edits is missing"},
        {{"apply", "a.csv", "--force"}, 2, nullptr, "brindlemark-cli apply: unknown option --force"},
        {{"diff", "a", "b"}, 2, nullptr, "brindlemark-cli diff: unexpected argument b"},
        {{"export"}, 2, nullptr, "brindlemark-cli: unknown command export"},
        {{"--verbose"}, 2, nullptr, "brindlemark-cli: unknown option --verbose"},
    };
    for (const Case& c : cases) {
        const auto result = runProcess(testing_support::cliProgram(), c.args);
        const std::string what = c.args.empty() ? "(none)" : c.args[0] + (c.args.size() > 1 ? " " + c.args[1] : "");
        EXPECT_EQ(result.exitCode, c.exitCode) << what;
        if (c.out) {
            EXPECT_EQ(result.out.rfind(c.out, 0), 0u) << what << "\n" << result.out;
        } else {
            EXPECT_TRUE(result.out.empty()) << what << "\n" << result.out;
        }
        if (c.err) {
            EXPECT_NE(result.err.find(c.err), std::string::npos) << what << "\n" << result.err;
        } else {
            EXPECT_TRUE(result.err.empty()) << what << "\n" << result.err;
        }
    }
}

// A copy of the program in a folder whose name is not ASCII: apply and diff
// without folders work beside it, as the editor does, and every path given on
// the command line reaches the file system intact.
TEST(Program, WorksBesideItselfAndWithPathsOutsideAscii) {
    testing_support::TempFolder temp;
    const fs::path folder = temp.path() / fs::u8path("大剑 模组");
    fs::create_directories(folder);
    const fs::path program = folder / testing_support::cliProgram().filename();
    fs::copy_file(testing_support::cliProgram(), program);
    const fs::path edits = folder / fs::u8path("改动.csv");
    writeText(edits, "动作序号,动作值\r\n05,80\r\n");

    // No HOME or data folder of the user is used: the editor's working copies stay untouched.
    const fs::path userData = temp.path() / "user";
    const testing_support::Environment environment{{"HOME", pathArgument(userData)},
                                                   {"XDG_DATA_HOME", pathArgument(userData / "data")}};
    const auto applied = runProcess(program, {"apply", pathArgument(edits)}, environment);
    ASSERT_EQ(applied.exitCode, 0) << applied.err;
    EXPECT_NE(applied.out.find(pathArgument(outputTree(folder) / "wp00.col")), std::string::npos) << applied.out;
    EXPECT_EQ(fileBytes(outputTree(folder) / "wp00_01.col"), templateBytes(1));
    EXPECT_FALSE(fs::exists(userData));

    const auto diffed = runProcess(program, {"diff"}, environment);
    EXPECT_EQ(diffed.exitCode, 1) << diffed.err;
    EXPECT_EQ(diffed.out, "05  蓄力斩2  动作值  77  ->  80\n1 changed field\n");

    const auto listed = runProcess(program, {"list", "--format", "csv", "--from", pathArgument(outputTree(folder))});
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_NE(listed.out.find("\r\n05,蓄力斩2,切断,80,1,1.1,1.2,0,0,0,0,5\r\n"), std::string::npos);

    const auto missing = runProcess(program, {"diff", pathArgument(folder / fs::u8path("没有"))});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_NE(missing.err.find(pathArgument(folder / fs::u8path("没有") / "wp00.col")), std::string::npos)
        << missing.err;
}

}  // namespace
