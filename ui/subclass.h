// Subclassing of windows in this process: a chain of procedures per window,
// with the signature and the calling rules of the common controls'
// SetWindowSubclass / DefSubclassProc / RemoveWindowSubclass.
//
// Why not those: under Wine every message through them costs a round trip
// to the server (they keep their chain in a window property, which lives
// there), about 50 microseconds per subclass and message; a grid load sends
// the list some 900 messages. This chain lives in the process, so a message
// costs a table look-up.
#pragma once

#include <windows.h>
#include <commctrl.h>

// Adds `procedure` to the front of `window`'s chain (it sees messages
// before the procedures added earlier), or updates `data` if that
// procedure and id are in the chain already. A procedure that someone else
// put in place after the chain keeps seeing messages before the whole chain.
// False when the window cannot be subclassed.
bool setSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data);

// Takes a procedure out of the chain; the window's own procedure comes back
// when the chain is empty.
bool removeSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id);

// From inside a chained procedure: hands the message to the next one, and
// finally to the window's own procedure.
LRESULT callNextSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
