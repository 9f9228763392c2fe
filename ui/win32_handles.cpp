#include "win32_handles.h"

#include <string>

std::wstring userInterfaceFace() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) && metrics.lfMessageFont.lfFaceName[0]) {
        return metrics.lfMessageFont.lfFaceName;
    }
    return L"Segoe UI";
}

FontHandle makeFont(const wchar_t* face, int characterHeight, BYTE charset) {
    const std::wstring name = face && *face ? std::wstring(face) : userInterfaceFace();
    return FontHandle(CreateFontW(-characterHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, charset,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  DEFAULT_PITCH | FF_DONTCARE, name.c_str()));
}
