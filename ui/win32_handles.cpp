#include "win32_handles.h"

#include <cwchar>

LOGFONTW systemMessageFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) &&
        metrics.lfMessageFont.lfFaceName[0]) {
        return metrics.lfMessageFont;
    }
    LOGFONTW fallback{};
    fallback.lfHeight = -12;
    fallback.lfWeight = FW_NORMAL;
    fallback.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(fallback.lfFaceName, L"Segoe UI", LF_FACESIZE - 1);
    return fallback;
}

FontHandle makeFont(const wchar_t* face, int characterHeight, BYTE charset) {
    LOGFONTW font{};
    font.lfHeight = -characterHeight;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = charset;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    if (face && *face) {
        wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    } else {
        wcsncpy(font.lfFaceName, systemMessageFont().lfFaceName, LF_FACESIZE - 1);
    }
    return FontHandle(CreateFontIndirectW(&font));
}
