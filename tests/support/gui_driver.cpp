#include "gui_driver.h"

#include <algorithm>
#include <initializer_list>
#include <utility>
#include <vector>

namespace gui {

namespace {

using Clock = std::chrono::steady_clock;

constexpr WORD markerKey = VK_F24;

std::function<void(MSG&)> dispatcher;  // empty: TranslateMessage and DispatchMessageW

bool isMarker(const MSG& msg) {
    const bool key = msg.message == WM_KEYDOWN || msg.message == WM_KEYUP || msg.message == WM_SYSKEYDOWN ||
                     msg.message == WM_SYSKEYUP;
    return key && msg.wParam == markerKey;
}

// Dispatches messages until `done` holds or the limit passes; `consume` may
// take a message out before it is dispatched.
bool pump(const std::function<bool()>& done, Limit limit, const std::function<bool(const MSG&)>& consume) {
    const Clock::time_point deadline = Clock::now() + limit;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));  // for the caller's own loop
                return done();
            }
            if (consume && consume(msg)) continue;
            if (dispatcher) {
                dispatcher(msg);
            } else {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        if (done()) return true;
        const Clock::time_point now = Clock::now();
        if (now >= deadline) return false;
        const auto wait = std::min<Clock::duration>(std::chrono::milliseconds(10), deadline - now);
        MsgWaitForMultipleObjectsEx(
            0, nullptr, static_cast<DWORD>(std::chrono::ceil<std::chrono::milliseconds>(wait).count()), QS_ALLINPUT,
            MWMO_INPUTAVAILABLE);
    }
}

// A mouse event at a screen point, in the 0..65535 coordinates of the
// primary screen, rounded up so that the system maps them back exactly.
INPUT mouseAt(POINT screen, DWORD buttons) {
    const LONG width = GetSystemMetrics(SM_CXSCREEN);
    const LONG height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((static_cast<long long>(screen.x) * 65536 + width - 1) / width);
    input.mi.dy = static_cast<LONG>((static_cast<long long>(screen.y) * 65536 + height - 1) / height);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
    return input;
}

void mouse(HWND window, POINT client, std::initializer_list<DWORD> events) {
    const POINT screen = toScreen(window, client);
    std::vector<INPUT> inputs;
    for (DWORD buttons : events) inputs.push_back(mouseAt(screen, buttons));
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT key(WORD virtualKey, WORD character, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = character;
    input.ki.dwFlags = flags;
    return input;
}

void send(std::vector<INPUT> inputs) {
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace

bool pumpUntil(const std::function<bool()>& done, Limit limit) { return pump(done, limit, nullptr); }

DispatchThrough::DispatchThrough(std::function<void(MSG&)> dispatch) : previous_(std::move(dispatcher)) {
    dispatcher = std::move(dispatch);
}

DispatchThrough::~DispatchThrough() { dispatcher = std::move(previous_); }

bool settle(Limit limit) {
    bool arrived = false;
    send({key(markerKey, 0, 0), key(markerKey, 0, KEYEVENTF_KEYUP)});
    return pump([&] { return arrived; }, limit, [&](const MSG& msg) {
        if (!isMarker(msg)) return false;
        if (msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP) arrived = true;
        return true;
    });
}

bool activate(HWND window, Limit limit) {
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetFocus(window);
    return pumpUntil([&] { return GetForegroundWindow() == window && GetFocus() == window; }, limit);
}

POINT centre(const RECT& rect) { return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

POINT toScreen(HWND window, POINT client) {
    ClientToScreen(window, &client);
    return client;
}

void moveTo(HWND window, POINT client) { mouse(window, client, {0}); }
void press(HWND window, POINT client) { mouse(window, client, {MOUSEEVENTF_LEFTDOWN}); }
void release(HWND window, POINT client) { mouse(window, client, {MOUSEEVENTF_LEFTUP}); }
void click(HWND window, POINT client) { mouse(window, client, {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}); }

void doubleClick(HWND window, POINT client) {
    mouse(window, client, {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
}

void wheel(HWND window, POINT client, int clicks) {
    INPUT input = mouseAt(toScreen(window, client), MOUSEEVENTF_WHEEL);
    input.mi.mouseData = static_cast<DWORD>(clicks * WHEEL_DELTA);
    SendInput(1, &input, sizeof(INPUT));
}

void keyDown(WORD virtualKey) { send({key(virtualKey, 0, 0)}); }
void keyUp(WORD virtualKey) { send({key(virtualKey, 0, KEYEVENTF_KEYUP)}); }
void pressKey(WORD virtualKey) { send({key(virtualKey, 0, 0), key(virtualKey, 0, KEYEVENTF_KEYUP)}); }

void typeText(std::wstring_view text) {
    std::vector<INPUT> inputs;
    for (wchar_t character : text) {
        inputs.push_back(key(0, character, KEYEVENTF_UNICODE));
        inputs.push_back(key(0, character, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
    }
    send(std::move(inputs));
}

COLORREF screenPixel(POINT screen) {
    const HDC dc = GetDC(nullptr);
    const COLORREF colour = GetPixel(dc, screen.x, screen.y);
    ReleaseDC(nullptr, dc);
    return colour;
}

ScreenImage::ScreenImage(const RECT& screen) : rect_(screen) {
    const int width = std::max<LONG>(screen.right - screen.left, 0);
    const int height = std::max<LONG>(screen.bottom - screen.top, 0);
    pixels_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    if (pixels_.empty()) return;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HDC screenDc = GetDC(nullptr);
    const HDC copyDc = CreateCompatibleDC(screenDc);
    const HBITMAP copy = CreateDIBSection(screenDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (copyDc && copy && bits) {
        const HGDIOBJ before = SelectObject(copyDc, copy);
        BitBlt(copyDc, 0, 0, width, height, screenDc, screen.left, screen.top, SRCCOPY);
        GdiFlush();
        const auto* source = static_cast<const std::uint32_t*>(bits);
        for (std::size_t i = 0; i < pixels_.size(); ++i) pixels_[i] = source[i] & 0xFFFFFF;
        SelectObject(copyDc, before);
    }
    if (copy) DeleteObject(copy);
    if (copyDc) DeleteDC(copyDc);
    ReleaseDC(nullptr, screenDc);
}

COLORREF ScreenImage::at(POINT screen) const {
    if (!PtInRect(&rect_, screen)) return CLR_INVALID;
    const auto width = static_cast<std::size_t>(rect_.right - rect_.left);
    const std::uint32_t pixel =
        pixels_[static_cast<std::size_t>(screen.y - rect_.top) * width + static_cast<std::size_t>(screen.x - rect_.left)];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

}  // namespace gui
