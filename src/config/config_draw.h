// The self-drawn parts of the configuration and hotkeys windows: the option check
// boxes, the push buttons and the caption with the frame; and the focus walk both share.
// What to draw is decided by the window, so tests can draw into a memory device context.
// Every look carries the DPI of the window it is drawn in; its insets are 96-DPI figures.
#pragma once

#include <windows.h>

#include <span>
#include <string>

#include "win/dpi_scale.h"

namespace vemo {

struct CheckBoxLook {
    RECT Client{};
    bool Checked = false;
    bool Focused = false;
    HBRUSH Face = nullptr;    // the button face around the label
    HBRUSH Shadow = nullptr;  // the tick
    int Dpi = kBaseDpi;
};
// The label (a static window beneath) shows through the rectangle (17, 2)-(206, 15),
// scaled.
RECT CheckBoxLabelWindow(int dpi);
void DrawCheckBox(HDC dc, const CheckBoxLook& look);

struct PushButtonLook {
    RECT Client{};
    std::string Text;  // UTF-8
    bool Pressed = false;
    bool Focused = false;
    HFONT Font = nullptr;
    int Dpi = kBaseDpi;
};
void DrawPushButton(HDC dc, const PushButtonLook& look);

struct CaptionLook {
    SIZE Window{};
    int SmallCaption = 0;
    int DialogFrame = 0;  // SM_CXDLGFRAME
    bool Active = false;
    HFONT Font = nullptr;
    int TextX = 0;
    const char* Text = "";  // UTF-8
    int Dpi = kBaseDpi;
};
// On the window's own device context: the caption bar, its text, the raised frame and
// the cut corners.
void DrawCaptionAndFrame(HDC dc, const CaptionLook& look);
// The same on a whole window of ours, at its DPI, with its caption text in the bold font,
// textX in from the left (at 96 DPI) or centred.
constexpr int kCentredCaption = -1;
void PaintCaptionAndFrame(HWND window, bool active, int textX, const char* text);
// The corners cut off the top of both windows: the region's points at dpi.
HRGN CutCornerRegion(int width, int height, int dpi);

// Neither window is a dialog, so their controls move the focus themselves: to the next
// or previous of the tab stops, round at the ends. Nothing when from is not one of them.
void MoveFocusAmong(std::span<const HWND> stops, HWND from, bool forward);

}  // namespace vemo
