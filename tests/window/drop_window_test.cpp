// Files dropped on the main window, as the shell drops them: a WM_DROPFILES
// posted with a real HDROP. A folder, two files and a list of edits set their
// values in the grid over a fresh load; a refused drop changes nothing; the
// export writes the dropped values.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "editor_window.h"
#include "exported_mod.h"
#include "file_io.h"
#include "generated_family.h"
#include "text.h"

namespace {

using testing_support::Bytes;
using testing_support::exportedMod;
using testing_support::generatedFile;
using testing_support::templateBytes;
using testing_support::writeBytes;

namespace fs = std::filesystem;

// What the shell posts for a drop: a movable global block holding a DROPFILES
// with wide paths after it, each ending in a zero and one more zero after the
// last. The receiver frees it with DragFinish.
HGLOBAL postDrop(HWND window, const std::vector<fs::path>& paths) {
    std::wstring list;
    for (const fs::path& path : paths) list += path.wstring() + L'\0';
    list += L'\0';
    const SIZE_T size = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!memory) return nullptr;
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->pt = {200, 300};
    drop->fNC = FALSE;
    drop->fWide = TRUE;
    std::memcpy(reinterpret_cast<BYTE*>(drop) + sizeof(DROPFILES), list.data(), list.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    if (!PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0)) {
        GlobalFree(memory);
        return nullptr;
    }
    return memory;
}

void writePair(const fs::path& folder, const std::string& code, const Bytes& file0, const Bytes& file1) {
    writeBytes(folder / ("wp" + code + ".col"), file0);
    writeBytes(folder / ("wp" + code + "_01.col"), file1);
}

class DroppedOnTheWindow : public Window {
protected:
    fs::path drops = temp.root.path() / "drops";

    // Drops and waits until the window has released the drop, which it
    // does first, whether the drop is used or refused; its message box, if
    // any, has been answered by then too.
    void drop(const std::vector<fs::path>& paths) {
        HGLOBAL memory = postDrop(editor->window(), paths);
        ASSERT_TRUE(memory);
        ASSERT_TRUE(gui::pumpUntil([&] { return GlobalSize(memory) == 0; }));
        ASSERT_TRUE(gui::settle());
    }
    LRESULT selection() const { return SendMessageW(selector(), CB_GETCURSEL, 0, 0); }
    bool anyOutput() const { return fs::exists(temp.folders.outputBase); }
};

