// Reads the editor's real message boxes: while one of these exists, every
// message box that this thread opens is recorded (title, text, owner, style
// details) and answered with OK as soon as it is activated.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct SeenMessageBox {
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

private:
    static LRESULT CALLBACK hookProcedure(int code, WPARAM wParam, LPARAM lParam);
    HHOOK hook_ = nullptr;
    std::vector<SeenMessageBox> boxes_;
};
