// What start-up does when the system refuses it something, the message loop's
// end, and the editor's own process closed with Alt+F4.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "fixtures.h"
#include "gui_driver.h"
#include "main_window.h"
#include "message_loop.h"
#include "refused_windows.h"
#include "single_instance.h"
#include "text.h"
#include "win32_failure.h"

namespace {

namespace fs = std::filesystem;
using testing_support::Bytes;

TEST(StartUp, AWindowTheSystemRefusesFailsTheStartWithWhatFailedAndLeavesNothing) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    const struct {
        const char* failed;
        bool (*refuse)(HWND, const CREATESTRUCTW&);
    } cases[] = {
        {"主窗口", [](HWND window, const CREATESTRUCTW&) { return isOfClass(window, L"BrindlemarkMainWindow"); }},
        {"listview", [](HWND window, const CREATESTRUCTW&) { return isOfClass(window, WC_LISTVIEWW); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failed);
        testing_support::TempFolders temp;
        std::string failure;
        {
            RefusedWindows refused(c.refuse);
            try {
                const auto editor = MainWindow::start(GetModuleHandleW(nullptr), temp.folders);
                ADD_FAILURE() << "started";
            } catch (const Win32Failure& error) {
                failure = error.what();
            }
        }
        EXPECT_NE(failure.find(c.failed), std::string::npos) << failure;
        EXPECT_NE(failure.find("CreateWindowEx"), std::string::npos) << failure;
        EXPECT_EQ(GlobalFindAtomW(SingleInstance::key), 0);
        EXPECT_EQ(FindWindowW(L"BrindlemarkMainWindow", nullptr), nullptr);
        MSG quit;
        EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));  // a message box would close at once

        // The next start, unhindered, runs.
        const auto editor = MainWindow::start(GetModuleHandleW(nullptr), temp.folders);
        EXPECT_TRUE(editor);
    }
}

TEST(StartUp, TheSystemsReasonNamesItsError) {
    EXPECT_NE(systemReason(ERROR_ACCESS_DENIED), systemReason(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_NE(systemReason(ERROR_INVALID_WINDOW_HANDLE).find("1400"), std::string::npos);
    EXPECT_EQ(systemReason(0), "（系统未给出原因）");
}

TEST(MessageLoop, EndsWithTheQuitCodeOrAFailureWhenNoMessageCanBeHad) {
    PostQuitMessage(7);
    EXPECT_EQ(runMessageLoop(nullptr), 7);
    const auto broken = [](LPMSG, HWND, UINT, UINT) -> BOOL { return -1; };
    EXPECT_EQ(runMessageLoop(nullptr, broken), messageLoopFailed);
    EXPECT_NE(messageLoopFailed, 0);
}

// The editor's own executable and its output files, beside this test.
fs::path besideThisTest(const wchar_t* name) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return fs::path(path).parent_path() / name;
}

TEST(EditorProcess, AltF4AfterAnEditEndsItAndLeavesTheOutputFilesAlone) {
    // The output tree as it was: absent, or with files of an earlier export.
    struct Tree {
        fs::path root;
        bool existed = fs::exists(root);
        ~Tree() {
            std::error_code ignored;
            if (!existed) fs::remove_all(root, ignored);
        }
    } tree{besideThisTest(L"out")};
    const fs::path folder = tree.root / "nativePC" / "hm" / "wp" / "wp00" / "collision";
    const fs::path outputs[] = {folder / "wp00.col", folder / "wp00_01.col"};
    struct Kept {
        fs::path path;
        bool existed = fs::exists(path);
        Bytes bytes = testing_support::fileBytes(path);
        ~Kept() {
            std::error_code ignored;
            if (existed) {
                testing_support::writeBytes(path, bytes);
            } else {
                fs::remove(path, ignored);
            }
        }
    } kept[] = {{outputs[0]}, {outputs[1]}};
    const Bytes earlier[] = {{'o', 'l', 'd', '0'}, {'o', 'l', 'd', '1'}};
    for (int i = 0; i < 2; ++i) testing_support::writeBytes(outputs[i], earlier[i]);

    std::wstring command = L"\"" + besideThisTest(L"brindlemark.exe").wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    struct Handles {
        PROCESS_INFORMATION& process;
        ~Handles() {
            if (WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 99);
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
    } handles{process};

    HWND window = nullptr;
    ASSERT_TRUE(gui::pumpUntil([&] { return (window = SingleInstance::findRunningWindow()) && IsWindowVisible(window); },
                               gui::Limit{20000}));
    // Its great sword loaded through its own selector, then one value edited
    // in its grid with the mouse and the keyboard.
    const HWND selector = FindWindowExW(window, nullptr, WC_COMBOBOXW, nullptr);
    const HWND list = FindWindowExW(window, nullptr, WC_LISTVIEWW, nullptr);
    ASSERT_TRUE(selector && list);
    SendMessageW(selector, CB_SETCURSEL, 0, 0);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(selector), CBN_SELCHANGE), reinterpret_cast<LPARAM>(selector));
    ASSERT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 60);
    SetForegroundWindow(window);
    ASSERT_TRUE(gui::pumpUntil([&] { return GetForegroundWindow() == window; }));

    RECT header{};
    GetWindowRect(FindWindowExW(list, nullptr, WC_HEADERW, nullptr), &header);
    MapWindowPoints(HWND_DESKTOP, list, reinterpret_cast<POINT*>(&header), 2);
    const POINT firstValue{300 + 25, header.bottom + 8};  // 动作值 of row 1: after 60 + 180 + 60 pixels of columns
    gui::doubleClick(list, firstValue);
    HWND box = nullptr;
    ASSERT_TRUE(gui::pumpUntil([&] { return (box = FindWindowExW(list, nullptr, WC_EDITW, nullptr)) && IsWindowVisible(box); }));
    gui::typeText(L"250");
    gui::pressKey(VK_RETURN);
    ASSERT_TRUE(gui::pumpUntil([&] { return !IsWindowVisible(box); }));

    gui::keyDown(VK_MENU);
    gui::pressKey(VK_F4);
    gui::keyUp(VK_MENU);
    ASSERT_TRUE(gui::pumpUntil([&] { return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; },
                               gui::Limit{10000}));
    DWORD exitCode = 99;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    for (int i = 0; i < 2; ++i) EXPECT_EQ(testing_support::fileBytes(outputs[i]), earlier[i]) << i;
    EXPECT_EQ(GlobalFindAtomW(SingleInstance::key), 0);
}

}  // namespace
