#include "records.h"

#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <stdexcept>

#include "file_io.h"
#include "fixtures.h"
#include "float32.h"
#include "staging.h"

namespace {

using helper::ActionRow;
using helper::ExportRow;
using testing_support::Bytes;
using testing_support::fileBytes;
using testing_support::templateBytes;
using testing_support::uneditedExportRow;
using testing_support::writeBytes;

constexpr helper::TableOffsets greatSword{3685, 439};

class Records : public ::testing::Test {
protected:
    testing_support::TempFolders temp;
    const helper::Folders& folders = temp.folders;

    std::filesystem::path staged(int fileIndex) const { return helper::stagedFile(folders, "00", fileIndex); }
    void stage(const Bytes& file0, const Bytes& file1) const {
        writeBytes(staged(0), file0);
        writeBytes(staged(1), file1);
    }
    std::vector<ActionRow> load() const {
        return helper::loadRes("00", greatSword, *helper::findActionNames("00"), folders);
    }
};

std::vector<std::string> cells(const ActionRow& row) {
    return {std::to_string(row.damageType), row.actVal, row.wlMagn, row.sxMagn, row.ycsxMagn,
            row.qjVal, row.mqVal, row.qcVal};
}

TEST_F(Records, ReadsTheSixtyEditableActionsOfTheTemplates) {
    stage(templateBytes(0), templateBytes(1));
    const std::vector<ActionRow> rows = load();
    ASSERT_EQ(rows.size(), 60u);

    std::set<int> slots0;
    for (const ActionRow& row : rows) {
        if (row.fileIndex == 0) slots0.insert(row.actIndex);
        EXPECT_EQ(row.weaponType, "00");
    }
    std::set<int> expected;
    for (int slot = 0; slot <= 65; ++slot) expected.insert(slot);
    for (int skipped : {7, 26, 27, 28, 44, 48, 52, 57, 61, 65}) expected.erase(skipped);
    EXPECT_EQ(slots0, expected);

    const ActionRow& first = rows.front();
    EXPECT_EQ(first.fileIndex, 0);
    EXPECT_EQ(first.actIndex, 0);
    EXPECT_EQ(first.actName, "直斩");
    EXPECT_EQ(cells(first), (std::vector<std::string>{"1", "48", "1", "1", "1", "0", "0", "0"}));

    const ActionRow& last = rows.back();
    EXPECT_EQ(last.fileIndex, 1);
    EXPECT_EQ(last.actIndex, 3);
    EXPECT_EQ(last.actName, "冲撞攻击3");
    EXPECT_EQ(cells(last), (std::vector<std::string>{"2", "48", "1.5", "0", "0", "55", "30", "0"}));

    // Slot 9 holds 1.15 as a float; slot 11 has no name.
    const ActionRow& slot9 = rows[8];
    EXPECT_EQ(slot9.actIndex, 9);
    EXPECT_EQ(slot9.sxMagn, "1.15");
    const ActionRow& slot11 = rows[10];
    EXPECT_EQ(slot11.actIndex, 11);
    EXPECT_FALSE(slot11.actName.has_value());
}

TEST_F(Records, WritingARowChangesExactlyItsTwentyNineBytes) {
    stage(templateBytes(0), templateBytes(1));
    const std::vector<ActionRow> rows = load();

    ExportRow edited = uneditedExportRow(rows[4]);  // file 0, slot 4
    ASSERT_EQ(edited.actIndex, 4);
    edited.damageType = "3";
    // Negative values, so that every byte of every float differs from the template's.
    const double values[] = {-101.37, -2.71, -3.33, -4.44, -5.55, -6.66, -7.77};
    for (std::size_t i = 0; i < 7; ++i) edited.*helper::valueMembers<ExportRow>[i] = values[i];
    ExportRow kick = uneditedExportRow(rows[56]);  // file 1, slot 0
    ASSERT_EQ(kick.fileIndex, 1);
    kick.qcVal = 7.5;
    helper::writeFile({edited, kick}, greatSword, folders);

    for (int fileIndex : {0, 1}) {
        const Bytes before = templateBytes(fileIndex);
        const Bytes after = fileBytes(staged(fileIndex));
        ASSERT_EQ(after.size(), before.size());
        const std::size_t record = greatSword[fileIndex] + 217 * (fileIndex == 0 ? 4 : 0);
        std::set<std::size_t> changed;
        for (std::size_t i = 0; i < before.size(); ++i) {
            if (before[i] != after[i]) changed.insert(i);
        }
        for (std::size_t i : changed) {
            const std::size_t inRecord = i - record;
            EXPECT_TRUE(i >= record && (inRecord == 4 || (inRecord >= 8 && inRecord < 12) ||
                                        (inRecord >= 16 && inRecord < 40)))
                << "file " << fileIndex << " byte " << i << " changed";
        }
        if (fileIndex == 0) {
            EXPECT_EQ(changed.size(), 29u);  // every written byte differs from the template's
        }
    }

    const std::vector<ActionRow> reread = load();
    EXPECT_EQ(cells(reread[4]), (std::vector<std::string>{"3", "-101.37", "-2.71", "-3.33", "-4.44", "-5.55",
                                                          "-6.66", "-7.77"}));
    EXPECT_EQ(reread[56].qcVal, "7.5");
    EXPECT_EQ(reread[56].actVal, "5");
}

TEST_F(Records, EveryTemplateValueSurvivesTheDisplayText) {
    stage(templateBytes(0), templateBytes(1));
    std::vector<ExportRow> rows;
    for (const ActionRow& row : load()) rows.push_back(uneditedExportRow(row));
    helper::writeFile(rows, greatSword, folders);
    EXPECT_EQ(fileBytes(staged(0)), templateBytes(0));
    EXPECT_EQ(fileBytes(staged(1)), templateBytes(1));
}

TEST_F(Records, ATruncatedFileEndsItsTableWhereItEnds) {
    struct Case {
        std::size_t keep;       // bytes of wp00.col left
        std::size_t rowsOfFile0;
    };
    const Case cases[] = {
        {0, 0},                      // empty file
        {3685, 0},                   // ends where the table starts
        {3685 + 39, 0},              // slot 0 lacks its last value byte
        {3685 + 40, 1},              // slot 0 complete as far as the editor reads
        {3685 + 217 * 10 + 20, 9},   // ends inside slot 10: slots 0-9 less slot 7
        {18047 - 40, 56},            // the table is whole, the OAP block is cut
    };
    const Bytes full = templateBytes(0);
    for (const Case& c : cases) {
        stage(Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(c.keep)), templateBytes(1));
        std::size_t file0 = 0;
        for (const ActionRow& row : load()) file0 += row.fileIndex == 0;
        EXPECT_EQ(file0, c.rowsOfFile0) << "keeping " << c.keep << " bytes";
    }
}

