#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli_fixtures.h"
#include "json.h"

namespace {

namespace fs = std::filesystem;

using testing_support::Bytes;
using testing_support::pathArgument;
using testing_support::runCli;
using testing_support::templateBytes;
using testing_support::writeBytes;

class Inspect : public ::testing::Test {
protected:
    testing_support::TempFolder temp;
    fs::path file = temp.path() / "wp00_01.col";

    testing_support::CliResult inspect(const Bytes& bytes, const std::vector<std::string>& options = {}) {
        writeBytes(file, bytes);
        std::vector<std::string> args{"inspect", pathArgument(file)};
        args.insert(args.end(), options.begin(), options.end());
        return runCli(args, temp.path());
    }
};

TEST_F(Inspect, PrintsTheBlockMapNamesAndRecordsOfATemplate) {
    const auto result = inspect(templateBytes(1));
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, pathArgument(file) + ": 1339 bytes, a collision file\n"
                          "\n"
                          "offset  size  block  counts\n"
                          "     0    20  COL    4 names\n"
                          "    20   161  names  4 entries\n"
                          "   181    16  CLND   2 groups\n"
                          "   197   111  CLGM   group 0, n 1\n"
                          "   308   111  CLGM   group 1, n 1\n"
                          "   419   888  ATK    4 records from 439\n"
                          "  1307    32  OAP    20 bytes of data\n"
                          "\n"
                          "entry  offset  category  slot  flag  number  name\n"
                          "    0      20         0     0     0       9  大剣キック\n"
                          "    1      55         1     1     0      13  闘魂タックル_Lv1\n"
                          "    2      97         1     2     0      12  闘魂タックル_Lv2\n"
                          "    3     139         1     3     0      11  闘魂タックル_Lv3\n"
                          "\n"
                          "slot  offset  damage  name\n"
                          "   0     439       2  大剣キック\n"
                          "   1     656       2  闘魂タックル_Lv1\n"
                          "   2     873       2  闘魂タックル_Lv2\n"
                          "   3    1090       2  闘魂タックル_Lv3\n");
    EXPECT_TRUE(result.err.empty());
}

TEST_F(Inspect, JsonHoldsTheSameMap) {
    const auto result = inspect(templateBytes(1), {"--format", "json"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "{\"file\":" + helper::jsonString(pathArgument(file)) + ",\n"
                          "\"size\":1339,\n"
                          "\"blocks\":[\n"
                          "{\"offset\":0,\"size\":20,\"block\":\"COL\",\"names\":4},\n"
                          "{\"offset\":20,\"size\":161,\"block\":\"names\",\"entries\":4},\n"
                          "{\"offset\":181,\"size\":16,\"block\":\"CLND\",\"groups\":2},\n"
                          "{\"offset\":197,\"size\":111,\"block\":\"CLGM\",\"position\":0,\"n\":1},\n"
                          "{\"offset\":308,\"size\":111,\"block\":\"CLGM\",\"position\":1,\"n\":1},\n"
                          "{\"offset\":419,\"size\":888,\"block\":\"ATK\",\"records\":4,\"table\":439},\n"
                          "{\"offset\":1307,\"size\":32,\"block\":\"OAP\",\"data\":20}\n"
                          "],\n"
                          "\"names\":[\n"
                          "{\"offset\":20,\"name\":\"大剣キック\",\"category\":0,\"slot\":0,\"flag\":0,\"number\":9},\n"
                          "{\"offset\":55,\"name\":\"闘魂タックル_Lv1\",\"category\":1,\"slot\":1,\"flag\":0,\"number\":13},\n"
                          "{\"offset\":97,\"name\":\"闘魂タックル_Lv2\",\"category\":1,\"slot\":2,\"flag\":0,\"number\":12},\n"
                          "{\"offset\":139,\"name\":\"闘魂タックル_Lv3\",\"category\":1,\"slot\":3,\"flag\":0,\"number\":11}\n"
                          "],\n"
                          "\"records\":[\n"
                          "{\"slot\":0,\"offset\":439,\"damage\":2,\"name\":\"大剣キック\"},\n"
                          "{\"slot\":1,\"offset\":656,\"damage\":2,\"name\":\"闘魂タックル_Lv1\"},\n"
                          "{\"slot\":2,\"offset\":873,\"damage\":2,\"name\":\"闘魂タックル_Lv2\"},\n"
                          "{\"slot\":3,\"offset\":1090,\"damage\":2,\"name\":\"闘魂タックル_Lv3\"}\n"
                          "],\n"
                          "\"fault\":null}\n");
}

TEST_F(Inspect, ADamagedFileShowsWhatWasReadThenTheFault) {
    Bytes bytes = templateBytes(1);
    bytes[439 + 2 * 217] = 7;  // slot 2's id
    const auto table = inspect(bytes);
    EXPECT_EQ(table.exitCode, 2);
    EXPECT_NE(table.out.find("   419   888  ATK    4 records from 439\n"
                             "at 873: expected the record id 2, found 7\n"),
              std::string::npos)
        << table.out;
    EXPECT_EQ(table.out.find("OAP"), std::string::npos);
    EXPECT_NE(table.out.find("   1     656       2  闘魂タックル_Lv1\n"), std::string::npos);  // the records before it
    EXPECT_EQ(table.out.find("   2     873"), std::string::npos);
    EXPECT_EQ(table.err, "brindlemark-cli inspect: cannot use " + pathArgument(file) +
                             ": at 873: expected the record id 2, found 7\n");

    const auto json = inspect(bytes, {"--format=json"});
    EXPECT_EQ(json.exitCode, 2);
    EXPECT_NE(json.out.find("\"fault\":{\"offset\":873,\"reason\":\"expected the record id 2, found 7\"}}\n"),
              std::string::npos)
        << json.out;

    const auto empty = inspect({});
    EXPECT_EQ(empty.exitCode, 2);
    EXPECT_EQ(empty.out, pathArgument(file) + ": 0 bytes\n\noffset  size  block  counts\n"
                         "at 0: expected the header (20 bytes), found the end of the file\n");
}

TEST_F(Inspect, NeedsAFileAndKnowsItsFormats) {
    EXPECT_EQ(runCli({"inspect"}, temp.path()).err,
              "brindlemark-cli inspect: the collision file to inspect is missing\n"
              "Try 'brindlemark-cli inspect --help'.\n");
    EXPECT_EQ(inspect(templateBytes(1), {"--format", "csv"}).exitCode, 2);
    const auto missing = runCli({"inspect", pathArgument(temp.path() / "none.col")}, temp.path());
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_EQ(missing.err.rfind("brindlemark-cli inspect: cannot open " + pathArgument(temp.path() / "none.col"), 0),
              0u);
}

}  // namespace
