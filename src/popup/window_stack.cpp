#include "popup/window_stack.h"

namespace vemo {

bool FullScreenWindowAbove(HWND window) {
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    for (HWND above = GetWindow(window, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
        if (!IsWindowVisible(above)) continue;
        RECT r;
        if (!GetWindowRect(above, &r)) continue;
        if (r.left <= 0 && r.top <= 0 && r.right - r.left >= screenWidth && r.bottom - r.top >= screenHeight) return true;
    }
    return false;
}

bool WindowUncovered(HWND window) {
    RECT mine;
    if (!GetWindowRect(window, &mine)) return true;
    for (HWND above = GetWindow(window, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
        if (!IsWindowVisible(above)) continue;
        RECT theirs, overlap;
        if (GetWindowRect(above, &theirs) && IntersectRect(&overlap, &mine, &theirs)) return false;
    }
    return true;
}

}  // namespace vemo
