#include "win32_failure.h"

#include "text.h"

Win32Failure::Win32Failure(const std::string& action, DWORD error) : Win32Failure(action, systemReason(error)) {}

Win32Failure::Win32Failure(const std::string& action, const std::string& reason)
    : std::runtime_error(action + "\n" + reason), action_(action), reason_(reason) {}

std::string systemReason(DWORD error) {
    // Some calls fail without setting an error: say so rather than "the
    // operation completed successfully".
    if (error == 0) return "（系统未给出原因）";
    wchar_t* message = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
        reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    std::wstring text = length && message ? std::wstring(message, length) : std::wstring();
    if (message) LocalFree(message);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
    const std::string code = "(" + std::to_string(error) + ")";
    return text.empty() ? code : narrow(text) + " " + code;
}
