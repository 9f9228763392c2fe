// Reads the editor's real message boxes: while one of these exists, every
// message box that this thread opens is recorded (title, text, owner, style
// details) and answered with OK as soon as it is activated, or answered by
// the test itself.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct SeenMessageBox {
    HWND window = nullptr;
    std::wstring title;
    std::wstring text;
    HWND owner = nullptr;
    bool hasIcon = false;
    int buttons = 0;  // push buttons in the box
};

class MessageBoxReader {
public:
    MessageBoxReader();
    MessageBoxReader(const MessageBoxReader&) = delete;
    MessageBoxReader& operator=(const MessageBoxReader&) = delete;
    ~MessageBoxReader();

    const std::vector<SeenMessageBox>& boxes() const { return boxes_; }
    std::vector<std::wstring> texts() const;
    void clear() { boxes_.clear(); }

    // From now on boxes stay open: `answer` is called with each box once it
    // is on screen (from the box's own message loop), and must close it; a
    // box still open ten seconds later is answered with OK.
    void answerWith(std::function<void(HWND box)> answer) { answer_ = std::move(answer); }
    // Whether the last box seen is gone again.
    bool lastClosed() const { return !boxes_.empty() && !IsWindow(boxes_.back().window); }

private:
    static LRESULT CALLBACK hookProcedure(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK waitForBox(HWND, UINT, UINT_PTR timer, DWORD);
    HHOOK hook_ = nullptr;
    std::vector<SeenMessageBox> boxes_;
    std::function<void(HWND)> answer_;
};
