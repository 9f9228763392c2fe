// The shell's drag and drop of files onto a window (WM_DROPFILES).
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <filesystem>
#include <vector>

// Lets the shell drop files on the window. Also from a file manager running
// without the elevation this program may run with: the system filters the
// messages of a drop between the two otherwise, and the drop would be ignored.
void acceptDroppedFiles(HWND window);

// The paths of a drop, in the order the shell gives them. The drop is
// released (DragFinish), as its receiver must, whatever happens here; a
// message whose block holds no drop gives no paths and its block is left
// alone.
std::vector<std::filesystem::path> takeDroppedPaths(HDROP drop);
