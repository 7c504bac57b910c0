#include <gtest/gtest.h>

#include "popup/window_stack.h"

namespace vemo {
namespace {

// A plain popup window, destroyed with the test.
class TestWindow {
public:
    TestWindow(int x, int y, int w, int h, bool topmost, bool visible = true) {
        static bool registered = false;
        if (!registered) {
            WNDCLASSA wc{};
            wc.lpfnWndProc = DefWindowProcA;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = "VemoStackTest";
            RegisterClassA(&wc);
            registered = true;
        }
        hwnd_ = CreateWindowExA(topmost ? WS_EX_TOPMOST | WS_EX_TOOLWINDOW : WS_EX_TOOLWINDOW, "VemoStackTest", "",
                                WS_POPUP, x, y, w, h, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        if (visible) ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    }
    ~TestWindow() { DestroyWindow(hwnd_); }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND Handle() const { return hwnd_; }
    // Puts this window directly above `below`.
    void PlaceAbove(HWND below) {
        SetWindowPos(below, hwnd_, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }

private:
    HWND hwnd_;
};

TEST(WindowStack, TopmostWindowHasNothingAbove) {
    TestWindow popup(100, 600, 300, 40, true);
    SetWindowPos(popup.Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_FALSE(FullScreenWindowAbove(popup.Handle()));
    EXPECT_TRUE(WindowUncovered(popup.Handle()));
}

TEST(WindowStack, OverlappingWindowAboveCovers) {
    TestWindow popup(100, 600, 300, 40, true);
    TestWindow cover(350, 620, 200, 200, true);
    cover.PlaceAbove(popup.Handle());
    ASSERT_EQ(GetWindow(popup.Handle(), GW_HWNDPREV) != nullptr, true);
    EXPECT_FALSE(WindowUncovered(popup.Handle()));
    EXPECT_FALSE(FullScreenWindowAbove(popup.Handle()));
}

TEST(WindowStack, NonOverlappingOrHiddenWindowsAboveDoNotCover) {
    TestWindow popup(100, 600, 300, 40, true);
    TestWindow beside(500, 100, 200, 200, true);
    beside.PlaceAbove(popup.Handle());
    EXPECT_TRUE(WindowUncovered(popup.Handle()));
    // Touching edges do not overlap.
    TestWindow touching(400, 600, 100, 40, true);
    touching.PlaceAbove(popup.Handle());
    EXPECT_TRUE(WindowUncovered(popup.Handle()));
    TestWindow hidden(100, 600, 300, 40, true, false);
    hidden.PlaceAbove(popup.Handle());
    EXPECT_TRUE(WindowUncovered(popup.Handle()));
}

TEST(WindowStack, FullScreenWindowAboveIsDetected) {
    const int w = GetSystemMetrics(SM_CXSCREEN);
    const int h = GetSystemMetrics(SM_CYSCREEN);
    TestWindow popup(100, 600, 300, 40, true);
    TestWindow almost(0, 0, w - 1, h, true);
    almost.PlaceAbove(popup.Handle());
    EXPECT_FALSE(FullScreenWindowAbove(popup.Handle()));
    TestWindow full(-4, -4, w + 8, h + 8, true);
    full.PlaceAbove(popup.Handle());
    EXPECT_TRUE(FullScreenWindowAbove(popup.Handle()));
    EXPECT_FALSE(WindowUncovered(popup.Handle()));
}

TEST(WindowStack, FullScreenWindowBelowDoesNotCount) {
    const int w = GetSystemMetrics(SM_CXSCREEN);
    const int h = GetSystemMetrics(SM_CYSCREEN);
    TestWindow full(0, 0, w, h, false);
    TestWindow popup(100, 600, 300, 40, true);
    SetWindowPos(popup.Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_FALSE(FullScreenWindowAbove(popup.Handle()));
}

}  // namespace
}  // namespace vemo
