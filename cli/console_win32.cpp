// A Windows console shows UTF-16 written with WriteConsoleW whatever its code
// page; a redirected handle (file or pipe) gets the UTF-8 bytes unchanged.
// Neither goes through the C runtime, whose text mode would turn the CSV's
// CRLF into CR CR LF.
#include <windows.h>

#include <string>

#include "console.h"
#include "text.h"

namespace cli {

namespace {

bool writeTo(DWORD which, std::string_view text) {
    const HANDLE handle = GetStdHandle(which);
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr) return false;
    if (text.empty()) return true;
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) {
        const std::wstring wide = widen(text);
        std::size_t done = 0;
        while (done < wide.size()) {
            // Large writes to a console can fail; a few thousand characters at a time do not.
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(wide.size() - done, 8192));
            DWORD written = 0;
            if (!WriteConsoleW(handle, wide.data() + done, chunk, &written, nullptr) || written == 0) return false;
            done += written;
        }
        return true;
    }
    std::size_t done = 0;
    while (done < text.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 1u << 20));
        if (!WriteFile(handle, text.data() + done, chunk, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}

}  // namespace

bool writeStandardOutput(std::string_view text) { return writeTo(STD_OUTPUT_HANDLE, text); }
bool writeStandardError(std::string_view text) { return writeTo(STD_ERROR_HANDLE, text); }

}  // namespace cli
