// The configuration window, class CFW: created hidden at load, shown centred by the
// player's configuration call and by its hotkey. It also owns the tray button.
#pragma once

#include <windows.h>

#include <cstdint>

namespace vemo {

constexpr int kConfigWindowWidth = 464;
// Without the small caption, whose height the system decides.
constexpr int kConfigWindowBaseHeight = 490;

bool RegisterConfigClass(HINSTANCE instance);
void UnregisterConfigClass(HINSTANCE instance);
// Hidden, at its initial place.
HWND CreateConfigWindow(HINSTANCE instance, HWND owner);

LRESULT CALLBACK ConfigWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Top left corner that centres the window on a screen of the given size.
POINT ConfigWindowOrigin(int screenWidth, int screenHeight, int smallCaptionHeight);
// Centred on the primary screen, on top, shown and made the foreground window.
void ShowConfigWindowCentred();

// The x offset that centres the caption's about line, measured in the bold font.
int16_t MeasureAboutLineX();

}  // namespace vemo
