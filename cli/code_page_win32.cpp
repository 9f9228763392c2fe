#include <windows.h>

#include <climits>
#include <stdexcept>

#include "code_page.h"
#include "text.h"

namespace cli {

std::optional<std::string> utf8FromCodePage936(std::string_view bytes) {
    if (bytes.empty()) return std::string();
    if (bytes.size() > INT_MAX) throw std::runtime_error("the text is too long to convert");
    constexpr UINT chinese = 936;
    const int size = static_cast<int>(bytes.size());
    // With MB_ERR_INVALID_CHARS a byte sequence the code page does not define
    // fails the call instead of becoming a replacement character.
    const int length = MultiByteToWideChar(chinese, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length == 0) {
        if (GetLastError() == ERROR_NO_UNICODE_TRANSLATION) return std::nullopt;
        throw std::runtime_error("this system cannot convert text in code page 936 (GBK)");
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(chinese, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), length);
    return narrow(wide);
}

}  // namespace cli
