#include "staging.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "file_io.h"
#include "fixtures.h"
#include "generated_family.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
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

TEST_F(Staging, WithoutItsFilesAFamilyHasNoTemplates) {
    EXPECT_TRUE(helper::hasTemplates("00", folders));
    EXPECT_FALSE(helper::hasTemplates("01", folders));
    EXPECT_THROW(helper::getActions("片手剑", folders), helper::FileError);
    EXPECT_THROW(helper::getActions("大剑 ", folders), std::invalid_argument);
    EXPECT_THROW(helper::createRes("01", folders), helper::FileError);
    EXPECT_FALSE(fs::exists(staged(0)));
}

// The reason of the FileError that a load throws; it names `path`.
std::string loadRefusal(const helper::Folders& folders, const fs::path& path, std::string_view family = "大剑") {
    try {
        helper::getActions(family, folders);
    } catch (const helper::FileError& error) {
        EXPECT_EQ(error.path(), path);
        return error.reason();
    }
    ADD_FAILURE() << "the load was not refused";
    return "";
}

TEST_F(Staging, ALooseTemplateThatDoesNotFollowTheLayoutIsRefusedAndNothingIsStaged) {
    const fs::path loose = folders.program / "res" / "wp00.col";
    Bytes random(18047);
    std::uint32_t seed = 7;
    for (auto& byte : random) byte = static_cast<std::uint8_t>((seed = seed * 1103515245 + 12345) >> 16);
    const Bytes full = templateBytes(0);
    const struct {
        Bytes file;
        const char* reason;
    } cases[] = {
        {Bytes(full.begin(), full.begin() + 9000), "at 3677: the record count 66 does not fit"},
        {{}, "at 0: expected the header (20 bytes), found the end of the file"},
        {random, "at 0: expected the tag COL"},
        {Bytes(full.begin(), full.end() - 1), "at 18043: expected the end of the file"},
        // Another family's file: its record table is elsewhere.
        {testing_support::generatedFile(0), "the record table starts at 574, not at 3685 where this family has it"},
    };
    const Bytes marker{1, 2, 3};
    writeBytes(staged(0), marker);
    writeBytes(staged(1), marker);
    for (const auto& c : cases) {
        writeBytes(loose, c.file);
        const std::string reason = loadRefusal(folders, loose);
        EXPECT_EQ(reason.rfind(c.reason, 0), 0u) << reason;
        EXPECT_EQ(fileBytes(staged(0)), marker);
        EXPECT_EQ(fileBytes(staged(1)), marker);
    }
    // A damaged second file stops the load before the first is staged too.
    fs::remove(loose);
    writeBytes(folders.program / "res" / "wp00_01.col", {});
    loadRefusal(folders, folders.program / "res" / "wp00_01.col");
    EXPECT_EQ(fileBytes(staged(0)), marker);
}

TEST_F(Staging, OnlyRegularFilesAreRead) {
    const fs::path loose = folders.program / "res" / "wp00.col";
    fs::create_directories(loose);
    EXPECT_EQ(loadRefusal(folders, loose), "it is a folder, not a file");
    EXPECT_THROW(helper::readWholeFile(folders.program / "res"), helper::FileError);
#ifndef _WIN32
    // A FIFO is refused at once: opening it does not wait for a writer.
    fs::remove(loose);
    ASSERT_EQ(::mkfifo(loose.c_str(), 0600), 0);
    EXPECT_EQ(loadRefusal(folders, loose), "it is a FIFO (named pipe), not a file");
    try {
        helper::readWholeFile("/dev/null");
        ADD_FAILURE() << "a device was read";
    } catch (const helper::FileError& error) {
        EXPECT_EQ(error.reason(), "it is a device, not a file");
    }
#else
    try {
        helper::readWholeFile(L"NUL");
        ADD_FAILURE() << "a device was read";
    } catch (const helper::FileError& error) {
        EXPECT_EQ(error.reason(), "it is a device or a pipe, not a file");
    }
#endif
}

TEST_F(Staging, AnotherFamilyLoadsFromItsFilesBesideTheProgramAndExportsToItsFolder) {
    using testing_support::generatedFile;
    EXPECT_FALSE(helper::hasTemplates("03", folders));
    writeBytes(folders.program / "res" / "wp03.col", generatedFile(0));
    writeBytes(folders.program / "res" / "wp03_01.col", generatedFile(1));
    EXPECT_TRUE(helper::hasTemplates("03", folders));

    const std::vector<ActionRow> rows = helper::getActions("太刀", folders);
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[0].actName, "縦斬り");
    EXPECT_EQ(fileBytes(helper::stagedFile(folders, "03", 0)), generatedFile(0));

    std::vector<ExportRow> edited = uneditedExportRows(rows);
    edited[1].actVal = 250;  // file 0, slot 1; the table starts at 574
    helper::outputRes(edited, folders);
    const fs::path out0 = folders.program / "out" / "nativePC" / "hm" / "wp" / "wp03" / "collision" / "wp03.col";
    Bytes expected = generatedFile(0);
    const Bytes value = {0x00, 0x00, 0x7A, 0x43};
    std::copy(value.begin(), value.end(), expected.begin() + 574 + 217 + 8);
    EXPECT_EQ(fileBytes(out0), expected);
    EXPECT_EQ(fileBytes(out0.parent_path() / "wp03_01.col"), generatedFile(1));

    // Only one of the two files: the load names the missing one.
    fs::remove(folders.program / "res" / "wp03_01.col");
    EXPECT_TRUE(helper::hasTemplates("03", folders));
    EXPECT_EQ(loadRefusal(folders, folders.program / "res" / "wp03_01.col", "太刀"), "there is no template of this name");
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
