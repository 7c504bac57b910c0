// The two popup windows of class VemoWindow and their shared procedure. MainPopup also
// receives every hotkey and every timer of the plug-in.
#pragma once

#include <windows.h>

#include <string>

namespace vemo {

// Timer ids, all set on MainPopup.
constexpr UINT_PTR kTimerHideMainPopup = 1;
constexpr UINT_PTR kTimerLiveTrack = 2;
constexpr UINT_PTR kTimerHideInfoPopup = 5;
constexpr UINT_PTR kTimerInfoCoverWatch = 12;
constexpr UINT_PTR kTimerMainCoverWatch = 13;
constexpr UINT_PTR kLastTimerId = 16;  // the hover hints use ids up to here

constexpr UINT kLiveTrackPeriodMs = 450;
constexpr UINT kCoverWatchPeriodMs = 10;

// Registers the class; false when the system refused it.
bool RegisterPopupClass(HINSTANCE instance);
void UnregisterPopupClass(HINSTANCE instance);
// A hidden popup window at its initial place.
HWND CreatePopupWindow(HINSTANCE instance, HWND owner);

LRESULT CALLBACK PopupWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// One line of text in MainPopup. Does not arm a hide timer: callers set timer 1 with
// their own duration (ArmHideTimer).
void ShowPopup(const std::string& text);
// Starts (or restarts) timer 1, which hides MainPopup when it fires.
void ArmHideTimer(UINT milliseconds);
// Kills every timer of the plug-in.
void StopAllTimers();

}  // namespace vemo
