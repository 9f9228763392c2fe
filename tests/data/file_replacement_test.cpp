// Replacing a pair of files as one: both new files or both old ones, whatever
// step fails, and no file of ours left behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "file_io.h"
#include "fixtures.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;

using helper::FileSetReplacement;
using helper::LeftoverKind;
using helper::NewContent;
using testing_support::Bytes;
using testing_support::fileBytes;
using testing_support::writeBytes;

// The id of a process that has ended, as an export killed before its end has.
unsigned long idOfAnEndedProcess() {
#ifdef _WIN32
    // This test program itself, asked to run no test.
    wchar_t program[MAX_PATH];
    EXPECT_NE(GetModuleFileNameW(nullptr, program, MAX_PATH), 0u);
    std::wstring commandLine = L"\"" + std::wstring(program) + L"\" --gtest_filter=-*";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &process)) {
        ADD_FAILURE() << "cannot start a process: " << GetLastError();
        return 0;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    const unsigned long id = process.dwProcessId;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return id;
#else
    const pid_t child = fork();
    if (child == 0) _exit(0);
    EXPECT_GT(child, 0);
    int status = 0;
    waitpid(child, &status, 0);
    return static_cast<unsigned long>(child);
#endif
}

unsigned long thisProcessId() {
#ifdef _WIN32
    return GetCurrentProcessId();
#else
    return static_cast<unsigned long>(getpid());
#endif
}

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(helper::pathText(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

class FileSet : public ::testing::Test {
protected:
    testing_support::TempFolder temp;
    fs::path folder = temp.path() / "collision";
    fs::path target[2] = {folder / "wp00.col", folder / "wp00_01.col"};
    const Bytes oldBytes[2] = {Bytes(300, 0x11), Bytes(200, 0x22)};
    const Bytes newBytes[2] = {Bytes(300, 0xAA), Bytes(200, 0xBB)};

    std::vector<NewContent> newPair() const {
        return {{target[0], newBytes[0].data(), newBytes[0].size()}, {target[1], newBytes[1].data(), newBytes[1].size()}};
    }
    void writeOldPair() {
        writeBytes(target[0], oldBytes[0]);
        writeBytes(target[1], oldBytes[1]);
    }
};

TEST_F(FileSet, OnlyNamesOfOurOwnLeftoversAreRecognised) {
    const fs::path wp00 = fs::path("out") / "wp00.col";
    const auto made = helper::leftoverOf(wp00, helper::leftoverName(wp00, LeftoverKind::newContent, 4321, 7));
    ASSERT_TRUE(made);
    EXPECT_EQ(made->kind, LeftoverKind::newContent);
    EXPECT_EQ(made->processId, 4321u);
    const auto old = helper::leftoverOf(wp00, "wp00.col.brindlemark-12-1.old");
    ASSERT_TRUE(old);
    EXPECT_EQ(old->kind, LeftoverKind::oldFile);
    EXPECT_EQ(old->processId, 12u);

    // A user's files, and ours of another target, are not ours to remove.
    for (const char* name : {"wp00.col", "wp00.col.old", "wp00.col.2024-05.old", "wp00.col.bak",
                             "wp00.col.brindlemark-12-1.new.txt", "wp00.col.brindlemark-12-1.bak",
                             "wp00.col.brindlemark-12.new", "wp00.col.brindlemark--1.new", "wp00.col.brindlemark-12-.old",
                             "wp00.col.brindlemark-x-1.new", "wp00.col.brindlemark-+12-1.new",
                             "wp00.col.brindlemark-99999999999999999999999-1.new", "wp00_01.col.brindlemark-12-1.new",
                             "xwp00.col.brindlemark-12-1.new", "wp00.colbrindlemark-12-1.new"}) {
        EXPECT_FALSE(helper::leftoverOf(wp00, name)) << name;
    }
}

TEST_F(FileSet, ASecondTargetThatIsAFolderIsRefusedBeforeTheFirstIsReplaced) {
    for (const bool firstExisted : {true, false}) {
        fs::remove_all(folder);
        if (firstExisted) writeBytes(target[0], oldBytes[0]);
        writeBytes(target[1] / "inside.txt", {1, 2, 3});
        try {
            helper::replaceFiles(newPair());
            ADD_FAILURE() << "the replacement did not fail";
        } catch (const helper::FileError& error) {
            EXPECT_EQ(error.path(), target[1]);
            EXPECT_EQ(error.reason(), "it is a folder");
        }
        if (firstExisted) {
            EXPECT_EQ(fileBytes(target[0]), oldBytes[0]);
            EXPECT_EQ(namesIn(folder), (std::vector<std::string>{"wp00.col", "wp00_01.col"}));
        } else {
            EXPECT_EQ(namesIn(folder), (std::vector<std::string>{"wp00_01.col"}));
        }
        EXPECT_EQ(namesIn(target[1]), (std::vector<std::string>{"inside.txt"}));
    }
}

TEST_F(FileSet, ASecondRenameThatFailsPutsTheOldFilesBack) {
    for (const bool oldPairExisted : {true, false}) {
        fs::remove_all(folder);
        if (oldPairExisted) writeOldPair();
        FileSetReplacement replacement = FileSetReplacement::prepare(newPair());
        // The second new file vanishes between the checks and the renames, so
        // its rename fails after the first target has been replaced.
        ASSERT_TRUE(fs::remove(replacement.files()[1].temporary()));
        try {
            replacement.commit();
            ADD_FAILURE() << "the commit did not fail";
        } catch (const helper::FileError& error) {
            EXPECT_EQ(error.path(), target[1]);
        }
        if (oldPairExisted) {
            EXPECT_EQ(fileBytes(target[0]), oldBytes[0]);
            EXPECT_EQ(fileBytes(target[1]), oldBytes[1]);
            EXPECT_EQ(namesIn(folder), (std::vector<std::string>{"wp00.col", "wp00_01.col"}));
        } else {
            EXPECT_TRUE(namesIn(folder).empty()) << namesIn(folder).front();
        }
    }
}

#ifdef _WIN32
TEST_F(FileSet, ASecondTargetLockedAfterTheChecksPutsTheFirstBack) {
    writeOldPair();
    {
        FileSetReplacement replacement = FileSetReplacement::prepare(newPair());
        // Opened without FILE_SHARE_DELETE: it can no longer be moved aside.
        HANDLE lock = CreateFileW(target[1].c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(lock, INVALID_HANDLE_VALUE);
        EXPECT_THROW(replacement.commit(), helper::FileError);
        CloseHandle(lock);
    }
    EXPECT_EQ(fileBytes(target[0]), oldBytes[0]);
    EXPECT_EQ(fileBytes(target[1]), oldBytes[1]);
    EXPECT_EQ(namesIn(folder), (std::vector<std::string>{"wp00.col", "wp00_01.col"}));

    // Once the other program lets go, the next replacement goes through.
    helper::replaceFiles(newPair());
    EXPECT_EQ(fileBytes(target[0]), newBytes[0]);
    EXPECT_EQ(fileBytes(target[1]), newBytes[1]);
}
#endif

TEST_F(FileSet, TheNextReplacementRemovesWhatAKilledOneLeftBehind) {
    writeOldPair();
    const unsigned long ended = idOfAnEndedProcess();
    // Killed with the first new file written and the second old file moved aside.
    writeBytes(helper::leftoverName(target[0], LeftoverKind::newContent, ended, 1), Bytes(300, 0x5A));
    fs::rename(target[1], helper::leftoverName(target[1], LeftoverKind::oldFile, ended, 2));
    // Ours, of a process still running (this one), and the user's own files stay.
    const fs::path running = helper::leftoverName(target[0], LeftoverKind::newContent, thisProcessId(), 999);
    writeBytes(running, {1});
    writeBytes(folder / "wp00.col.bak", {2});
    writeBytes(folder / "wp00.col.2024-05.old", {3});

    helper::replaceFiles(newPair());
    EXPECT_EQ(fileBytes(target[0]), newBytes[0]);
    EXPECT_EQ(fileBytes(target[1]), newBytes[1]);
    EXPECT_EQ(namesIn(folder), (std::vector<std::string>{"wp00.col", "wp00.col.2024-05.old", "wp00.col.bak",
                                                         helper::pathText(running.filename()), "wp00_01.col"}));
}

TEST_F(FileSet, AnOldFileThatAKilledReplacementMovedAsideIsPutBack) {
    writeOldPair();
    const unsigned long ended = idOfAnEndedProcess();
    fs::rename(target[0], helper::leftoverName(target[0], LeftoverKind::oldFile, ended, 1));
    fs::remove(target[1]);
    fs::create_directory(target[1]);
    // This replacement fails (its second target is a folder), and the old first
    // file is where it was before the killed replacement began.
    EXPECT_THROW(helper::replaceFiles(newPair()), helper::FileError);
    EXPECT_EQ(fileBytes(target[0]), oldBytes[0]);
    EXPECT_EQ(namesIn(folder), (std::vector<std::string>{"wp00.col", "wp00_01.col"}));
}

TEST_F(FileSet, ASuccessfulReplacementLeavesOnlyTheNewFiles) {
    for (const bool oldPairExisted : {true, false}) {
        fs::remove_all(folder);
        if (oldPairExisted) writeOldPair();
        helper::replaceFiles(newPair());
        EXPECT_EQ(fileBytes(target[0]), newBytes[0]);
        EXPECT_EQ(fileBytes(target[1]), newBytes[1]);
        EXPECT_EQ(namesIn(folder), (std::vector<std::string>{"wp00.col", "wp00_01.col"}));
    }
}

}  // namespace
