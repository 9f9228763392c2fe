// --family, and the walk of every file the commands read: loose templates,
// --from folders and the files diff compares.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli_fixtures.h"
#include "generated_family.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

namespace fs = std::filesystem;

using testing_support::Bytes;
using testing_support::fileBytes;
using testing_support::generatedFile;
using testing_support::outputTree;
using testing_support::pathArgument;
using testing_support::runCli;
using testing_support::templateBytes;
using testing_support::writeBytes;
using testing_support::writeText;

class Family : public ::testing::Test {
protected:
    testing_support::TempFolder temp;
    fs::path program = temp.path() / "program";
    fs::path folder = temp.path() / "files";

    void putLongSwordBesideTheProgram() {
        writeBytes(program / "res" / "wp03.col", generatedFile(0));
        writeBytes(program / "res" / "wp03_01.col", generatedFile(1));
    }
    testing_support::CliResult run(const std::vector<std::string>& args) { return runCli(args, program); }
};

const char* const longSwordCsv =
    "\xEF\xBB\xBF"
    "动作序号,招式名称,伤害类型,动作值,物理倍率,属性倍率,异常属性倍率,眩晕值,夺取耐力值,骑乘值,文件序号,实际动作序号\r\n"
    "00,縦斬り,切断,24,1,1,1,0,0,0,0,0\r\n"
    "01,突き,切断,18,1,1,1,0,0,0,0,1\r\n"
    "03,気刃斬り1,切断,30,1.05,1,1,0,0,0,0,3\r\n"
    "04,,打击,12,1,1,1,15,10,0,0,4\r\n"
    "05,気刃大回転斬り,切断,90,1.2,1.5,1.5,0,0,20,0,5\r\n"
    "10,蹴り,打击,6,1,0,0,12,8,0,1,0\r\n"
    "11,居合,切断,33,1.1,1,1,0,0,0,1,1\r\n";

TEST_F(Family, ListsAFamilyFromItsFilesByCodeOrName) {
    putLongSwordBesideTheProgram();
    for (const char* family : {"03", "太刀"}) {
        const auto result = run({"list", "--family", family, "--format", "csv"});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.out, longSwordCsv);
    }
    writeBytes(folder / "wp03.col", generatedFile(0));
    writeBytes(folder / "wp03_01.col", generatedFile(1));
    fs::remove_all(program / "res");
    const auto from = run({"list", "--family=03", "--format", "csv", "--from", pathArgument(folder)});
    EXPECT_EQ(from.exitCode, 0) << from.err;
    EXPECT_EQ(from.out, longSwordCsv);
}

TEST_F(Family, WithoutItsFilesOrWithAnUnknownNameAFamilyIsAnError) {
    const auto missing = run({"list", "--family", "03"});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_EQ(missing.err, "brindlemark-cli list: cannot read " + pathArgument(program / "res" / "wp03.col") +
                               ": there is no template of this name\n");
    for (const char* unknown : {"3", "14", "大剑 ", "taichi"}) {
        const auto result = run({"diff", "--family", unknown});
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_EQ(result.err.rfind(std::string("brindlemark-cli diff: unknown family ") + unknown, 0), 0u) << result.err;
    }
}

