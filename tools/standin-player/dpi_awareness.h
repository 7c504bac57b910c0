#pragma once
// How the stand-in player asks for the real DPI of its windows, as current players do,
// and the lengths of its own window at that DPI.
#include <windows.h>

namespace vemo::standin {

// A process's DPI awareness, newest form first. AlreadySet: the system refused a
// declaration because the process held one before it asked (from its manifest, or the
// system's own default); NotAsked: the process never asked.
enum class Awareness { PerMonitorV2, PerMonitor, System, Unaware, AlreadySet, NotAsked };

// Per-monitor aware (v2) before the first window; on systems without that call, the
// older per-monitor form, then the system-wide one. Each call is looked up at run time,
// since the older systems lack the newer ones. What the declaration got.
Awareness DeclareDpiAware();

// What the process holds, as the system reports it.
Awareness HeldAwareness();

// The log's word for it: "per-monitor-v2", "per-monitor", "system", "unaware",
// "already-set" or "none".
const char* AwarenessName(Awareness awareness);

// The DPI a window is drawn at: its own where the system keeps one per window, else the
// screen's (an unaware process is told 96).
UINT WindowDpi(HWND window);
UINT ScreenDpi();

// A length laid out at 96 DPI, at dpi; rounded as the system rounds (half away from zero).
int Scaled(int length96, UINT dpi);

}  // namespace vemo::standin
