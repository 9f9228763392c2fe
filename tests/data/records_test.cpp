#include "records.h"

#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <stdexcept>

#include "file_io.h"
#include "fixtures.h"
#include "float32.h"
#include "generated_family.h"
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

// The reason of the FileError that `run` throws for `path`, or "" when it throws none.
template <typename Run>
std::string refusal(const std::filesystem::path& path, Run run) {
    try {
        run();
    } catch (const helper::FileError& error) {
        EXPECT_EQ(error.path(), path);
        return error.reason();
    }
    return "";
}

TEST_F(Records, AStagedFileThatDoesNotFollowTheLayoutIsRefusedWithItsPath) {
    const Bytes full = templateBytes(0);
    const auto cut = [&](std::size_t size) {
        return Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(size));
    };
    const struct {
        Bytes file;
        const char* reason;
    } cases[] = {
        {{}, "at 0: expected the header (20 bytes), found the end of the file"},
        {cut(3685 + 40), "at 3677: the record count 66 does not fit"},  // once read as one row
        {cut(3685 + 217 * 10 + 20), "at 3677: the record count 66 does not fit"},  // once nine rows
        {cut(18047 - 40), "at 18007: expected the OAP block head"},  // once read whole
        {Bytes(18047, 0x41), "at 0: expected the tag COL, found AAAA"},
    };
    for (const auto& c : cases) {
        stage(c.file, templateBytes(1));
        const std::string reason = refusal(staged(0), [&] { load(); });
        EXPECT_EQ(reason.rfind(c.reason, 0), 0u) << reason;
    }
    stage(templateBytes(0), templateBytes(1));
    EXPECT_EQ(refusal(staged(1), [&] { helper::loadRes("00", {3685, 440}, *helper::findActionNames("00"), folders); }),
              "the record table starts at 439, not at 440 where this family has it");
}

// A family the catalogue has no tables for, staged from its own files.
class OwnTables : public Records {
protected:
    std::filesystem::path staged(int fileIndex) const { return helper::stagedFile(folders, "03", fileIndex); }
    void stage(const Bytes& file0, const Bytes& file1) const {
        writeBytes(staged(0), file0);
        writeBytes(staged(1), file1);
    }
    std::vector<ActionRow> load() const { return helper::loadRes("03", nullptr, nullptr, folders); }
};

TEST_F(OwnTables, AreReadAndWrittenWhereTheFilesHaveThemAndNamedByTheirNameTables) {
    using testing_support::generatedFile;
    stage(generatedFile(0), generatedFile(1));
    const std::vector<ActionRow> rows = load();
    std::vector<std::string> listed;
    for (const ActionRow& row : rows) {
        listed.push_back(helper::actionKey(row.fileIndex, row.actIndex) + " " + row.actName.value_or("-") + " " +
                         cells(row)[0] + " " + row.actVal + " " + row.wlMagn + " " + row.qjVal);
    }
    // Slot 2 is no action; slot 3 takes the first of its two name entries;
    // slot 4 has no entry.
    EXPECT_EQ(listed, (std::vector<std::string>{"00 縦斬り 1 24 1 0", "01 突き 1 18 1 0", "03 気刃斬り1 1 30 1.05 0",
                                                "04 - 2 12 1 15", "05 気刃大回転斬り 1 90 1.2 0", "10 蹴り 2 6 1 12",
                                                "11 居合 1 33 1.1 0"}));
    EXPECT_EQ(rows[0].weaponType, "03");

    std::vector<ExportRow> edited;
    for (const ActionRow& row : rows) edited.push_back(uneditedExportRow(row));
    helper::writeFile(edited, nullptr, folders);
    EXPECT_EQ(fileBytes(staged(0)), generatedFile(0));
    EXPECT_EQ(fileBytes(staged(1)), generatedFile(1));

    edited[6].actVal = 250;  // file 1, slot 1: its table starts at 219
    helper::writeFile(edited, nullptr, folders);
    Bytes expected = generatedFile(1);
    const Bytes value = {0x00, 0x00, 0x7A, 0x43};
    std::copy(value.begin(), value.end(), expected.begin() + 219 + 217 + 8);
    EXPECT_EQ(fileBytes(staged(1)), expected);
}

TEST_F(OwnTables, ATableOfMoreThan128RecordsIsReadWhole) {
    // One-byte ids run to 255: the record count, not a signed id, ends the table.
    std::string description = "header 98 0 103\nclnd 98 1\natk 44C66F19 98 1\n";
    for (int slot = 0; slot < 200; ++slot) description += "record " + std::to_string(slot) + " 1 1 1 1 1 0 0 0\n";
    description += "oap F15719FF 98 8\n";
    stage(buildCollisionFile(description), testing_support::generatedFile(1));
    const std::vector<ActionRow> rows = load();
    ASSERT_EQ(rows.size(), 200u + 2u);
    EXPECT_EQ(rows[199].actIndex, 199);
    EXPECT_EQ(rows[200].fileIndex, 1);
}

TEST_F(Records, AnExportRefusesStagedFilesChangedSinceTheLoad) {
    stage(templateBytes(0), templateBytes(1));
    const std::vector<ExportRow> rows = testing_support::uneditedExportRows(load());
    const Bytes full = templateBytes(1);
    const Bytes cut(full.begin(), full.begin() + 439 + 217 * 2);  // slots 0 and 1 only
    stage(templateBytes(0), cut);
    EXPECT_EQ(refusal(staged(1), [&] { helper::writeFile(rows, greatSword, folders); }).rfind("at 431: ", 0), 0u);
    EXPECT_EQ(fileBytes(staged(1)), cut);

    // Another family's file where the great sword's was staged.
    stage(testing_support::generatedFile(0), templateBytes(1));
    EXPECT_EQ(refusal(staged(0), [&] { helper::writeFile(rows, greatSword, folders); }),
              "the record table starts at 574, not at 3685 where this family has it");
    EXPECT_EQ(fileBytes(staged(0)), testing_support::generatedFile(0));

    // A slot beyond the record table: writing it would change the OAP block.
    stage(templateBytes(0), templateBytes(1));
    ExportRow slot4 = rows.back();
    slot4.actIndex = 4;
    EXPECT_EQ(refusal(staged(1), [&] { helper::writeFile({rows.front(), slot4}, greatSword, folders); }),
              "slot 4 is not in its record table of 4 records");
    EXPECT_EQ(fileBytes(staged(1)), templateBytes(1));
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

}  // namespace
