#include "win32_failure.h"

#include "system_message_win32.h"

Win32Failure::Win32Failure(const std::string& action, DWORD error) : Win32Failure(action, systemReason(error)) {}

Win32Failure::Win32Failure(const std::string& action, const std::string& reason)
    : std::runtime_error(action + "\n" + reason), action_(action), reason_(reason) {}

std::string systemReason(DWORD error) {
    // Some calls fail without setting an error: say so rather than "the
    // operation completed successfully".
    if (error == 0) return "（系统未给出原因）";
    const std::string text = helper::systemMessage(error);
    const std::string code = "(" + std::to_string(error) + ")";
    return text.empty() ? code : text + " " + code;
}