TEST_F(Family, ApplyAndDiffWorkOnAFamilysOwnTables) {
    putLongSwordBesideTheProgram();
    writeText(temp.path() / "edits.csv", "动作序号,动作值,伤害类型\r\n11,40,打击\r\n");
    const auto applied = run({"apply", pathArgument(temp.path() / "edits.csv"), "--family", "03", "--out",
                              pathArgument(temp.path())});
    ASSERT_EQ(applied.exitCode, 0) << applied.err;
    const fs::path tree = temp.path() / "out" / "nativePC" / "hm" / "wp" / "wp03" / "collision";
    EXPECT_EQ(fileBytes(tree / "wp03.col"), generatedFile(0));
    Bytes expected = generatedFile(1);
    expected[219 + 217 + 4] = 2;
    expected[219 + 217 + 8 + 2] = 0x20;  // 40.0f = 0x42200000
    expected[219 + 217 + 8 + 3] = 0x42;
    EXPECT_EQ(fileBytes(tree / "wp03_01.col"), expected);

    const auto diffed = run({"diff", "--family", "03", pathArgument(tree)});
    EXPECT_EQ(diffed.exitCode, 1) << diffed.err;
    EXPECT_EQ(diffed.out,
              "11  居合  伤害类型  切断  ->  打击\n"
              "11  居合  动作值      33  ->  40\n"
              "2 changed fields\n");

    // The great sword's files are no long sword's: their tables are elsewhere.
    writeBytes(folder / "wp03.col", templateBytes(0));
    writeBytes(folder / "wp03_01.col", templateBytes(1));
    const auto other = run({"diff", "--family", "03", pathArgument(folder)});
    EXPECT_EQ(other.exitCode, 2);
    EXPECT_EQ(other.err, "brindlemark-cli diff: cannot compare " + pathArgument(folder / "wp03.col") +
                             ": its record table starts at 3685, the template's at 574\n");
}

// Each of the files a command reads, damaged: a clear refusal with the path
// and the offset, never fewer rows, an exit code of 0 or a written file.
TEST_F(Family, EveryFileIsWalkedBeforeUse) {
    const Bytes full = templateBytes(0);
    const Bytes nineThousand(full.begin(), full.begin() + 9000);
    const std::string reason = ": at 3677: the record count 66 does not fit: it needs 14322 bytes, 5315 bytes are left\n";

    writeBytes(folder / "wp00.col", nineThousand);
    writeBytes(folder / "wp00_01.col", templateBytes(1));
    const fs::path damaged = folder / "wp00.col";
    const auto listed = run({"list", "--from", pathArgument(folder)});
    EXPECT_EQ(listed.exitCode, 2);
    EXPECT_EQ(listed.err, "brindlemark-cli list: cannot use " + pathArgument(damaged) + reason);
    EXPECT_TRUE(listed.out.empty());
    const auto diffed = run({"diff", pathArgument(folder)});
    EXPECT_EQ(diffed.exitCode, 2);
    EXPECT_EQ(diffed.err, "brindlemark-cli diff: cannot use " + pathArgument(damaged) + reason);

    // A good output pair stays as it is when the template beside the program is damaged.
    writeText(temp.path() / "edits.csv", "动作序号,动作值\r\n05,80\r\n");
    ASSERT_EQ(run({"apply", pathArgument(temp.path() / "edits.csv")}).exitCode, 0);
    const Bytes before = fileBytes(outputTree(program) / "wp00.col");
    writeBytes(program / "res" / "wp00.col", nineThousand);
    const auto applied = run({"apply", pathArgument(temp.path() / "edits.csv")});
    EXPECT_EQ(applied.exitCode, 2);
    EXPECT_EQ(applied.err, "brindlemark-cli apply: cannot use " + pathArgument(program / "res" / "wp00.col") + reason);
    EXPECT_EQ(fileBytes(outputTree(program) / "wp00.col"), before);
}

TEST_F(Family, OnlyRegularFilesAreRead) {
    fs::create_directories(folder / "wp00.col");
    writeBytes(folder / "wp00_01.col", templateBytes(1));
    const auto result = run({"list", "--from", pathArgument(folder)});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find(pathArgument(folder / "wp00.col")), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("a folder, not a file"), std::string::npos) << result.err;
#ifndef _WIN32
    // A FIFO would hang a plain open until something writes into it.
    fs::remove(folder / "wp00.col");
    ASSERT_EQ(::mkfifo((folder / "wp00.col").c_str(), 0600), 0);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"list", "--from", pathArgument(folder)},
          std::vector<std::string>{"diff", pathArgument(folder)},
          std::vector<std::string>{"inspect", pathArgument(folder / "wp00.col")}}) {
        const auto fifo = run(args);
        EXPECT_EQ(fifo.exitCode, 2) << args[0];
        EXPECT_EQ(fifo.err, "brindlemark-cli " + args[0] + ": cannot read " + pathArgument(folder / "wp00.col") +
                                ": it is a FIFO (named pipe), not a file\n");
    }
#endif
}

}  // namespace