TEST_F(DroppedOnTheWindow, AFolderOfAnExportedModSetsItsValuesAndTheExportWritesTheSameFiles) {
    const auto mod = exportedMod();
    writePair(drops / "mod", "00", mod[0], mod[1]);
    EXPECT_TRUE(GetWindowLongW(editor->window(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);  // the shell drops here
    loadGreatSword();
    openComboOn(5);  // an editor left open over the rows the drop replaces

    drop({drops / "mod"});
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_FALSE(IsWindowVisible(combo()));
    ASSERT_EQ(grid().rowCount(), 60);
    EXPECT_EQ(cell(1, 4), L"打击");
    EXPECT_EQ(cell(1, 5), L"250");
    EXPECT_EQ(cell(9, 9), L"35");
    EXPECT_EQ(cell(60, 6), L"1.35");
    EXPECT_EQ(cell(60, 11), L"12.5");
    EXPECT_EQ(cell(5, 1), L"");  // the load's unarmed rows
    EXPECT_EQ(cell(60, 12), L"4;combobox;{切断,打击,弹}");
    EXPECT_EQ(GetFocus(), list());
    EXPECT_FALSE(anyOutput());

    EXPECT_EQ(clickForMessage(Control::btn_out), L"导出成功，在程序运行目录下的out文件夹");
    EXPECT_EQ(exported(0), mod[0]);
    EXPECT_EQ(exported(1), mod[1]);
}

TEST_F(DroppedOnTheWindow, TwoFilesOfAnotherFamilyChooseItInTheSelectorWithoutASecondLoad) {
    writePair(temp.folders.program / "res", "03", generatedFile(0), generatedFile(1));
    const Bytes file1 = testing_support::longSwordModFile1();
    writePair(drops, "03", generatedFile(0), file1);
    ASSERT_EQ(selection(), CB_ERR);

    drop({drops / "wp03_01.col", drops / "wp03.col"});
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_EQ(selection(), 3);  // 太刀
    ASSERT_EQ(grid().rowCount(), 7);
    EXPECT_EQ(cell(7, 5), L"40");  // a second load would have put back 33
    EXPECT_EQ(cell(2, 3), L"突き");
    EXPECT_FALSE(anyOutput());

    EXPECT_EQ(clickForMessage(Control::btn_out), L"导出成功，在程序运行目录下的out文件夹");
    const fs::path out = temp.folders.outputBase / "wp03" / "collision";
    EXPECT_EQ(testing_support::fileBytes(out / "wp03.col"), generatedFile(0));
    EXPECT_EQ(testing_support::fileBytes(out / "wp03_01.col"), file1);
}

TEST_F(DroppedOnTheWindow, AListSetsTheCellsItNamesOverAFreshLoad) {
    testing_support::writeBytes(drops / "edits.csv", Bytes(testing_support::spreadsheetList.begin(),
                                                           testing_support::spreadsheetList.end()));
    loadGreatSword();
    openEditBox(2, 5);
    gui::typeText(L"77");  // still in the edit box: the drop's load discards it

    drop({drops / "edits.csv"});
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_FALSE(editBoxOpen());
    EXPECT_EQ(selection(), 0);
    EXPECT_EQ(cell(1, 4), L"弹");
    EXPECT_EQ(cell(1, 6), L"1.25");
    EXPECT_EQ(cell(60, 4), L"切断");
    EXPECT_EQ(cell(60, 6), L"2");
    EXPECT_EQ(cell(2, 5), L"26");
    EXPECT_EQ(cell(60, 5), L"48");
    EXPECT_FALSE(anyOutput());

    EXPECT_EQ(clickForMessage(Control::btn_out), L"导出成功，在程序运行目录下的out文件夹");
    Bytes expected0 = templateBytes(0);
    expected0[3685 + 4] = 3;
    helper::storeFloat32(expected0.data() + 3685 + 16, 1.25f);
    Bytes expected1 = templateBytes(1);
    expected1[439 + 3 * 217 + 4] = 1;
    helper::storeFloat32(expected1.data() + 439 + 3 * 217 + 16, 2.0f);
    EXPECT_EQ(exported(0), expected0);
    EXPECT_EQ(exported(1), expected1);
}

TEST_F(DroppedOnTheWindow, ARefusedDropNamesTheFileAndReasonAndLeavesTheGridAsItWas) {
    Bytes truncated = templateBytes(0);
    truncated.resize(100);
    writePair(drops / "truncated", "00", truncated, templateBytes(1));
    writePair(drops / "long", "00", generatedFile(0), generatedFile(1));  // another family's files, renamed
    loadGreatSword();
    openEditBox(2, 5);
    gui::typeText(L"77");
    gui::pressKey(VK_RETURN);
    ASSERT_TRUE(gui::pumpUntil([&] { return cell(2, 5) == L"77" && !editBoxOpen(); }));
    const auto before = dataCells();

    const struct {
        fs::path dropped, named;
        std::string reason;
    } cases[] = {
        {drops / "truncated", drops / "truncated" / "wp00.col",
         "at 16: the name count 67 does not fit: it needs at least 1340 bytes, 80 bytes are left"},
        {drops / "long" / "wp00.col", drops / "long" / "wp00.col",
         "its record table starts at 574 and holds 6 records; the templates of 大剑 have theirs at 3685 with 66 "
         "(a file of another family, or of another version?)"},
    };
    for (const auto& c : cases) {
        boxes.clear();
        if (c.dropped.has_extension()) {
            drop({c.dropped, drops / "long" / "wp00_01.col"});
        } else {
            drop({c.dropped});
        }
        ASSERT_TRUE(boxes.lastClosed());
        const SeenMessageBox& box = boxes.boxes().front();
        EXPECT_EQ(box.title, L"提示");
        EXPECT_EQ(box.owner, editor->window());
        EXPECT_EQ(narrow(box.text), "无法使用拖入的文件：" + helper::pathText(c.named) + "\n" + c.reason);
        EXPECT_EQ(dataCells(), before);
        EXPECT_EQ(selection(), 0);
    }
    EXPECT_FALSE(anyOutput());
}

// Wine hands a WM_DROPFILES from another process over with that process's
// handle, which may name a block of the editor's own, such as an edit
// control's text. Freeing it broke that control; reading it as a drop would
// give nonsense.
TEST_F(DroppedOnTheWindow, AMessageWhoseBlockHoldsNoDropIsIgnoredAndTheBlockLeftAlone) {
    loadGreatSword();
    const auto before = dataCells();
    const std::wstring text = L"大剑 and the rest of an edit control's text";
    const SIZE_T size = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    ASSERT_TRUE(block);
    std::memcpy(GlobalLock(block), text.c_str(), size);
    GlobalUnlock(block);

    ASSERT_TRUE(PostMessageW(editor->window(), WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0));
    ASSERT_TRUE(gui::settle());
    EXPECT_EQ(GlobalSize(block), size);
    EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(GlobalLock(block))), text);
    GlobalUnlock(block);
    GlobalFree(block);
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_EQ(dataCells(), before);
}

}  // namespace
