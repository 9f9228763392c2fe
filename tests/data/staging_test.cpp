#include "staging.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "file_io.h"
#include "fixtures.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

using helper::ActionRow;
using helper::ExportRow;
using testing_support::Bytes;
using testing_support::fileBytes;
using testing_support::templateBytes;
using testing_support::uneditedExportRows;
using testing_support::writeBytes;

namespace fs = std::filesystem;

class Staging : public ::testing::Test {
protected:
    testing_support::TempFolders temp;
    const helper::Folders& folders = temp.folders;

    fs::path staged(int fileIndex) const { return helper::stagedFile(folders, "00", fileIndex); }
    fs::path output(int fileIndex) const { return helper::outputFile(folders, "00", fileIndex); }
    std::vector<ActionRow> load() const { return helper::getActions("大剑", folders); }

    // Loads, sets one value and exports; returns the rows as exported.
    std::vector<ExportRow> exportWithMotionValue(double motionValue) const {
        std::vector<ExportRow> rows = uneditedExportRows(load());
        rows[0].actVal = motionValue;
        helper::outputRes(rows, folders);
        return rows;
    }
};

TEST_F(Staging, ExportOfTheUneditedRowsGivesTheTemplatesInTheOutputTree) {
    ASSERT_FALSE(fs::exists(folders.program));
    helper::outputRes(uneditedExportRows(load()), folders);

    // Every missing level of out\nativePC\hm\wp\wp00\collision\ was created.
    EXPECT_EQ(output(0), folders.program / "out" / "nativePC" / "hm" / "wp" / "wp00" / "collision" / "wp00.col");
    EXPECT_EQ(output(1).filename(), "wp00_01.col");
    EXPECT_EQ(fileBytes(output(0)), templateBytes(0));
    EXPECT_EQ(fileBytes(output(1)), templateBytes(1));
    EXPECT_EQ(fileBytes(staged(0)), templateBytes(0));
    // Nothing but the two files is left in the output folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(output(0).parent_path()), fs::directory_iterator()), 2);
}

TEST_F(Staging, AnExportWritesTheEditedValueAndALoadDiscardsIt) {
    exportWithMotionValue(250);
    Bytes expected = templateBytes(0);
    const Bytes edited = fileBytes(output(0));
    ASSERT_EQ(edited.size(), expected.size());
    // 250.0f = 0x437A0000 at offset 8 of slot 0.
    const Bytes value = {0x00, 0x00, 0x7A, 0x43};
    std::copy(value.begin(), value.end(), expected.begin() + 3685 + 8);
    EXPECT_EQ(edited, expected);
    EXPECT_EQ(fileBytes(staged(0)), edited);

    const std::vector<ActionRow> reloaded = load();
    EXPECT_EQ(reloaded[0].actVal, "48");
    EXPECT_EQ(fileBytes(staged(0)), templateBytes(0));
    EXPECT_EQ(fileBytes(staged(1)), templateBytes(1));
    EXPECT_EQ(fileBytes(output(0)), edited);  // the output tree is not touched by a load
}

TEST_F(Staging, ALoadReplacesStagedCopiesOfAnyLength) {
    writeBytes(staged(0), Bytes(30000, 0x5A));  // longer than the template
    writeBytes(staged(1), Bytes(10, 0x5A));     // shorter
    load();
    EXPECT_EQ(fileBytes(staged(0)), templateBytes(0));
    EXPECT_EQ(fileBytes(staged(1)), templateBytes(1));
}

TEST_F(Staging, ASecondExportReplacesTheFirst) {
    exportWithMotionValue(250);
    helper::outputRes(uneditedExportRows(load()), folders);
    EXPECT_EQ(fileBytes(output(0)), templateBytes(0));
}

