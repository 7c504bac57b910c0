#include "popup/popup_window.h"

#include <cstdint>

#include "actions/hotkeys.h"
#include "plugin/player_link.h"
#include "plugin/plugin_state.h"
#include "plugin/plugin_texts.h"
#include "popup/window_stack.h"
#include "text/text.h"

namespace vemo {

namespace {

// Initial place and size of both popups; every show operation moves them.
constexpr int kInitialX = 200;
constexpr int kInitialY = 200;
constexpr int kInitialWidth = 300;
constexpr int kInitialHeight = 100;

void HidePopup(HWND popup) { ShowWindow(popup, SW_HIDE); }

void OnHideMainPopupTimer() {
    gSongWatch.TitleChangeCount = 0;
    KillTimer(gPlugin.MainPopup, kTimerHideMainPopup);
    HidePopup(gPlugin.MainPopup);
    KillTimer(gPlugin.MainPopup, kTimerMainCoverWatch);
    gPopup.LiveRefresh = false;
}

void OnHideInfoPopupTimer() {
    KillTimer(gPlugin.MainPopup, kTimerHideInfoPopup);
    HidePopup(gPlugin.InfoPopup);
    KillTimer(gPlugin.MainPopup, kTimerInfoCoverWatch);
}

// A popup that something comes to lie over hides instead of fighting for the top.
void OnCoverWatchTimer(HWND popup, UINT_PTR timer, void (*hide)()) {
    if (WindowUncovered(popup)) return;
    KillTimer(gPlugin.MainPopup, timer);
    hide();
}

// The live track display refreshes only while the track information action keeps it on.
void OnLiveTrackTimer() {
    if (!gPopup.LiveRefresh) return;
}

void OnTimer(UINT_PTR id) {
    switch (id) {
        case kTimerHideMainPopup: OnHideMainPopupTimer(); break;
        case kTimerLiveTrack: OnLiveTrackTimer(); break;
        case kTimerHideInfoPopup: OnHideInfoPopupTimer(); break;
        case kTimerInfoCoverWatch: OnCoverWatchTimer(gPlugin.InfoPopup, id, OnHideInfoPopupTimer); break;
        case kTimerMainCoverWatch: OnCoverWatchTimer(gPlugin.MainPopup, id, OnHideMainPopupTimer); break;
        default: break;
    }
}

// The popups are drawn completely by their show operations; letting the system erase
// them in between would only make them flicker.
LRESULT OnEraseBackground(HWND window, WPARAM wParam, LPARAM lParam) {
    if (gPopup.EraseAllowed) return DefWindowProcA(window, WM_ERASEBKGND, wParam, lParam);
    return 1;
}

// Either popup going away means the player is tearing down its thread's windows,
// unless it is our own quit closing them.
void OnDestroy() {
    gPlugin.Fonts.Bold.Reset();
    gPlugin.Fonts.LevelBar.Reset();
    gPlugin.Fonts.Text.Reset();
    if (!gPlugin.ClosingOwnWindows) SendCommand(CmdExit);
}

}  // namespace

bool RegisterPopupClass(HINSTANCE instance) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = PopupWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_INFOBK + 1));
    wc.lpszClassName = kPopupClassName;
    return RegisterClassA(&wc) != 0;
}

void UnregisterPopupClass(HINSTANCE instance) { UnregisterClassA(kPopupClassName, instance); }

HWND CreatePopupWindow(HINSTANCE instance, HWND owner) {
    return CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kPopupClassName, "", WS_POPUP, kInitialX, kInitialY,
                           kInitialWidth, kInitialHeight, owner, nullptr, instance, nullptr);
}

LRESULT CALLBACK PopupWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_HOTKEY: DispatchHotkey(static_cast<int32_t>(wParam)); break;
        case WM_TIMER: OnTimer(wParam); break;
        case WM_ERASEBKGND: return OnEraseBackground(window, wParam, lParam);
        case WM_DESTROY: OnDestroy(); return 0;
        default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void ShowPopup(const std::string& text) {
    HWND popup = gPlugin.MainPopup;
    if (!popup || gSettings.OptDisableVemos() || FullScreenWindowAbove(popup) || Trim(text).empty()) return;
    SetTimer(popup, kTimerMainCoverWatch, kCoverWatchPeriodMs, nullptr);
    gPopup.HintArmed = false;
    gPopup.LevelShown = false;
    HidePopup(gPlugin.InfoPopup);
    gPopup.CurrentPopupText = " " + text + " ";
    if (!IsWindowVisible(popup)) ShowWindow(popup, SW_SHOWNOACTIVATE);
}

void ArmHideTimer(UINT milliseconds) {
    KillTimer(gPlugin.MainPopup, kTimerHideMainPopup);
    SetTimer(gPlugin.MainPopup, kTimerHideMainPopup, milliseconds, nullptr);
}

void StopAllTimers() {
    if (!gPlugin.MainPopup) return;
    for (UINT_PTR id = 0; id <= kLastTimerId; ++id) KillTimer(gPlugin.MainPopup, id);
}

}  // namespace vemo
