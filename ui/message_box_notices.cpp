#include "message_box_notices.h"

#include "text.h"

void MessageBoxNotices::notice(const std::string& text) {
    MessageBoxW(owner_, widen(text).c_str(), L"提示", MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
}
