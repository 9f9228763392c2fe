// Drives real Win32 windows from a test running on the thread that owns them.
//
//   gui::activate(window);                          // foreground, with the focus
//   gui::doubleClick(list, gui::centre(cellRect));  // real input via SendInput
//   ASSERT_TRUE(gui::pumpUntil([&] { return IsWindowVisible(box); }));
//   gui::click(list, elsewhere);
//   ASSERT_TRUE(gui::settle());                     // that click is handled now
//
// Input goes through SendInput, so it takes the path a user's input takes:
// the window under the pointer, the capture, the focus, double-click timing.
// Every mouse event carries absolute coordinates (a bare cursor move followed
// by button events may press at the old place). Waiting is always done by
// dispatching messages until a condition holds or a time limit passes, never
// by fixed sleeps. Two clicks in quick succession at nearly the same place
// make a double-click, as for a user: click a few pixels apart when two
// single clicks are meant. Windows only; tests using it must not run in
// parallel with each other (they share the pointer and the focus).
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace gui {

using Limit = std::chrono::milliseconds;
inline constexpr Limit defaultLimit{5000};

// Dispatches this thread's messages until `done()` holds, or `limit` passes;
// whether it held. `done` is checked at least every 10 ms.
bool pumpUntil(const std::function<bool()>& done, Limit limit = defaultLimit);

// While one lives, the pump hands every message to `dispatch` (a program's
// own message loop body, with its keyboard navigation) instead of
// TranslateMessage and DispatchMessageW.
class DispatchThrough {
public:
    explicit DispatchThrough(std::function<void(MSG&)> dispatch);
    DispatchThrough(const DispatchThrough&) = delete;
    DispatchThrough& operator=(const DispatchThrough&) = delete;
    ~DispatchThrough();

private:
    std::function<void(MSG&)> previous_;
};

// Waits until all input sent so far has been dispatched: sends a marker key
// (VK_F24, which never reaches a window) and pumps until it comes through.
// For checks that something did not happen. Keys go to the foreground
// window, so one of this thread's windows must be it.
bool settle(Limit limit = defaultLimit);

// Shows a top-level window, makes it the foreground window and gives it the
// keyboard focus; whether it got there.
bool activate(HWND window, Limit limit = defaultLimit);

POINT centre(const RECT& rect);
POINT toScreen(HWND window, POINT client);

// Mouse input at a point in `window`'s client coordinates (left button).
void moveTo(HWND window, POINT client);
void press(HWND window, POINT client);
void release(HWND window, POINT client);
void click(HWND window, POINT client);
void doubleClick(HWND window, POINT client);
// Turns the mouse wheel at a point: `clicks` notches away from the user
// (positive) or towards (negative).
void wheel(HWND window, POINT client, int clicks);

// Keyboard input to the focus window: virtual keys, and text as characters.
void keyDown(WORD key);
void keyUp(WORD key);
void pressKey(WORD key);
void typeText(std::wstring_view text);

// The colour of a screen pixel as it is shown now.
COLORREF screenPixel(POINT screen);

// The pixels of a screen rectangle as shown now, copied at once (reading an
// area pixel by pixel is slow).
class ScreenImage {
public:
    explicit ScreenImage(const RECT& screen);
    // CLR_INVALID outside the rectangle.
    COLORREF at(POINT screen) const;

private:
    RECT rect_;
    std::vector<std::uint32_t> pixels_;  // 0x00RRGGBB, top row first
};

}  // namespace gui
