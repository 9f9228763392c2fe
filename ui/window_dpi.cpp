#include "window_dpi.h"

#include <initializer_list>

#include "dpi_scale.h"

namespace {

// A function of user32 that older systems lack, or null there.
template <typename Function>
Function fromUser32(const char* name) {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using SystemParametersInfoForDpiFunction = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);

}  // namespace

int windowDpi(HWND window) {
    static const auto getDpiForWindow = fromUser32<GetDpiForWindowFunction>("GetDpiForWindow");
    if (getDpiForWindow && window) {
        if (const UINT dpi = getDpiForWindow(window)) return static_cast<int>(dpi);
    }
    return screenDpi();
}

int screenDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : defaultDpi;
}

void adjustWindowRectForDpi(RECT& rect, DWORD style, DWORD extendedStyle, int dpi) {
    static const auto adjustForDpi = fromUser32<AdjustWindowRectExForDpiFunction>("AdjustWindowRectExForDpi");
    const RECT client = rect;
    if (adjustForDpi && adjustForDpi(&rect, style, FALSE, extendedStyle, static_cast<UINT>(dpi))) return;
    rect = client;
    // The frame at the screen's DPI, the only one such a system has.
    AdjustWindowRectEx(&rect, style, FALSE, extendedStyle);
}

bool nonClientMetricsForDpi(NONCLIENTMETRICSW& metrics, int dpi) {
    static const auto forDpi = fromUser32<SystemParametersInfoForDpiFunction>("SystemParametersInfoForDpi");
    metrics = {};
    metrics.cbSize = sizeof metrics;
    if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi))) return true;
    // Without it the system gives its sizes at the screen's DPI.
    metrics = {};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return false;
    const int screen = screenDpi();
    if (screen != dpi) {
        for (LOGFONTW* font : {&metrics.lfCaptionFont, &metrics.lfSmCaptionFont, &metrics.lfMenuFont,
                               &metrics.lfStatusFont, &metrics.lfMessageFont}) {
            font->lfHeight = MulDiv(font->lfHeight, dpi, screen);
        }
    }
    return true;
}
