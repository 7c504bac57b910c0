// What a person at the desktop does, done by program: keystrokes and mouse clicks
// through SendInput (so they take the same road as real input, hotkeys included), and
// photographs of the whole screen.
#pragma once

#include <string>

#include "script.h"

namespace vemo::standin {

// Modifiers down in order, key down, key up, modifiers up in reverse order.
bool SendKeyCombo(const KeyCombo& combo);
// A held combination in three parts: modifiers and key down; the key down again (the
// keyboard's repeat); key and modifiers up.
bool SendKeysDown(const KeyCombo& combo);
bool SendKeyRepeat(const KeyCombo& combo);
bool SendKeysUp(const KeyCombo& combo);
bool SendClick(int x, int y, MouseButton button);
// The whole screen as a PNG file at path.
bool SaveScreenshot(const std::string& path);

}  // namespace vemo::standin
