// The pictures of a header's sort arrows: a masked 16 x 15 image list holding
// a grey up triangle (image 0, ascending) and a grey down triangle (image 1,
// descending), each with a base of 7 pixels on pixel rows 6 to 9.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <type_traits>

namespace lvGrid {

struct ImageListDeleter {
    void operator()(HIMAGELIST list) const noexcept { ImageList_Destroy(list); }
};
using ImageList = std::unique_ptr<std::remove_pointer_t<HIMAGELIST>, ImageListDeleter>;

// Draws both arrows into a new image list; null when the system refuses one.
ImageList createSortArrows();

}  // namespace lvGrid
