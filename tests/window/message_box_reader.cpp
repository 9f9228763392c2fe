#include "message_box_reader.h"

namespace {

MessageBoxReader* current = nullptr;
std::vector<SeenMessageBox>* seen = nullptr;

// The box waiting for the test's answer.
struct Waiting {
    HWND box = nullptr;
    DWORD since = 0;
    bool answered = false;
    std::function<void(HWND)> answer;
} waiting;

std::wstring textOf(HWND window) {
    wchar_t buffer[1024] = {};
    GetWindowTextW(window, buffer, 1024);
    return buffer;
}

BOOL CALLBACK inspectChild(HWND child, LPARAM context) {
    auto& box = *reinterpret_cast<SeenMessageBox*>(context);
    wchar_t className[64] = {};
    GetClassNameW(child, className, 64);
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    if (lstrcmpiW(className, L"Static") == 0 && (style & SS_TYPEMASK) == SS_ICON) box.hasIcon = true;
    if (lstrcmpiW(className, L"Button") == 0 && (style & WS_VISIBLE)) ++box.buttons;  // the box itself is not shown yet
    return TRUE;
}

}  // namespace

MessageBoxReader::MessageBoxReader() {
    current = this;
    seen = &boxes_;
    hook_ = SetWindowsHookExW(WH_CBT, hookProcedure, nullptr, GetCurrentThreadId());
}

MessageBoxReader::~MessageBoxReader() {
    UnhookWindowsHookEx(hook_);
    current = nullptr;
    seen = nullptr;
}

std::vector<std::wstring> MessageBoxReader::texts() const {
    std::vector<std::wstring> result;
    for (const SeenMessageBox& box : boxes_) result.push_back(box.text);
    return result;
}

LRESULT CALLBACK MessageBoxReader::hookProcedure(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && seen) {
        HWND window = reinterpret_cast<HWND>(wParam);
        wchar_t className[16] = {};
        GetClassNameW(window, className, 16);
        bool known = false;
        for (const SeenMessageBox& box : *seen) known = known || box.window == window;
        if (lstrcmpW(className, L"#32770") == 0 && !known) {
            SeenMessageBox box;
            box.window = window;
            box.title = textOf(window);
            box.text = textOf(GetDlgItem(window, 0xFFFF));  // the box's message text
            box.owner = GetWindow(window, GW_OWNER);
            EnumChildWindows(window, inspectChild, reinterpret_cast<LPARAM>(&box));
            seen->push_back(box);
            if (current && current->answer_) {
                waiting = {window, GetTickCount(), false, current->answer_};
                SetTimer(nullptr, 0, 50, waitForBox);
            } else {
                PostMessageW(window, WM_COMMAND, IDOK, 0);
            }
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK MessageBoxReader::waitForBox(HWND, UINT, UINT_PTR timer, DWORD) {
    if (!IsWindow(waiting.box)) {
        KillTimer(nullptr, timer);
        return;
    }
    if (!waiting.answered && IsWindowVisible(waiting.box)) {
        waiting.answered = true;
        waiting.answer(waiting.box);
    }
    if (GetTickCount() - waiting.since > 10000) {
        PostMessageW(waiting.box, WM_COMMAND, IDOK, 0);
        KillTimer(nullptr, timer);
    }
}
