#include "popup/window_stack.h"

#include "win/outside_effects.h"

namespace vemo {

namespace {

bool IsDesktopOrShell(HWND window) {
    if (window == GetDesktopWindow() || window == GetShellWindow()) return true;
    // The desktop's icons may sit in a window of their own behind the shell's.
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    return lstrcmpW(name, L"WorkerW") == 0 || lstrcmpW(name, L"Progman") == 0;
}

bool UserBusyFullScreen() {
    const int state = Effects().UserNotificationState();
    return state == kUserBusy || state == kUserRunningFullScreen || state == kUserPresenting;
}

}  // namespace

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

bool CoversItsMonitor(HWND window) {
    if (!window || !IsWindowVisible(window) || IsIconic(window) || IsDesktopOrShell(window)) return false;
    RECT r;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetWindowRect(window, &r) || !GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return false;
    }
    const RECT& m = monitor.rcMonitor;
    return r.left <= m.left && r.top <= m.top && r.right >= m.right && r.bottom >= m.bottom;
}

bool FullScreenInFront(HWND popup) {
    return FullScreenWindowAbove(popup) || CoversItsMonitor(GetForegroundWindow()) || UserBusyFullScreen();
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
