#include "subclass.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr UINT probe = WM_APP + 7;
std::vector<std::string> calls;

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == probe) {
        calls.push_back("window");
        return 100;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK first(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data) {
    if (message == probe) calls.push_back("first " + std::to_string(id) + " " + std::to_string(data));
    return callNextSubclass(window, message, wParam, lParam);
}

LRESULT CALLBACK second(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == probe) {
        calls.push_back("second");
        if (wParam == 1) return 7;  // handled: the rest of the chain never sees it
        if (wParam == 2) removeSubclass(window, second, 0);  // leaves during its own message
    }
    return callNextSubclass(window, message, wParam, lParam);
}

// A procedure put in place with SetWindowLongPtrW, as code that knows nothing
// of the chain does it.
WNDPROC beforeForeign = nullptr;
LRESULT CALLBACK foreign(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == probe) calls.push_back("foreign");
    return CallWindowProcW(beforeForeign, window, message, wParam, lParam);
}

class Subclass : public ::testing::Test {
protected:
    HWND window = nullptr;
    void SetUp() override {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = windowProcedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"SubclassProbe";
        RegisterClassW(&windowClass);
        window = CreateWindowExW(0, L"SubclassProbe", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(window);
        calls.clear();
    }
    void TearDown() override {
        if (IsWindow(window)) DestroyWindow(window);
    }
    LONG_PTR procedure() const { return GetWindowLongPtrW(window, GWLP_WNDPROC); }
};

TEST_F(Subclass, TheLastAddedSeesMessagesFirstAndTheWindowLast) {
    ASSERT_TRUE(setSubclass(window, first, 3, 30));
    ASSERT_TRUE(setSubclass(window, second, 0, 0));
    ASSERT_TRUE(setSubclass(window, first, 3, 31));  // the same link: only its data changes
    EXPECT_EQ(SendMessageW(window, probe, 0, 0), 100);
    EXPECT_EQ(calls, (std::vector<std::string>{"second", "first 3 31", "window"}));

    calls.clear();
    EXPECT_EQ(SendMessageW(window, probe, 1, 0), 7);
    EXPECT_EQ(calls, (std::vector<std::string>{"second"}));
}

TEST_F(Subclass, RemovingTheLastLinkGivesTheWindowItsProcedureBack) {
    const LONG_PTR own = procedure();
    setSubclass(window, first, 1, 0);
    setSubclass(window, second, 0, 0);
    EXPECT_NE(procedure(), own);

    SendMessageW(window, probe, 2, 0);  // `second` leaves while handling it
    EXPECT_EQ(calls, (std::vector<std::string>{"second", "first 1 0", "window"}));
    calls.clear();
    SendMessageW(window, probe, 0, 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"first 1 0", "window"}));

    EXPECT_TRUE(removeSubclass(window, first, 1));
    EXPECT_FALSE(removeSubclass(window, first, 1));
    EXPECT_EQ(procedure(), own);
}

TEST_F(Subclass, AProcedureReplacedByOthersKeepsEveryLinkAndCallsEachOnce) {
    ASSERT_TRUE(setSubclass(window, first, 1, 0));
    beforeForeign = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(foreign)));
    ASSERT_TRUE(setSubclass(window, second, 0, 0));
    EXPECT_EQ(SendMessageW(window, probe, 0, 0), 100);
    EXPECT_EQ(calls, (std::vector<std::string>{"foreign", "second", "first 1 0", "window"}));

    // Emptied, the chain passes messages on under the foreign procedure, and
    // takes links again.
    calls.clear();
    EXPECT_TRUE(removeSubclass(window, second, 0));
    EXPECT_TRUE(removeSubclass(window, first, 1));
    EXPECT_EQ(SendMessageW(window, probe, 0, 0), 100);
    EXPECT_EQ(calls, (std::vector<std::string>{"foreign", "window"}));
    calls.clear();
    ASSERT_TRUE(setSubclass(window, first, 2, 0));
    EXPECT_EQ(SendMessageW(window, probe, 0, 0), 100);
    EXPECT_EQ(calls, (std::vector<std::string>{"foreign", "first 2 0", "window"}));
    EXPECT_EQ(procedure(), reinterpret_cast<LONG_PTR>(foreign));
}

TEST_F(Subclass, ADestroyedWindowLeavesNothingBehind) {
    setSubclass(window, first, 1, 0);
    DestroyWindow(window);
    // A new window may get the same handle; it starts with no chain.
    SetUp();
    SendMessageW(window, probe, 0, 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"window"}));
}

}  // namespace