TEST_F(Records, IdsAreComparedAsSignedBytes) {
    // 200 valid-looking records at offset 0: ids 128 and up read as negative
    // numbers, so the table ends after slot 127.
    Bytes file(200 * 217 + 40, 0x11);
    for (std::size_t slot = 0; slot < 200; ++slot) {
        file[slot * 217] = static_cast<std::uint8_t>(slot);
        file[slot * 217 + 4] = 1;
    }
    stage(file, file);
    const auto all = helper::loadRes("00", {0, 0}, *helper::findActionNames("00"), folders);
    ASSERT_EQ(all.size(), 2u * 128u);
    EXPECT_EQ(all[127].actIndex, 127);
    EXPECT_EQ(all[128].fileIndex, 1);

    // Any mismatching id ends the table, however many valid records follow.
    file[3 * 217] = 9;
    stage(file, templateBytes(1));
    EXPECT_EQ(helper::loadRes("00", {0, 439}, *helper::findActionNames("00"), folders).size(), 3u + 4u);
}

TEST_F(Records, AMissingStagedFileIsAnError) {
    writeBytes(staged(0), templateBytes(0));
    EXPECT_THROW(load(), helper::FileError);
}

TEST_F(Records, RefusesRowsThatBreakTheWritersRules) {
    stage(templateBytes(0), templateBytes(1));
    const std::vector<ActionRow> loaded = load();
    const ExportRow a = uneditedExportRow(loaded[0]);   // file 0
    const ExportRow b = uneditedExportRow(loaded[59]);  // file 1
    ExportRow otherFamily = a;
    otherFamily.weaponType = "01";
    ExportRow badDamage = a;
    badDamage.damageType = "4";
    ExportRow infinite = b;
    infinite.mqVal = 1e39;
    ExportRow notANumber = b;
    notANumber.actVal = std::numeric_limits<double>::quiet_NaN();
    ExportRow negativeInfinite = b;
    negativeInfinite.wlMagn = -1e50;

    const std::vector<std::vector<ExportRow>> refused = {
        {}, {b}, {b, a}, {a, b, a}, {a, otherFamily}, {a, badDamage}, {a, infinite}, {a, notANumber},
        {a, negativeInfinite},
    };
    for (std::size_t i = 0; i < refused.size(); ++i) {
        EXPECT_THROW(helper::writeFile(refused[i], greatSword, folders), std::invalid_argument) << "case " << i;
    }
    EXPECT_EQ(fileBytes(staged(0)), templateBytes(0));
    EXPECT_EQ(fileBytes(staged(1)), templateBytes(1));
}

TEST_F(Records, NeverWritesBeyondTheEndOfAFile) {
    const Bytes full = templateBytes(1);
    const Bytes cut(full.begin(), full.begin() + 439 + 217 * 2);  // slots 0 and 1 only
    stage(templateBytes(0), cut);
    const std::vector<ActionRow> loaded = helper::loadRes("00", greatSword, *helper::findActionNames("00"), folders);
    ExportRow slot3 = uneditedExportRow(loaded.front());
    slot3.fileIndex = 1;
    slot3.actIndex = 3;
    EXPECT_THROW(helper::writeFile({uneditedExportRow(loaded.front()), slot3}, greatSword, folders), helper::FileError);
    EXPECT_EQ(fileBytes(staged(1)), cut);
}

}  // namespace
