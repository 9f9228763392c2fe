// brindlemark.exe: no arguments, no settings; one window until it is closed.
//
// Exit codes: 0 when the window was closed, and for a second start that
// brought the running editor forward; 1 when start-up failed (a message box
// says what failed and why); 2 when the system stopped delivering messages.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "folders.h"
#include "main_window.h"
#include "message_loop.h"
#include "text.h"
#include "win32_failure.h"

namespace {

constexpr int startFailed = 1;

void showStartFailure(const std::string& text) {
    MessageBoxW(nullptr, widen("启动失败：" + text).c_str(), L"提示", MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
}

int run(HINSTANCE instance) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    SetLastError(0);
    if (!InitCommonControlsEx(&controls)) throw Win32Failure("无法载入通用控件 (InitCommonControlsEx)");

    const helper::Folders* folders = nullptr;
    try {
        folders = &helper::defaultFolders();
    } catch (const std::exception&) {
        // Only on a system without a per-user application data folder.
        MessageBoxW(nullptr, L"找不到用户数据文件夹", L"提示", MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
        return startFailed;
    }

    const std::unique_ptr<MainWindow> window = MainWindow::start(instance, *folders);
    if (!window) return 0;  // another instance was brought forward
    const KeyboardNavigation navigation = window->navigation();
    return runMessageLoop(&navigation);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Nothing leaves this function by an exception: the window and the atom
    // go with their owners on the way here, and the user learns what failed.
    try {
        return run(instance);
    } catch (const std::exception& failure) {
        showStartFailure(failure.what());
    } catch (...) {
        showStartFailure("（未知错误）");
    }
    return startFailed;
}
