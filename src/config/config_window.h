// The configuration window, class CFW: created hidden at load, shown centred by the
// player's configuration call and by its hotkey (see win/config_placement.h). It also
// owns the tray button.
#pragma once

#include <windows.h>

#include <cstdint>

#include "win/config_placement.h"

namespace vemo {

bool RegisterConfigClass(HINSTANCE instance);
void UnregisterConfigClass(HINSTANCE instance);
// Hidden, at its initial place.
HWND CreateConfigWindow(HINSTANCE instance, HWND owner);

LRESULT CALLBACK ConfigWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The x offset that centres the caption's about line, measured in the bold font.
int16_t MeasureAboutLineX();

}  // namespace vemo
