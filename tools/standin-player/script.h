// The steps of a --script file, one a line ("#" starts a comment line):
//   keys Win+V            press a combination: modifiers down, key down, key up, modifiers up
//   hold Win+Delete 2500  hold a combination that long: the key goes down again as the
//                         keyboard's repeat sends it (HoldRepeatsDue), then everything up
//   wait 500              let the player run for that many milliseconds
//   shot out/name.png     photograph the whole screen
//   click 100 200 left    press and release a mouse button at a screen point
//   cmd 40048             send the player's main window that command (as a plug-in would)
//   config                call the first plug-in's config procedure
//   tray                  click the player's own tray icon
//   run prog.exe args     run a program to its end and log its exit code
//   windows               log the visible windows of the player's thread and their controls' texts
//   quit                  close the player as its user would
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vemo::standin {

// Virtual-key codes, the values Windows gives them.
namespace vk {
constexpr uint8_t kShift = 0x10;
constexpr uint8_t kCtrl = 0x11;
constexpr uint8_t kAlt = 0x12;
constexpr uint8_t kWin = 0x5B;
}  // namespace vk

struct KeyCombo {
    std::vector<uint8_t> modifiers;  // in the order pressed
    uint8_t key = 0;
};

enum class MouseButton : uint8_t { Left, Right, Middle };

enum class StepKind : uint8_t { Keys, Hold, Wait, Shot, Click, Cmd, Config, Tray, Run, Windows, Quit };

struct Step {
    StepKind kind = StepKind::Wait;
    std::string text;  // the line as written, for the log
    KeyCombo keys;
    int64_t number = 0;  // wait time, hold time, command id
    int32_t x = 0;
    int32_t y = 0;
    MouseButton button = MouseButton::Left;
    std::string argument;  // shot path, run command line
};

// "Win+Alt+V", "Ctrl+Shift+F5", "Space"; names are not case-sensitive. Nothing for an
// unknown name, a combination of modifiers only, or two plain keys.
std::optional<KeyCombo> ParseKeyCombo(std::string_view text);

// The keyboard's repeat of a held key: the first after 500 ms, then one every 33 ms.
constexpr int64_t kRepeatDelayMs = 500;
constexpr int64_t kRepeatPeriodMs = 33;
// How many repeats the keyboard has sent once a key has been down for heldMs.
int64_t HoldRepeatsDue(int64_t heldMs);

// False with error naming the line when a step cannot be understood.
bool ParseScript(std::string_view text, std::vector<Step>& steps, std::string& error);

}  // namespace vemo::standin
