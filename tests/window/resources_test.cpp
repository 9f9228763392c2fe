// What brindlemark.exe carries for the system, read as the system reads it:
// an icon with an image of its own at 16, 32 and 48 pixels, the window class
// taking the large and the small one, and a manifest that asks for the
// version 6 common controls and to run as the user who starts it (so that a
// write the user may not make fails instead of being redirected).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <type_traits>
#include <vector>

#include "editor_executable.h"
#include "fixtures.h"
#include "main_window.h"
#include "win32_handles.h"

namespace {

template <typename Handle, auto release>
struct Release {
    void operator()(Handle handle) const { release(handle); }
};
template <typename Handle, auto release>
using Owned = std::unique_ptr<std::remove_pointer_t<Handle>, Release<Handle, release>>;
using Module = Owned<HMODULE, FreeLibrary>;
using Icon = Owned<HICON, DestroyIcon>;
using ActivationContext = Owned<HANDLE, ReleaseActCtx>;
using Bitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;

Module editorResources() {
    return Module(LoadLibraryExW(editorExecutable().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
}

// A resource's bytes; empty when the module has no such resource.
std::string_view resourceBytes(HMODULE module, const wchar_t* name, const wchar_t* type) {
    HRSRC found = FindResourceW(module, name, type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return {};
    return {static_cast<const char*>(bytes), SizeofResource(module, found)};
}

// An icon as the system made it: its size and its colour pixels, BGRA with
// the top row first.
struct IconImage {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint8_t alphaAt(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x] >> 24; }
};

IconImage imageOf(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return {};
    const Bitmap colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bitmap{};
    if (!colour || !GetObjectW(colour.get(), sizeof bitmap, &bitmap)) return {};
    IconImage image{bitmap.bmWidth, bitmap.bmHeight, {}};
    image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = image.width;
    format.bmiHeader.biHeight = -image.height;  // top row first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, colour.get(), 0, image.height, image.pixels.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != image.height) return {};
    return image;
}

TEST(EditorResources, TheIconHasAnImageOfItsOwnAt16_32And48Pixels) {
    const Module module = editorResources();
    ASSERT_TRUE(module) << GetLastError();
    const std::string_view group = resourceBytes(module.get(), MAKEINTRESOURCEW(1), RT_GROUP_ICON);
    ASSERT_FALSE(group.empty());
    for (const int size : {16, 32, 48}) {
        SCOPED_TRACE(size);
        // The image the system picks for this size is drawn at this size, with alpha.
        auto* directory = reinterpret_cast<BYTE*>(const_cast<char*>(group.data()));
        const int id = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
        const std::string_view bits = resourceBytes(module.get(), MAKEINTRESOURCEW(id), RT_ICON);
        ASSERT_GE(bits.size(), sizeof(BITMAPINFOHEADER));
        BITMAPINFOHEADER header{};
        std::memcpy(&header, bits.data(), sizeof header);
        EXPECT_EQ(header.biWidth, size);
        EXPECT_EQ(header.biHeight, 2 * size);  // the colour rows and the mask rows
        EXPECT_EQ(header.biBitCount, 32);

        const Icon icon(static_cast<HICON>(
            LoadImageW(module.get(), MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
        const IconImage image = imageOf(icon.get());
        ASSERT_EQ(image.width, size);
        ASSERT_EQ(image.height, size);
        EXPECT_EQ(image.alphaAt(0, 0), 0) << "the corners show what is behind the icon";
        EXPECT_EQ(image.alphaAt(size - 1, size - 1), 0);
        EXPECT_EQ(image.alphaAt(size / 2, size / 2), 255);
    }
}

// window_tests.exe carries the same icon, so that its main windows are
// registered as the editor's are.
TEST(EditorResources, TheWindowClassHasTheLargeAndTheSmallImage) {
    testing_support::TempFolders temp;
    auto editor = MainWindow::start(GetModuleHandleW(nullptr), temp.folders);
    ASSERT_TRUE(editor);
    const auto large = reinterpret_cast<HICON>(GetClassLongPtrW(editor->window(), GCLP_HICON));
    const auto small = reinterpret_cast<HICON>(GetClassLongPtrW(editor->window(), GCLP_HICONSM));
    const IconImage largeImage = imageOf(large), smallImage = imageOf(small);
    editor.reset();
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    EXPECT_EQ(largeImage.width, GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(largeImage.height, GetSystemMetrics(SM_CYICON));
    EXPECT_EQ(smallImage.width, GetSystemMetrics(SM_CXSMICON));
    EXPECT_EQ(smallImage.height, GetSystemMetrics(SM_CYSMICON));
}

// The manifest as the loader reads it: the editor runs as the user who
// starts it, and comctl32 is the version 6 one.
TEST(EditorResources, TheManifestRunsAsInvokerWithCommonControls6) {
    const std::wstring executable = editorExecutable();
    ACTCTXW request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = executable.c_str();
    request.lpResourceName = MAKEINTRESOURCEW(1);
    const HANDLE created = CreateActCtxW(&request);
    ASSERT_NE(created, INVALID_HANDLE_VALUE) << "the manifest does not parse: " << GetLastError();
    const ActivationContext context(created);

    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION runLevel{};
    ASSERT_TRUE(QueryActCtxW(0, context.get(), nullptr, RunlevelInformationInActivationContext, &runLevel,
                             sizeof runLevel, nullptr));
    EXPECT_EQ(runLevel.RunLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);
    EXPECT_EQ(runLevel.UiAccess, 0u);

    ULONG_PTR cookie = 0;
    ASSERT_TRUE(ActivateActCtx(context.get(), &cookie));
    ACTCTX_SECTION_KEYED_DATA redirection{};
    redirection.cbSize = sizeof redirection;
    const BOOL redirected =
        FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, L"comctl32.dll", &redirection);
    DeactivateActCtx(0, cookie);
    EXPECT_TRUE(redirected) << "comctl32.dll is not redirected to a side-by-side version";
}

}  // namespace
