// Where the popups go and what they hold, worked out from measured sizes only, so that
// it can be checked apart from any window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vemo {

// Lengths at 96 DPI; the popup's DPI scales them, save the edge.
// The popups sit this far above the bottom edge of the screen.
constexpr int kPopupBottomGap = 8;
// The raised edge takes 2 pixels on every side at every scale, as the system draws it;
// content starts inside it.
constexpr int kPopupEdge = 2;
// Fixed room for the bar between the prefix and the suffix of a level display.
constexpr int kLevelBarSlot = 80;
constexpr int kLevelBarSquares = 10;
// The caption rule of a multi-line popup starts this far in from the left.
constexpr int kCaptionRuleLeft = 6;

// The outer rectangle of a popup, in screen coordinates.
struct PopupPlace {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool operator==(const PopupPlace&) const = default;
};

// One line of text of the measured size. Centred on the text, not on the window, which
// is 4 pixels wider.
// Text sizes are measured in the font of the popup's DPI.
PopupPlace LinePopupPlace(int screenWidth, int screenHeight, int textWidth, int textHeight, int dpi);
// textWidth is that of prefix and suffix together; the bar's slot comes on top.
PopupPlace LevelPopupPlace(int screenWidth, int screenHeight, int textWidth, int textHeight, int barSlot, int dpi);
// The room kept for the bar: the scaled slot, or the widest the bar is drawn in the bar
// font of that DPI where the font's squares do not shrink with the rounding of its height.
int LevelBarSlot(int dpi, int widestBar);
PopupPlace MultiLinePopupPlace(int screenWidth, int screenHeight, int maxLineWidth, int totalHeight, int dpi);

// Ten squares, one black square per full ten of the level.
std::wstring LevelBar(uint8_t level);

// The body cut at every separator: one line more than there are separators, so
// adjacent separators give an empty line and a trailing one an empty last line.
std::vector<std::string> SplitLines(const std::string& body, char separator);

// What a level display draws besides its edge, which it always draws.
struct LevelRepaint {
    bool Prefix = false;
    bool Bar = false;
    bool Suffix = false;
    bool operator==(const LevelRepaint&) const = default;
};

// Repeated level displays (a volume key held down) redraw only what changed, so the
// popup does not flicker; anything else on the popup means drawing it all.
LevelRepaint PlanLevelRepaint(bool fullRedraw, bool levelChanged, bool suffixChanged);

}  // namespace vemo
