#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli_fixtures.h"
#include "differences.h"
#include "records.h"
#include "records.h"

namespace {

namespace fs = std::filesystem;

using testing_support::Bytes;
using testing_support::fieldOffset;
using testing_support::floatBytes;
using testing_support::outputTree;
using testing_support::pathArgument;
using testing_support::runCli;
using testing_support::templateBytes;
using testing_support::writeBytes;
using testing_support::writeText;

class Diff : public ::testing::Test {
protected:
    testing_support::TempFolder temp;
    fs::path program = temp.path() / "program";
    fs::path folder = temp.path() / "files";

    void writeFiles(const Bytes& wp00, const Bytes& wp00_01) {
        writeBytes(folder / "wp00.col", wp00);
        writeBytes(folder / "wp00_01.col", wp00_01);
    }
    testing_support::CliResult diff() { return runCli({"diff", pathArgument(folder)}, program); }
};

TEST_F(Diff, AfterApplyListsExactlyTheEditedFields) {
    writeText(temp.path() / "edits.csv",
              "动作序号,伤害类型,动作值,属性倍率,骑乘值\r\n"
              "09,切断,95,1.15,0\r\n"        // 动作值 only
              "011,打击,70,1,0\r\n"          // 伤害类型 of an action without a name
              "13,打击,48,0,-7.25\r\n");     // 骑乘值 in the second file
    const auto applied = runCli({"apply", pathArgument(temp.path() / "edits.csv"), "--out",
                                 pathArgument(temp.path())}, program);
    ASSERT_EQ(applied.exitCode, 0) << applied.err;

    const auto result = runCli({"diff", pathArgument(outputTree(temp.path()))}, program);
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_EQ(result.out,
              "09   强蓄力斩2  动作值      90  ->  95\n"
              "011             伤害类型  切断  ->  打击\n"
              "13   冲撞攻击3  骑乘值       0  ->  -7.25\n"
              "3 changed fields\n");
}

TEST_F(Diff, TheTemplatesThemselvesShowNoDifference) {
    writeFiles(templateBytes(0), templateBytes(1));
    const auto result = diff();
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "no differences\n");
}

TEST_F(Diff, BytesTheEditorNeverWritesAreReportedByOffset) {
    Bytes wp00 = templateBytes(0);
    Bytes wp00_01 = templateBytes(1);
    const std::size_t slot2 = cli::recordOffset(0, 2);
    wp00[slot2 + 5] ^= 0xFF;   // beside the damage byte: not a field
    wp00[slot2 + 12] ^= 0x01;  // between actVal and wlMagn
    wp00[slot2 + 13] ^= 0x01;
    wp00[cli::recordOffset(0, 7) + 4] = 1;  // damage byte of a record that is no action
    wp00_01.insert(wp00_01.end(), 4, 0);      // one more word in the OAP block
    writeFiles(wp00, wp00_01);

    const auto result = diff();
    EXPECT_EQ(result.exitCode, 1);
    const std::string offset = std::to_string(slot2 + 5);
    EXPECT_EQ(result.out,
              "wp00.col: byte " + std::to_string(slot2 + 5) + " changed outside the editable fields: 00 -> FF\n" +
              "wp00.col: bytes " + std::to_string(slot2 + 12) + " to " + std::to_string(slot2 + 13) +
              " changed outside the editable fields: 00 00 -> 01 01\n" +
              "wp00.col: byte " + std::to_string(cli::recordOffset(0, 7) + 4) +
              " changed outside the editable fields: 00 -> 01\n" +
              "wp00_01.col: 1343 bytes long, the template 1339\n"
              "0 changed fields, 4 changed bytes outside the editable fields, 1 file of another length\n");
}

TEST_F(Diff, AChangeBelowTheShownDecimalsIsStillAChange) {
    Bytes wp00 = templateBytes(0);
    const Bytes value = floatBytes(48.001f);
    std::copy(value.begin(), value.end(), wp00.begin() + fieldOffset(0, 0, 8));
    writeFiles(wp00, templateBytes(1));
    const auto result = diff();
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "00  直斩  动作值  48 (48)  ->  48 (48.001)\n1 changed field\n");
}

// The table of edited fields that diff and apply use names exactly the bytes
// that the record writer writes.
TEST(RecordFields, AreTheBytesThatTheRecordWriterWrites) {
    helper::ExportRow row;
    row.weaponType = "00";
    row.damageType = "3";
    const double values[] = {-101.37, -2.71, -3.33, -4.44, -5.55, -6.66, -7.77};  // no zero byte among them
    for (std::size_t i = 0; i < 7; ++i) row.*helper::valueMembers<helper::ExportRow>[i] = values[i];
    Bytes record(helper::recordSize, 0);
    helper::writeActionRecord(record.data(), row);
    for (std::size_t i = 0; i < record.size(); ++i) {
        EXPECT_EQ(record[i] != 0, helper::isEditableByte(i)) << "byte " << i;
    }
    EXPECT_EQ(record[helper::damageTypeOffset], 3);
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(helper::loadFloat32(record.data() + helper::valueOffsets[i]), static_cast<float>(values[i]));
    }
}

TEST_F(Diff, AMissingFileIsAnErrorNamingIt) {
    writeBytes(folder / "wp00.col", templateBytes(0));
    const auto result = diff();
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("cannot open " + pathArgument(folder / "wp00_01.col") + ": "), std::string::npos)
        << result.err;
    EXPECT_TRUE(result.out.empty());
}

}  // namespace