TEST_F(Staging, OtherFilesInTheOutputTreeStay) {
    const fs::path other = folders.outputBase / "wp03" / "collision" / "wp03.col";
    const fs::path beside = output(0).parent_path() / "notes.txt";
    writeBytes(other, {1, 2, 3});
    writeBytes(beside, {4});
    helper::outputRes(uneditedExportRows(load()), folders);
    EXPECT_EQ(fileBytes(other), (Bytes{1, 2, 3}));
    EXPECT_EQ(fileBytes(beside), (Bytes{4}));
}

TEST_F(Staging, ALooseTemplateBesideTheProgramReplacesTheBuiltInOne) {
    Bytes custom = templateBytes(1);
    custom[439 + 8 + 3] = 0x43;  // slot 0's motion value: 5.0f (0x40A00000) becomes 0x43A00000, 320
    writeBytes(folders.program / "res" / "wp00_01.col", custom);
    const std::vector<ActionRow> rows = load();
    EXPECT_EQ(rows[56].actVal, "320");
    EXPECT_EQ(rows[0].actVal, "48");
    EXPECT_EQ(fileBytes(staged(1)), custom);
}

TEST_F(Staging, OnlyTheGreatSwordHasTemplates) {
    EXPECT_THROW(helper::getActions("片手剑", folders), std::invalid_argument);
    EXPECT_THROW(helper::getActions("大剑 ", folders), std::invalid_argument);
    EXPECT_THROW(helper::createRes("01", folders), helper::FileError);
    EXPECT_FALSE(fs::exists(staged(0)));
}

TEST_F(Staging, AFolderThatCannotBeCreatedFailsTheExport) {
    const std::vector<ExportRow> rows = uneditedExportRows(load());
    writeBytes(folders.program / "out", {0});  // a file where the output folder must go
    EXPECT_THROW(helper::outputRes(rows, folders), helper::FileError);
}

// The old output pair stays whole when one file cannot be replaced.
void expectOldOutputKept(const Bytes& old0, const Bytes& old1, const fs::path& out0, const fs::path& out1) {
    EXPECT_EQ(fileBytes(out0), old0);
    EXPECT_EQ(fileBytes(out1), old1);
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(out0.parent_path())) files += entry.is_regular_file();
    EXPECT_EQ(files, 2u) << "a temporary file was left behind";
}

void setReadOnly(const fs::path& path, bool readOnly) {
#ifdef _WIN32
    SetFileAttributesW(path.c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
#else
    fs::permissions(path, readOnly ? fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read
                                   : fs::perms::owner_read | fs::perms::owner_write);
#endif
}

TEST_F(Staging, AReadOnlyOutputFileFailsTheExportAndKeepsTheOldFiles) {
    exportWithMotionValue(250);
    const Bytes old0 = fileBytes(output(0)), old1 = fileBytes(output(1));
    setReadOnly(output(1), true);
    EXPECT_THROW(exportWithMotionValue(300), helper::FileError);
    expectOldOutputKept(old0, old1, output(0), output(1));
    setReadOnly(output(1), false);
    exportWithMotionValue(300);
    EXPECT_NE(fileBytes(output(0)), old0);
}

#ifdef _WIN32
TEST_F(Staging, AnOutputFileHeldOpenByAnotherProgramFailsTheExportAndKeepsTheOldFiles) {
    exportWithMotionValue(250);
    const Bytes old0 = fileBytes(output(0)), old1 = fileBytes(output(1));
    HANDLE lock = CreateFileW(output(1).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_THROW(exportWithMotionValue(300), helper::FileError);
    CloseHandle(lock);
    expectOldOutputKept(old0, old1, output(0), output(1));
}

TEST_F(Staging, AStagedFileHeldOpenByAnotherProgramFailsTheLoad) {
    load();
    HANDLE lock = CreateFileW(staged(0).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    try {
        load();
        ADD_FAILURE() << "the load did not fail";
    } catch (const helper::FileError& error) {
        EXPECT_EQ(error.path(), staged(0));
        EXPECT_FALSE(error.reason().empty());
    }
    CloseHandle(lock);
}
#endif

}  // namespace
