#include <gtest/gtest.h>

#include "popup/window_stack.h"
#include "win/outside_effects.h"

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

// The foreground window that covers its whole monitor keeps the popups away whatever
// its z-order: a film or a game in full screen is seldom always-on-top, and the popup,
// which is, once came over it. One pixel left free is a window, not a full screen; the
// desktop and the shell's own window cover the monitor whenever nothing is in front.
TEST(WindowStack, ForegroundWindowOverItsWholeMonitor) {
    const int w = GetSystemMetrics(SM_CXSCREEN);
    const int h = GetSystemMetrics(SM_CYSCREEN);
    const struct {
        const char* Name;
        RECT Rect;
        bool Topmost;
        bool FullScreen;
    } cases[] = {
        {"ordinary, full screen", {0, 0, w, h}, false, true},
        {"always on top, full screen", {0, 0, w, h}, true, true},
        {"ordinary, past every edge", {-8, -8, w + 8, h + 8}, false, true},
        {"all but a pixel at the right", {0, 0, w - 1, h}, false, false},
        {"all but a pixel at the bottom", {0, 0, w, h - 1}, false, false},
        {"one pixel to the right", {1, 0, w + 1, h}, false, false},
    };
    TestWindow popup(100, 600, 300, 40, true);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TestWindow window(c.Rect.left, c.Rect.top, c.Rect.right - c.Rect.left, c.Rect.bottom - c.Rect.top, c.Topmost);
        EXPECT_EQ(CoversItsMonitor(window.Handle()), c.FullScreen);
        SetForegroundWindow(window.Handle());
        ASSERT_EQ(GetForegroundWindow(), window.Handle());
        EXPECT_EQ(FullScreenInFront(popup.Handle()), c.FullScreen);
        ShowWindow(window.Handle(), SW_MINIMIZE);
        EXPECT_FALSE(CoversItsMonitor(window.Handle())) << "minimised";
    }
    EXPECT_FALSE(CoversItsMonitor(GetDesktopWindow()));
    if (GetShellWindow()) {
        EXPECT_FALSE(CoversItsMonitor(GetShellWindow()));
    }
    TestWindow hidden(0, 0, w, h, false, false);
    EXPECT_FALSE(CoversItsMonitor(hidden.Handle()));
}

// The system's word that the user is busy in a full-screen program, a game or a
// presentation keeps the popups away too; its other states do not.
int gNotificationState = 0;
TEST(WindowStack, UserBusyInFullScreenOrPresenting) {
    TestWindow popup(100, 600, 300, 40, true);
    TestWindow ordinary(50, 50, 200, 200, false);
    SetForegroundWindow(ordinary.Handle());
    Effects().UserNotificationState = [] { return gNotificationState; };
    const struct {
        int State;
        bool Busy;
    } cases[] = {{kUserStateUnknown, false}, {1, false}, {kUserBusy, true}, {kUserRunningFullScreen, true},
                 {kUserPresenting, true},    {5, false}, {6, false},        {7, false}};
    for (const auto& c : cases) {
        gNotificationState = c.State;
        EXPECT_EQ(FullScreenInFront(popup.Handle()), c.Busy) << c.State;
    }
    ResetOutsideEffects();
}

}  // namespace
}  // namespace vemo
