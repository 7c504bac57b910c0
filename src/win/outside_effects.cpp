#include "win/outside_effects.h"

#include <shellapi.h>

namespace vemo {

namespace {

MMRESULT SystemGetWaveVolume(UINT device, DWORD* volume) {
    return waveOutGetVolume(reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(device)), volume);
}

MMRESULT SystemSetWaveVolume(UINT device, DWORD volume) {
    return waveOutSetVolume(reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(device)), volume);
}

HINSTANCE SystemShellOpen(HWND owner, const char* verb, const char* file, const char* parameters,
                          const char* directory, int show) {
    return ShellExecuteA(owner, verb, file, parameters, directory, show);
}

// Not written to the user profile: the change lasts only for this session.
void SystemSetWarningBeep(bool on) { SystemParametersInfoA(SPI_SETBEEP, on ? TRUE : FALSE, nullptr, 0); }

int SystemAskUser(HWND owner, const char* text, const char* caption, UINT type) {
    return MessageBoxA(owner, text, caption, type);
}

DWORD SystemVersion() { return GetVersion(); }

constexpr OutsideEffects kSystemEffects = {
    SystemGetWaveVolume, SystemSetWaveVolume, SystemShellOpen, SystemSetWarningBeep, SystemAskUser, SystemVersion,
};

OutsideEffects gEffects = kSystemEffects;

}  // namespace

OutsideEffects& Effects() { return gEffects; }

void ResetOutsideEffects() { gEffects = kSystemEffects; }

}  // namespace vemo
