// Keys typed on the X server's keyboard through xdotool. To Wine they are a
// user's keys: a low-level keyboard hook sees them without the injected flag
// that every key sent with SendInput carries. The Wine window must have the
// X focus, which xdotool gives it first.
#pragma once

#include <windows.h>

class RealKeys {
public:
    // Counts the real key releases from now on (a low-level hook of its own).
    RealKeys();
    RealKeys(const RealKeys&) = delete;
    RealKeys& operator=(const RealKeys&) = delete;
    ~RealKeys();

    // Types Enter into the top-level `window` and pumps messages until the
    // key's release has come through; whether it did.
    bool enter(HWND window);

    // Only starts xdotool to type Enter into `window`; for a window whose own
    // modal loop runs meanwhile (a message box).
    static bool startEnter(HWND window);

private:
    static LRESULT CALLBACK hook(int code, WPARAM message, LPARAM data);
    HHOOK hook_ = nullptr;
};
