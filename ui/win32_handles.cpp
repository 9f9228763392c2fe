#include "win32_handles.h"

#include <cwchar>

#include "dpi_scale.h"
#include "window_dpi.h"

LOGFONTW systemMessageFont(int dpi) {
    NONCLIENTMETRICSW metrics{};
    if (nonClientMetricsForDpi(metrics, dpi) && metrics.lfMessageFont.lfFaceName[0]) return metrics.lfMessageFont;
    LOGFONTW fallback{};
    fallback.lfHeight = -scaleToDpi(12, dpi);
    fallback.lfWeight = FW_NORMAL;
    fallback.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(fallback.lfFaceName, L"Segoe UI", LF_FACESIZE - 1);
    return fallback;
}

FontHandle makeFont(const wchar_t* face, int characterHeight, int dpi, BYTE charset) {
    LOGFONTW font{};
    font.lfHeight = -scaleToDpi(characterHeight, dpi);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = charset;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    if (face && *face) {
        wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    } else {
        wcsncpy(font.lfFaceName, systemMessageFont(dpi).lfFaceName, LF_FACESIZE - 1);
    }
    return FontHandle(CreateFontIndirectW(&font));
}
