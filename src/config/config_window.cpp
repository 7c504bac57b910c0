#include "config/config_window.h"

#include "win/module_state.h"
#include "win/player_link.h"
#include "win/scoped_win.h"
#include "win/shared_texts.h"

namespace vemo {

namespace {

constexpr int kInitialX = 200;
constexpr int kInitialY = 100;

// The caption line of the window, centred in its width.
constexpr char kAboutLine[] = "Quavix VEMO plug-in v1.605  -  all rights reserved by its author";

int WindowHeight() { return kConfigWindowBaseHeight + GetSystemMetrics(SM_CYSMCAPTION); }

// The window going away outside our own quit means the player is closing its windows.
void OnDestroy() {
    if (!gPlugin.ClosingOwnWindows) SendCommand(CmdExit);
}

}  // namespace

bool RegisterConfigClass(HINSTANCE instance) {
    return RegisterPlainClass(instance, kConfigClassName, ConfigWindowProc, COLOR_BTNFACE);
}

void UnregisterConfigClass(HINSTANCE instance) { UnregisterClassA(kConfigClassName, instance); }

HWND CreateConfigWindow(HINSTANCE instance, HWND owner) {
    return CreateWindowExA(WS_EX_TOOLWINDOW, kConfigClassName, "", WS_OVERLAPPED, kInitialX, kInitialY,
                           kConfigWindowWidth, WindowHeight(), owner, nullptr, instance, nullptr);
}

LRESULT CALLBACK ConfigWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY: OnDestroy(); break;
        default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int16_t MeasureAboutLineX() {
    ScopedGetDC dc(gPlugin.ConfigWindow);
    if (!dc.Get()) return 0;
    ScopedSelectObject font(dc.Get(), gPlugin.Fonts.Bold.Get());
    SIZE size{};
    GetTextExtentPoint32A(dc.Get(), kAboutLine, static_cast<int>(sizeof(kAboutLine) - 1), &size);
    return static_cast<int16_t>((kConfigWindowWidth - size.cx) / 2);
}

}  // namespace vemo
