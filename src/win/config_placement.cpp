#include "win/config_placement.h"

#include "win/dpi_scale.h"
#include "win/module_state.h"

namespace vemo {

SIZE ConfigWindowSize(int dpi) {
    return {ScaleToDpi(kConfigWindowWidth, dpi),
            ScaleToDpi(kConfigWindowBaseHeight, dpi) + SystemMetricAt(SM_CYSMCAPTION, dpi)};
}

POINT ConfigWindowOrigin(int screenWidth, int screenHeight, SIZE window) {
    return {(screenWidth - window.cx) / 2, (screenHeight - window.cy) / 2};
}

void ShowConfigWindowCentred() {
    HWND window = gPlugin.ConfigWindow;
    if (!window) return;
    SendMessageW(window, kPrepareWindowMessage, 0, 0);
    RECT r{};
    GetWindowRect(window, &r);
    const POINT origin = ConfigWindowOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                            {r.right - r.left, r.bottom - r.top});
    SetWindowPos(window, HWND_TOP, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(window);
}

}  // namespace vemo
