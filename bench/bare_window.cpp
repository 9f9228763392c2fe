// bare_window.exe: the least a program like the editor can do before its
// window shows, as the baseline of window_timing's start-up figure. One
// top-level window with one report-view list filling it, common controls 6
// (see bare_window.manifest), shown; closed with the window.
#include <windows.h>
#include <commctrl.h>

namespace {

constexpr wchar_t windowClass[] = L"BrindlemarkBareWindow";

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    if (!InitCommonControlsEx(&controls)) return 1;

    WNDCLASSEXW windowClassInfo{};
    windowClassInfo.cbSize = sizeof windowClassInfo;
    windowClassInfo.lpfnWndProc = windowProcedure;
    windowClassInfo.hInstance = instance;
    windowClassInfo.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClassInfo.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClassInfo.lpszClassName = windowClass;
    if (!RegisterClassExW(&windowClassInfo)) return 1;

    const HWND window = CreateWindowExW(0, windowClass, L"bare window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                        CW_USEDEFAULT, 800, 600, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    RECT client{};
    GetClientRect(window, &client);
    if (!CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, client.right,
                         client.bottom, window, nullptr, instance, nullptr)) {
        return 1;
    }
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
