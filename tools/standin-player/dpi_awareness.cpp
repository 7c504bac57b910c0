#include "dpi_awareness.h"

namespace vemo::standin {

namespace {

constexpr UINT kBaseDpi = 96;
// The system's values, which older headers lack.
const HANDLE kPerMonitorAwareV2 = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-4));
constexpr int kProcessPerMonitorDpiAware = 2;
constexpr HRESULT kAccessDenied = HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);

template <typename Function>
Function Lookup(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

HMODULE User32() { return GetModuleHandleW(L"user32.dll"); }

// shcore came with Windows 8.1; loaded only for the call, as a player does.
struct Shcore {
    HMODULE module = LoadLibraryW(L"shcore.dll");
    ~Shcore() { if (module) FreeLibrary(module); }
};

}  // namespace

Awareness DeclareDpiAware() {
    if (auto set = Lookup<BOOL(WINAPI*)(HANDLE)>(User32(), "SetProcessDpiAwarenessContext")) {
        if (set(kPerMonitorAwareV2)) return Awareness::PerMonitorV2;
        // Refused as already set: the older calls would be refused alike. Anything else
        // (a system that knows no v2) leaves the older forms to try.
        if (GetLastError() == ERROR_ACCESS_DENIED) return Awareness::AlreadySet;
    }
    Shcore shcore;
    if (auto set = Lookup<HRESULT(WINAPI*)(int)>(shcore.module, "SetProcessDpiAwareness")) {
        const HRESULT result = set(kProcessPerMonitorDpiAware);
        if (SUCCEEDED(result)) return Awareness::PerMonitor;
        if (result == kAccessDenied) return Awareness::AlreadySet;
    }
    if (auto set = Lookup<BOOL(WINAPI*)()>(User32(), "SetProcessDPIAware")) {
        if (set()) return Awareness::System;
    }
    return Awareness::Unaware;
}

Awareness HeldAwareness() {
    using Context = HANDLE;
    const auto threadContext = Lookup<Context(WINAPI*)()>(User32(), "GetThreadDpiAwarenessContext");
    const auto fromContext = Lookup<int(WINAPI*)(Context)>(User32(), "GetAwarenessFromDpiAwarenessContext");
    const auto equal = Lookup<BOOL(WINAPI*)(Context, Context)>(User32(), "AreDpiAwarenessContextsEqual");
    if (threadContext && fromContext && equal) {
        const Context context = threadContext();
        if (equal(context, kPerMonitorAwareV2)) return Awareness::PerMonitorV2;
        switch (fromContext(context)) {
        case 2: return Awareness::PerMonitor;
        case 1: return Awareness::System;
        default: return Awareness::Unaware;
        }
    }
    Shcore shcore;
    if (auto get = Lookup<HRESULT(WINAPI*)(HANDLE, int*)>(shcore.module, "GetProcessDpiAwareness")) {
        int held = 0;
        if (SUCCEEDED(get(nullptr, &held))) {
            return held == kProcessPerMonitorDpiAware ? Awareness::PerMonitor
                   : held == 1                        ? Awareness::System
                                                      : Awareness::Unaware;
        }
    }
    const auto aware = Lookup<BOOL(WINAPI*)()>(User32(), "IsProcessDPIAware");
    return aware && aware() ? Awareness::System : Awareness::Unaware;
}

const char* AwarenessName(Awareness awareness) {
    switch (awareness) {
    case Awareness::PerMonitorV2: return "per-monitor-v2";
    case Awareness::PerMonitor: return "per-monitor";
    case Awareness::System: return "system";
    case Awareness::Unaware: return "unaware";
    case Awareness::AlreadySet: return "already-set";
    case Awareness::NotAsked: break;
    }
    return "none";
}

UINT ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}

UINT WindowDpi(HWND window) {
    static const auto forWindow = Lookup<UINT(WINAPI*)(HWND)>(User32(), "GetDpiForWindow");
    if (window && forWindow) {
        if (const UINT dpi = forWindow(window)) return dpi;
    }
    return ScreenDpi();
}

int Scaled(int length96, UINT dpi) { return MulDiv(length96, static_cast<int>(dpi), static_cast<int>(kBaseDpi)); }

}  // namespace vemo::standin
