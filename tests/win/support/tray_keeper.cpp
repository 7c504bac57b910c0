// Keeps one icon of the test program in the notification area for the whole run. Wine's
// tray window hides when its last icon goes, and without a window manager hiding a
// window costs 2 s; the plug-in adds its button at load, so nearly every test would pay.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

namespace vemo::test {
namespace {

class TrayKeeper : public ::testing::Environment {
public:
    void SetUp() override {
        window_ = CreateWindowExA(0, "STATIC", "tray keeper", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        record_.cbSize = NOTIFYICONDATAA_V1_SIZE;
        record_.hWnd = window_;
        record_.uID = 1;
        Shell_NotifyIconA(NIM_ADD, &record_);
    }
    void TearDown() override {
        Shell_NotifyIconA(NIM_DELETE, &record_);
        DestroyWindow(window_);
    }

private:
    HWND window_ = nullptr;
    NOTIFYICONDATAA record_{};
};

[[maybe_unused]] ::testing::Environment* const gTrayKeeper = ::testing::AddGlobalTestEnvironment(new TrayKeeper);

}  // namespace
}  // namespace vemo::test
