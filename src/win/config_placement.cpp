#include "win/config_placement.h"

#include "win/module_state.h"

namespace vemo {

POINT ConfigWindowOrigin(int screenWidth, int screenHeight, int smallCaptionHeight) {
    return {(screenWidth - kConfigWindowWidth) / 2, (screenHeight - kConfigWindowBaseHeight - smallCaptionHeight) / 2};
}

void ShowConfigWindowCentred() {
    HWND window = gPlugin.ConfigWindow;
    if (!window) return;
    const POINT origin = ConfigWindowOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                            GetSystemMetrics(SM_CYSMCAPTION));
    SetWindowPos(window, HWND_TOP, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(window);
}

}  // namespace vemo
