#pragma once

#include <windows.h>

#include "grid_cells.h"

// Every message of the editor: a modal box owned by the main window, with the
// information icon, one OK button and the title "提示", brought to the front.
class MessageBoxNotices : public Notices {
public:
    explicit MessageBoxNotices(HWND owner) : owner_(owner) {}
    void notice(const std::string& text) override;

private:
    HWND owner_;
};
