// The two popup windows of class VemoWindow and their shared procedure. MainPopup also
// receives every hotkey and every timer of the plug-in.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

#include "win/module_state.h"

namespace vemo {

// Timer ids, all set on MainPopup.
constexpr UINT_PTR kTimerHideMainPopup = 1;
constexpr UINT_PTR kTimerLiveTrack = 2;
constexpr UINT_PTR kTimerHideInfoPopup = 5;
constexpr UINT_PTR kTimerInfoCoverWatch = 12;
constexpr UINT_PTR kTimerMainCoverWatch = 13;
// Shows the notice waiting in PopupState once.
constexpr UINT_PTR kTimerNotice = 17;
constexpr UINT_PTR kLastTimerId = 18;
// The hover hints of the option check boxes, in the order of the boxes: "Disable
// plug-in", "Vemo on song start", "Launch Quavix minimized", "Autoplay",
// "Visualization plug-in on start", "Playlist track number in vemo", "Disable vemos",
// "Prompt on file deletion", "Also remove folder", the tray button, "Delete to Recycle
// Bin" (which came later and took the first free id).
constexpr std::array<UINT_PTR, kHintTimerCount> kHintTimers = {4, 6, 7, 8, 9, 10, 11, 14, 15, 16, 18};

constexpr UINT kLiveTrackPeriodMs = 450;
constexpr UINT kCoverWatchPeriodMs = 10;
constexpr UINT kHintWatchPeriodMs = 60;

// Registers the class; false when the system refused it.
bool RegisterPopupClass(HINSTANCE instance);
void UnregisterPopupClass(HINSTANCE instance);
// A hidden popup window at its initial place.
HWND CreatePopupWindow(HINSTANCE instance, HWND owner);

LRESULT CALLBACK PopupWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The show operations never hide by themselves: callers arm timer 1 (MainPopup) or
// timer 5 (InfoPopup) with their own duration. Each refuses when "Disable vemos" is on
// or a full-screen window lies above the popup.
//
// One line of text in MainPopup; nothing for a blank text.
void ShowPopup(const std::string& text);
// prefix, a ten-square bar for level (0 to 100) and suffix in MainPopup. A display
// that follows another one with the same prefix redraws only what changed.
void ShowLevelPopup(uint8_t level, const std::string& prefix, const std::string& suffix);
// body cut at separator into lines in InfoPopup, under title when it is not empty.
void ShowMultiLinePopup(const std::string& body, const std::string& title, char separator);

// A multi-line notice in InfoPopup, shown once after delayMs for showMs: it waits for
// the popup that is up now (the version popup at start) instead of replacing it.
void ShowNoticeLater(const std::string& body, const std::string& title, UINT delayMs, UINT showMs);

// Every timer of the plug-in runs on MainPopup; none starts when it is missing.
void StartTimer(UINT_PTR id, UINT milliseconds);
void StopTimer(UINT_PTR id);
// Starts (or restarts) timer 1, which hides MainPopup when it fires.
void ArmHideTimer(UINT milliseconds);
// Starts (or restarts) timer 5, which hides InfoPopup when it fires.
void ArmInfoHideTimer(UINT milliseconds);
// Kills every timer of the plug-in.
void StopAllTimers();
// The period a timer was last started with through StartTimer, 0 once StopTimer stopped
// it. The system has no call that reads a period back, and how long each popup stays is
// part of what it tells.
UINT TimerPeriod(UINT_PTR id);

// The check box whose screen rectangle a hover-hint timer watches; the hint goes when
// the cursor leaves it.
void WatchHintCheckBox(UINT_PTR hintTimer, HWND checkBox);

// The live track display is what MainPopup shows right now.
bool LiveTrackDisplayShown();

}  // namespace vemo
