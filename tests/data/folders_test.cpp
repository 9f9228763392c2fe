#include "folders.h"

#include <gtest/gtest.h>

namespace {

#ifdef _WIN32
TEST(Folders, JoinsWithExactlyOneBackslash) {
    const helper::Folders folders = helper::foldersFor(L"C:\\Users\\u\\AppData\\Roaming", L"D:\\games\\editor\\");
    EXPECT_EQ(folders.working.native(), L"C:\\Users\\u\\AppData\\Roaming\\tessaly\\brindlemark\\");
    EXPECT_EQ(folders.outputBase.native(), L"D:\\games\\editor\\out\\nativePC\\hm\\wp\\");
    EXPECT_EQ(helper::stagedFile(folders, "00", 1).native(), L"C:\\Users\\u\\AppData\\Roaming\\tessaly\\brindlemark\\wp00_01.col");
    EXPECT_EQ(helper::outputFile(folders, "00", 0).native(), L"D:\\games\\editor\\out\\nativePC\\hm\\wp\\wp00\\collision\\wp00.col");

    // The same without a trailing backslash on the program's folder.
    EXPECT_EQ(helper::foldersFor(L"C:\\data", L"D:\\x").outputBase.native(), L"D:\\x\\out\\nativePC\\hm\\wp\\");
}

TEST(Folders, TheProgramsOwnFoldersAreTheUsersRoamingDataAndTheExecutablesFolder) {
    const helper::Folders& folders = helper::defaultFolders();
    const std::wstring working = folders.working.native();
    ASSERT_GT(working.size(), 21u);
    EXPECT_EQ(working.substr(working.size() - 21), L"\\tessaly\\brindlemark\\");
    EXPECT_EQ(working.find(L"\\\\"), std::wstring::npos);
    EXPECT_NE(working.find(L"AppData\\Roaming"), std::wstring::npos);
    EXPECT_EQ(folders.program.native().back(), L'\\');
}
#else
TEST(Folders, JoinsWithExactlyOneSeparator) {
    const helper::Folders folders = helper::foldersFor("/home/u/.local/share/", "/opt/editor");
    EXPECT_EQ(folders.working.native(), "/home/u/.local/share/tessaly/brindlemark/");
    EXPECT_EQ(folders.outputBase.native(), "/opt/editor/out/nativePC/hm/wp/");
    EXPECT_EQ(helper::stagedFile(folders, "00", 0).native(), "/home/u/.local/share/tessaly/brindlemark/wp00.col");
    EXPECT_EQ(helper::outputFile(folders, "00", 1).native(), "/opt/editor/out/nativePC/hm/wp/wp00/collision/wp00_01.col");
}
#endif

TEST(Folders, NamesTheTemplatesAndTheirCopies) {
    EXPECT_EQ(helper::templateName("00", 0), "\\res\\wp00.col");
    EXPECT_EQ(helper::templateName("00", 1), "\\res\\wp00_01.col");
    EXPECT_EQ(helper::collisionFileName("13", 1), "wp13_01.col");
}

}  // namespace
