// A Win32 call that failed: what the program was doing and the system's reason.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

class Win32Failure : public std::runtime_error {
public:
    // `action` says what failed ("无法创建主窗口 (CreateWindowEx)"); the reason
    // is the system's text for `error`, by default the thread's last error.
    explicit Win32Failure(const std::string& action, DWORD error = GetLastError());
    Win32Failure(const std::string& action, const std::string& reason);

    const std::string& action() const { return action_; }
    const std::string& reason() const { return reason_; }

private:
    std::string action_;
    std::string reason_;
};

// The system's own (localised) text for an error code, without the trailing
// line break; a note that no reason was given for 0.
std::string systemReason(DWORD error);
