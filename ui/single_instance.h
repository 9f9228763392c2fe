// One editor per user at a time. The first instance adds a global atom and
// stores it as a property of its main window; a later start finds the atom,
// finds the window that carries it, brings that window forward and ends.
#pragma once

#include <windows.h>

class SingleInstance {
public:
    // Fixed identities of the editor: the atom's key and the window property's name.
    static constexpr const wchar_t* key = L"6F1C2A4E-9B3D-4E57-A1C8-2D7F40B9E315";
    static constexpr const wchar_t* property = L"B84E0D71-3C5A-4F92-8E16-7A9C0F2D54B3";

    SingleInstance() = default;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;
    ~SingleInstance() { release(); }

    // True when this process may go on with `window` as the editor's window;
    // false when another instance's window was found and activated. An atom
    // that no window carries (left by an instance that crashed) is replaced.
    // Throws Win32Failure when the atom cannot be added or stored.
    bool claim(HWND window);

    // Deletes the atom and the window's property; done when the window is destroyed.
    void release();

    // The window of a running instance, if any.
    static HWND findRunningWindow();

private:
    HWND window_ = nullptr;
    ATOM atom_ = 0;
};
