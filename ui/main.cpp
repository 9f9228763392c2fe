// brindlemark.exe: no arguments, no settings; one window until it is closed.
#include <windows.h>
#include <commctrl.h>

#include "folders.h"
#include "main_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    const helper::Folders* folders = nullptr;
    try {
        folders = &helper::defaultFolders();
    } catch (const std::exception&) {
        // Only on a system without a per-user application data folder.
        MessageBoxW(nullptr, L"找不到用户数据文件夹", L"提示", MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
        return 1;
    }
    std::unique_ptr<MainWindow> window = MainWindow::start(instance, *folders);
    if (!window) return 0;  // another instance was brought forward
    return runMessageLoop();
}
